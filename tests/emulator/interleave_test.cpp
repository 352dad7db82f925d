// The interleave account: a request counts as interleaved when it arrives while an in-time reply
// to an earlier request is still unread by the handle that asked.
#include <thread>

#include <gtest/gtest.h>

#include "emulator_test_util.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;
using test::ReadReport;
using test::Request;
using test::Send;
using test::Transact;

class InterleaveTest : public test::RigTest {
 protected:
  void SetUp() override {
    device = OpenConfig(EmulatedKind::Keyboard);
    ASSERT_TRUE(device);
  }
  VendorFirmware& Keyboard() { return rig.Firmware(EmulatedKind::Keyboard); }
  std::shared_ptr<HidDevice> device;
};

TEST_F(InterleaveTest, WriteReadPairsInTurnAreClean) {
  PacketBytes reply;
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(Transact(*device, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 0u);
}

TEST_F(InterleaveTest, SecondRequestBeforeTheFirstReplyIsReadCounts) {
  ASSERT_TRUE(Send(*device, Request(kCmdReadStatus, 6, 0)));
  ASSERT_TRUE(Send(*device, Request(kCmdReadStatus, 6, 0)));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 1u);
  PacketBytes reply;
  ASSERT_EQ(ReadReport(*device, reply), HidIoResult::Ok);
  ASSERT_TRUE(Send(*device, Request(kCmdReadStatus, 6, 0)));  // one reply still unread
  EXPECT_EQ(Keyboard().InterleaveViolations(), 2u);
  ASSERT_EQ(ReadReport(*device, reply), HidIoResult::Ok);
  ASSERT_EQ(ReadReport(*device, reply), HidIoResult::Ok);
  ASSERT_TRUE(Transact(*device, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 2u);
}

TEST_F(InterleaveTest, OnlyTheWritersCopyCounts) {
  auto listener =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, false, false);
  ASSERT_TRUE(listener);
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdReadStatus, 6, 0), reply));
  ASSERT_TRUE(Transact(*device, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 0u);  // the listener's unread copies do not count
}

TEST_F(InterleaveTest, LateAndMissingRepliesDoNotCount) {
  Keyboard().InjectFault({.kind = FaultKind::LateReply, .command = kCmdReadStatus, .delayMs = 20});
  Keyboard().InjectFault({.kind = FaultKind::NoReply, .command = kCmdReadSettings});
  ASSERT_TRUE(Send(*device, Request(kCmdReadStatus, 6, 0)));
  ASSERT_TRUE(Send(*device, Request(kCmdReadSettings, 6, 0)));
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdQueryOnline), reply));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 0u);
}

TEST_F(InterleaveTest, ClosingAHandleGivesBackItsUnreadReplies) {
  PacketBytes reply;
  auto other =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, true, false);
  ASSERT_TRUE(other);
  ASSERT_TRUE(Send(*other, Request(kCmdReadStatus, 6, 0)));
  ASSERT_EQ(ReadReport(*device, reply), HidIoResult::Ok);  // this handle's copy of that reply
  other->Cancel();
  ASSERT_TRUE(Transact(*device, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 0u);

  auto dropped =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, true, false);
  ASSERT_TRUE(dropped);
  ASSERT_TRUE(Send(*dropped, Request(kCmdReadStatus, 6, 0)));
  ASSERT_EQ(ReadReport(*device, reply), HidIoResult::Ok);
  dropped.reset();
  ASSERT_TRUE(Transact(*device, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 0u);

  // Without the close, the unread reply of the other handle does count.
  auto open =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, true, false);
  ASSERT_TRUE(open);
  ASSERT_TRUE(Send(*open, Request(kCmdReadStatus, 6, 0)));
  ASSERT_EQ(ReadReport(*device, reply), HidIoResult::Ok);
  ASSERT_TRUE(Transact(*device, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(Keyboard().InterleaveViolations(), 1u);
}

TEST_F(InterleaveTest, ThreadsThatSerialiseTheirPairsAreClean) {
  std::mutex pairLock;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) {
        std::lock_guard<std::mutex> lock(pairLock);
        PacketBytes reply;
        const uint16_t offset = static_cast<uint16_t>(t * 100 + i);
        if (!Transact(*device, Request(kCmdReadSettings, 1, offset), reply) ||
            PacketOffset(reply.data()) != offset) {
          ++failures;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(Keyboard().InterleaveViolations(), 0u);
  EXPECT_EQ(Keyboard().Requests().size(), 150u);
}

TEST_F(InterleaveTest, ThreadsThatDoNotSerialiseAreCaught) {
  // Writers racing without a lock: at least one request lands before an earlier reply is read.
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) Send(*device, Request(kCmdReadStatus, 6, 0));
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_GT(Keyboard().InterleaveViolations(), 0u);
}

}  // namespace
}  // namespace varkon
