// The macro record button. While its pulse runs, its image fades between 255 and 80 every
// 50 ms to show that recording is on.
#pragma once

#include <QPushButton>

#include "app/controls/control_image.h"

namespace varkon {

inline constexpr const char* kRedioMacroButtonClass = "RedioMacroButton";
inline constexpr int kRedioPulseTimer = 100;
inline constexpr int kRedioPulsePeriodMs = 50;

class CRedioMacroButtonUI : public QPushButton {
  Q_OBJECT
  Q_PROPERTY(QString redioimage READ redioImage WRITE setRedioImage)

 public:
  explicit CRedioMacroButtonUI(QWidget* parent = nullptr);

  QString redioImage() const { return redioImage_; }
  void setRedioImage(const QString& image) { redioImage_ = image; }

  void SetPulse(bool on);
  bool IsPulsing() const { return pulsing_; }
  int Fade() const { return fade_; }
  // The normal image of the last step ("res='...' fade='n'"), empty while no pulse runs.
  QString NormalImage() const { return normalImage_; }
  // One step of the pulse (the timer's work).
  void Step();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString redioImage_;
  ControlImage picture_;
  QString normalImage_;
  bool pulsing_ = false;
  int fade_ = 255;
  bool falling_ = true;
};

}  // namespace varkon
