#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <QThread>
#include <atomic>

#include "app/startup.h"
#include "app_test_support.h"
#include "platform/ui/registered_messages.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

struct Received {
  uint32_t number = 0;
  int64_t wParam = -1;
  int64_t lParam = -1;
  bool onUiThread = false;
  int count = 0;
};

TEST(SingleInstance, SecondStartWakesTheFirstOnItsUiThread) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  Received got;
  SingleInstance first(folder);
  ASSERT_EQ(first.Start([&](uint32_t n, int64_t w, int64_t l) {
    got.number = n;
    got.wParam = w;
    got.lParam = l;
    got.onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    ++got.count;
  }),
            ControlServer::StartResult::Listening);

  SingleInstance second(folder);
  ASSERT_EQ(second.Start([](uint32_t, int64_t, int64_t) { ADD_FAILURE() << "second got one"; }),
            ControlServer::StartResult::AlreadyRunning);
  EXPECT_TRUE(second.WakeRunning());
  ASSERT_TRUE(test::WaitUntil([&] { return got.count == 1; }));
  EXPECT_EQ(got.number, RegisterStartupMessages().instance);
  EXPECT_EQ(got.wParam, 0);
  EXPECT_EQ(got.lParam, 1);
  EXPECT_TRUE(got.onUiThread);
}

TEST(SingleInstance, OtherNamesArriveAsTheirRegisteredNumbers) {
  test::TempDir dir;
  Received got;
  SingleInstance server(dir.File("control"));
  ASSERT_EQ(server.Start([&](uint32_t n, int64_t w, int64_t l) {
    got.number = n;
    got.wParam = w;
    got.lParam = l;
    ++got.count;
  }),
            ControlServer::StartResult::Listening);
  ControlClient client(dir.File("control"));
  ASSERT_TRUE(client.Send(kGuidMessageNames[2], 1, 0));
  ASSERT_TRUE(test::WaitUntil([&] { return got.count == 1; }));
  EXPECT_EQ(got.number, RegisterStartupMessages().guid[2]);
  EXPECT_EQ(got.wParam, 1);
  EXPECT_EQ(got.lParam, 0);
}

TEST(SingleInstance, NothingToWakeWhenNoneRuns) {
  test::TempDir dir;
  SingleInstance lone(dir.File("control"));
  EXPECT_FALSE(lone.WakeRunning());
}

TEST(SingleInstance, DestroyedWithWakeUpsInFlightDropsThem) {
  test::TempDir dir;
  std::atomic<int> calls{0};
  {
    SingleInstance server(dir.File("control"));
    ASSERT_EQ(server.Start([&](uint32_t, int64_t, int64_t) { ++calls; }),
              ControlServer::StartResult::Listening);
    ControlClient client(dir.File("control"));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(client.Send(kInstanceSocketName, 0, 1));
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(calls.load(), 0);
}

}  // namespace
}  // namespace varkon
