// The container of the key buttons of a device picture, with rubber-band selection: a drag with
// the left button selects every direct key button the band touches and raises
// "click_select_end". The band itself is not drawn.
#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>

#include "app/controls/control_image.h"

namespace varkon {

class CDeviceKeyButtonUI;

inline constexpr const char* kSelectPanelClass = "SelectPanel";

class CSelectPanelUI : public QWidget {
  Q_OBJECT

 public:
  explicit CSelectPanelUI(QWidget* parent = nullptr);

  // The band of the last drag, left/top the smaller and right/bottom the greater coordinates
  // (right and bottom exclusive, so a drag along a straight line gives an empty band).
  struct Band {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
  };
  const Band& band() const { return band_; }
  bool IsPressed() const { return pressed_; }
  bool IsSelecting() const { return selecting_; }

  // Ends a selection that took exactly `keys` (key buttons of this panel; others are ignored):
  // the same selected states and "click_select_end" a drag over just those buttons gives.
  // For scripts, which name cells rather than drag over them.
  void SelectKeys(const QList<CDeviceKeyButtonUI*>& keys);

 protected:
  // Under the key buttons: the lights of the cells the panel draws (see
  // CDeviceKeyButtonUI::SetDrawnByPanel).
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The "bkimage" picture at the panel's size, made again when either changes.
  const QImage& Background();
  void SelectByBand();
  // The direct key buttons, the ones a band selects.
  void ForEachKey(const std::function<void(CDeviceKeyButtonUI*)>& visit);

  bool pressed_ = false;
  bool selecting_ = false;
  QPoint anchor_;
  QPoint current_;
  Band band_;
  ControlImage backgroundPicture_;
  QString backgroundOf_;
  QImage background_;
};

}  // namespace varkon
