// A colour field: hue across and saturation down a field, brightness along a bar below it.
// Picking with the left button (press or drag) sets the selected colour and raises
// "colorchanged" with the colour (0xAARRGGBB) in wParam.
#pragma once

#include <QWidget>
#include <cstdint>

namespace varkon {

inline constexpr const char* kColorPaletteClass = "ColorPalette";
inline constexpr int kPaletteBarHeight = 12;
inline constexpr int kPaletteGap = 4;

class CColorPaletteUI : public QWidget {
  Q_OBJECT

 public:
  explicit CColorPaletteUI(QWidget* parent = nullptr);

  // The selected colour, opaque. Setting it raises nothing.
  uint32_t SelectColor() const;
  void SetSelectColor(uint32_t argb);
  // Takes `argb` as a pick by the user: selects it and raises "colorchanged" when the selected
  // colour changed (for scripts, which name a colour rather than point at it).
  void PickColor(uint32_t argb);
  int Hue() const { return hue_; }
  int Saturation() const { return saturation_; }
  int Brightness() const { return value_; }

  // The parts of the control: the field and the brightness bar.
  QRect FieldRect() const;
  QRect BarRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  enum class Drag { None, Field, Bar };
  void PickAt(const QPoint& at);

  int hue_ = 0;           // 0..359
  int saturation_ = 255;  // 0..255
  int value_ = 255;       // 0..255
  Drag drag_ = Drag::None;
  QImage field_;
};

}  // namespace varkon
