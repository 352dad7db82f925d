// A ring-shaped progress indicator: a disc in the background colour, a pie in the foreground
// colour from six o'clock clockwise, and a white centre that leaves a ring.
#pragma once

#include <QProgressBar>

namespace varkon {

inline constexpr const char* kCircleProgressClass = "CircleProgress";
// The width of the ring in pixels.
inline constexpr int kCircleRingWidth = 10;

// The pie's sweep in whole degrees: value / (maximum - minimum) * 360, truncated. The minimum
// is not taken from the value. 0 when maximum equals minimum.
int CircleSweepDegrees(int value, int minimum, int maximum);

class CCircleProgressUI : public QProgressBar {
  Q_OBJECT

 public:
  explicit CCircleProgressUI(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace varkon
