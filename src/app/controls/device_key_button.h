// One key or light cell of the on-screen device picture: a button that draws a tinted light
// overlay and the key-set marks over its own image, and keeps the result of the last rubber-band
// selection of its panel.
#pragma once

#include <QPixmap>

#include <QPushButton>
#include <cstdint>

#include "app/controls/control_image.h"

namespace varkon {

inline constexpr const char* kDeviceKeyButtonClass = "DeviceKeyButton";

class CDeviceKeyButtonUI : public QPushButton {
  Q_OBJECT
  Q_PROPERTY(QString lightimage READ lightImage WRITE setLightImage)
  Q_PROPERTY(QString keysetimage READ keySetImage WRITE setKeySetImage)
  Q_PROPERTY(QString keyunsetimage READ keyUnsetImage WRITE setKeyUnsetImage)
  Q_PROPERTY(QString gmnametextcolor READ nameTextColourText WRITE setNameTextColourText)

 public:
  explicit CDeviceKeyButtonUI(QWidget* parent = nullptr);

  // `colour` holds the light's first colour byte in bits 0-7, the second in 8-15, the third in
  // 16-23; `alpha` is the overlay's opacity (clamped to 0..255).
  void SetLight(uint32_t colour, int alpha, bool shown);
  uint32_t LightColour() const { return lightColour_; }
  int LightAlpha() const { return lightAlpha_; }
  bool IsLightShown() const { return lightShown_; }

  void SetKeySetHidden(bool hidden);
  void SetKeyUnsetHidden(bool hidden);
  void SetKeyState(bool state);
  bool IsKeySetHidden() const { return keySetHidden_; }
  bool IsKeyUnsetHidden() const { return keyUnsetHidden_; }
  bool KeyState() const { return keyState_; }

  void SetSelected(bool selected);
  bool IsSelected() const { return selected_; }

  // A light cell its panel draws (CSelectPanelUI): the cell itself stays hidden, so the 20
  // repaints a second of the preview are one paint of the panel instead of one per cell. Its
  // owner repaints the panel after changing its cells' lights.
  void SetDrawnByPanel(bool drawn);
  bool DrawnByPanel() const { return drawnByPanel_; }
  // The light as it shows now (the light image at the cell's size, tinted); null when the cell
  // shows no light.
  const QImage& LightPicture();

  QString lightImage() const { return lightImage_; }
  void setLightImage(const QString& image);
  QString keySetImage() const { return keySetImage_; }
  void setKeySetImage(const QString& image);
  QString keyUnsetImage() const { return keyUnsetImage_; }
  void setKeyUnsetImage(const QString& image);
  // Accepted for the skins ("#RRGGBB" or "RRGGBB", hexadecimal); nothing draws with it.
  QString nameTextColourText() const;
  void setNameTextColourText(const QString& text);
  uint32_t NameTextColour() const { return nameTextColour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QString lightImage_;
  QString keySetImage_;
  QString keyUnsetImage_;
  ControlImage lightPicture_;
  // The light image at the cell's size and its tinted copy, made again only when the image,
  // the size or the colour changes: the preview repaints every cell 20 times a second.
  // The button's face as its style draws it, for its current look.
  struct FaceKey {
    QSize size;
    QString text;
    bool down, checked, hovered, enabled, focused, selected, selectedProperty;
    qreal pixelRatio;
    friend bool operator==(const FaceKey&, const FaceKey&) = default;
  };
  QPixmap Face();
  void Repaint();
  QPixmap face_;
  FaceKey faceKey_{};
  bool drawnByPanel_ = false;
  bool lightCell_ = false;
  bool selectedProperty_ = false;
  QImage lightSource_;        // the light image as loaded
  QString lightSourceImage_;  // the description it was loaded for
  QImage lightBase_;          // at the cell's size
  qint64 lightBaseKey_ = 0;
  QImage lightTinted_;  // lightBase_ in the light's colour
  qint64 tintedBaseKey_ = 0;
  uint32_t tintedColour_ = 0;
  int tintedAlpha_ = -1;
  ControlImage keySetPicture_;
  ControlImage keyUnsetPicture_;
  uint32_t lightColour_ = 255;
  int lightAlpha_ = 200;
  bool lightShown_ = false;
  bool keySetHidden_ = true;
  bool keyUnsetHidden_ = true;
  bool keyState_ = false;
  bool selected_ = false;
  uint32_t nameTextColour_ = 0;
};

}  // namespace varkon
