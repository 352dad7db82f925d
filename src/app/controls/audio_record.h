// A level display: one black vertical line every second pixel on white, each as high as one
// of 500 levels (full scale 8192).
#pragma once

#include <QLabel>
#include <array>
#include <cstdint>

namespace varkon {

inline constexpr const char* kAudioRecordClass = "AudioRecord";
inline constexpr int kAudioLevelCount = 500;
inline constexpr int kAudioFullScale = 8192;

class CAudioRecordUI : public QLabel {
  Q_OBJECT

 public:
  explicit CAudioRecordUI(QWidget* parent = nullptr);

  // Out-of-range indices are ignored.
  void SetLevel(int index, int32_t level);
  int32_t Level(int index) const;
  // How many levels a control of `width` pixels shows.
  static int ShownLevels(int width);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<int32_t, kAudioLevelCount> levels_{};
};

}  // namespace varkon
