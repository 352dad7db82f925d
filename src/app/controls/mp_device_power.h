// The power panel of a device, shown beside the device selector: battery level, charge state,
// wireless logo and, for a mouse pad, the type of phone lying on it. Its display parts are
// sub-controls of its skin, found by name on first use.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <cstdint>

namespace varkon {

inline constexpr const char* kMpDevicePowerClass = "MpDevicePower";
inline constexpr size_t kPowerBlockBytes = 64;

class CMpDevicePowerUI : public QWidget {
  Q_OBJECT

 public:
  explicit CMpDevicePowerUI(QWidget* parent = nullptr);

  // Device kind: 1 keyboard, 2 mouse, 3 mouse pad, 7 headset.
  void SetKind(int kind, int subType);
  int Kind() const { return kind_; }
  int SubType() const { return subType_; }

  // The status block of the device (level, charge state, -, wireless, -, phone type). Only the
  // first 64 bytes are read; missing bytes count as 0. Ignored when the skin lacks a display
  // sub-control.
  void SetPowerInfo(const uint8_t* block, size_t length);
  // Shows or hides "device_power_Layout".
  void ShowPowerLayout(bool show);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool FindParts();

  int kind_ = 0;
  int subType_ = 0;
  QPointer<QWidget> value_;
  QPointer<QWidget> wirelessLogo_;
  QPointer<QWidget> progress_;
  QPointer<QWidget> status_;
  QPointer<QWidget> phoneType_;
  QPointer<QWidget> layout_;
};

}  // namespace varkon
