// The container of the key buttons of a device picture, with rubber-band selection: a drag with
// the left button selects every direct key button the band touches and raises
// "click_select_end". The band itself is not drawn.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

namespace varkon {

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

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SelectByBand();

  bool pressed_ = false;
  bool selecting_ = false;
  QPoint anchor_;
  QPoint current_;
  Band band_;
};

}  // namespace varkon
