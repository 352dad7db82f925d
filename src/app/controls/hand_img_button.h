// A button that draws an image over its own one and reports the pointer entering and leaving
// ("msenter", "msleave") besides its click.
#pragma once

#include <QPushButton>

#include "app/controls/hover_button.h"

#include "app/controls/control_image.h"

namespace varkon {

inline constexpr const char* kHandImgButtonClass = "HandImgButton";

class CHandImgButtonUI : public HoverButton {
  Q_OBJECT
  Q_PROPERTY(QString handimage READ handImage WRITE setHandImage)

 public:
  explicit CHandImgButtonUI(QWidget* parent = nullptr);

  QString handImage() const { return handImage_; }
  void setHandImage(const QString& image);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString handImage_;
  ControlImage picture_;
};

}  // namespace varkon
