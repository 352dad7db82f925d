#include "platform/ui/control_timers.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/ui/notifier.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

using namespace std::chrono_literals;
using test::Pump;
using test::WaitUntil;
using Repeat = ControlTimers::Repeat;

TEST(ControlTimers, OneShotFiresOnceWithItsNumber) {
  QWidget control;
  std::vector<int> fired;
  QWidget* firedOn = nullptr;
  ASSERT_TRUE(ControlTimers::Start(&control, 7, 10, Repeat::Once, [&](QWidget* w, int number) {
    firedOn = w;
    fired.push_back(number);
  }));
  EXPECT_TRUE(ControlTimers::IsActive(&control, 7));
  ASSERT_TRUE(WaitUntil([&] { return !fired.empty(); }));
  Pump(100ms);
  EXPECT_EQ(fired, std::vector<int>{7});
  EXPECT_EQ(firedOn, &control);
  EXPECT_FALSE(ControlTimers::IsActive(&control, 7));
  EXPECT_FALSE(ControlTimers::Stop(&control, 7));
}

TEST(ControlTimers, RepeatingFiresUntilStopped) {
  QWidget control;
  int count = 0;
  ControlTimers::Start(&control, 3, 5, Repeat::Repeating, [&](QWidget*, int) { ++count; });
  ASSERT_TRUE(WaitUntil([&] { return count >= 3; }));
  EXPECT_TRUE(ControlTimers::Stop(&control, 3));
  const int stoppedAt = count;
  Pump(100ms);
  EXPECT_EQ(count, stoppedAt);
  EXPECT_FALSE(ControlTimers::IsActive(&control, 3));
}

TEST(ControlTimers, NumbersAreIndependentAndPerControl) {
  QWidget first;
  QWidget second;
  std::vector<std::pair<QWidget*, int>> fired;
  auto record = [&](QWidget* w, int number) { fired.emplace_back(w, number); };
  ControlTimers::Start(&first, 1, 5, Repeat::Repeating, record);
  ControlTimers::Start(&first, 2, 5, Repeat::Repeating, record);
  ControlTimers::Start(&second, 1, 5, Repeat::Repeating, record);
  EXPECT_EQ(ControlTimers::ActiveCount(&first), 2);
  ControlTimers::Stop(&first, 1);
  EXPECT_FALSE(ControlTimers::IsActive(&first, 1));
  EXPECT_TRUE(ControlTimers::IsActive(&second, 1));
  fired.clear();
  ASSERT_TRUE(WaitUntil([&] {
    bool firstTwo = false, secondOne = false;
    for (auto [w, n] : fired) {
      firstTwo = firstTwo || (w == &first && n == 2);
      secondOne = secondOne || (w == &second && n == 1);
    }
    return firstTwo && secondOne;
  }));
  for (auto [w, n] : fired) EXPECT_FALSE(w == &first && n == 1);
  ControlTimers::StopAll(&first);
  EXPECT_EQ(ControlTimers::ActiveCount(&first), 0);
  EXPECT_EQ(ControlTimers::ActiveCount(&second), 1);
}

TEST(ControlTimers, StartingANumberAgainReplacesIt) {
  QWidget control;
  int a = 0, b = 0;
  ControlTimers::Start(&control, 4, 10, Repeat::Repeating, [&](QWidget*, int) { ++a; });
  ControlTimers::Start(&control, 4, 10, Repeat::Once, [&](QWidget*, int) { ++b; });
  EXPECT_EQ(ControlTimers::ActiveCount(&control), 1);
  ASSERT_TRUE(WaitUntil([&] { return b == 1; }));
  Pump(60ms);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
}

TEST(ControlTimers, RestartRunsAFinishedOneShotAgain) {
  QWidget control;
  int count = 0;
  EXPECT_FALSE(ControlTimers::Restart(&control, 9));
  ControlTimers::Start(&control, 9, 5, Repeat::Once, [&](QWidget*, int) { ++count; });
  ASSERT_TRUE(WaitUntil([&] { return count == 1; }));
  EXPECT_FALSE(ControlTimers::IsActive(&control, 9));
  ASSERT_TRUE(ControlTimers::Restart(&control, 9));
  EXPECT_TRUE(ControlTimers::IsActive(&control, 9));
  ASSERT_TRUE(WaitUntil([&] { return count == 2; }));
}

TEST(ControlTimers, WithoutCallbackTheControlRaisesTimer) {
  QWidget root;
  auto* control = new QWidget(&root);
  control->setObjectName("selector_item");
  Notifier notifier(&root);
  std::vector<Notification> seen;
  notifier.AddHandler([&](const Notification& n) {
    if (n.type == "timer") seen.push_back(n);
  });
  ControlTimers::Start(control, 1011, 5, Repeat::Once);
  ASSERT_TRUE(WaitUntil([&] { return !seen.empty(); }));
  EXPECT_EQ(seen[0].sender, control);
  EXPECT_EQ(seen[0].name, "selector_item");
  EXPECT_EQ(seen[0].wParam, 1011u);
}

TEST(ControlTimers, StopWithTheirControl) {
  int count = 0;
  auto control = std::make_unique<QWidget>();
  ControlTimers::Start(control.get(), 1, 5, Repeat::Repeating, [&](QWidget*, int) { ++count; });
  ControlTimers::Start(control.get(), 2, 20, Repeat::Once, [&](QWidget*, int) { ++count; });
  ASSERT_TRUE(WaitUntil([&] { return count >= 1; }));
  control.reset();
  const int atDeath = count;
  Pump(100ms);
  EXPECT_EQ(count, atDeath);
}

TEST(ControlTimers, CallbackMayStopItsTimerOrDeleteItsControl) {
  QWidget control;
  int count = 0;
  ControlTimers::Start(&control, 5, 2, Repeat::Repeating, [&](QWidget* w, int number) {
    ++count;
    ControlTimers::Stop(w, number);
  });
  ASSERT_TRUE(WaitUntil([&] { return count == 1; }));
  Pump(50ms);
  EXPECT_EQ(count, 1);

  QPointer<QWidget> doomed = new QWidget;
  int fires = 0;
  ControlTimers::Start(doomed, 6, 2, Repeat::Repeating, [&](QWidget* w, int) {
    ++fires;
    w->deleteLater();
  });
  ASSERT_TRUE(WaitUntil([&] { return doomed.isNull(); }));
  const int atDeath = fires;
  Pump(50ms);
  EXPECT_EQ(fires, atDeath);
}

TEST(ControlTimers, RefusesBadArguments) {
  QWidget control;
  EXPECT_FALSE(ControlTimers::Start(nullptr, 1, 10, Repeat::Once));
  EXPECT_FALSE(ControlTimers::Start(&control, 1, -1, Repeat::Once));
  EXPECT_FALSE(ControlTimers::Start(&control, -1, 10, Repeat::Once));
  EXPECT_FALSE(ControlTimers::Stop(&control, 1));
  EXPECT_FALSE(ControlTimers::IsActive(nullptr, 1));
  EXPECT_EQ(ControlTimers::ActiveCount(nullptr), 0);
  ControlTimers::StopAll(nullptr);
}

}  // namespace
}  // namespace varkon::ui
