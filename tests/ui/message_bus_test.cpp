#include "platform/ui/message_bus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "platform/ui/registered_messages.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

using namespace std::chrono_literals;
using test::Pump;
using test::WaitUntil;

Message Numbered(uint32_t number, uintptr_t wParam = 0, intptr_t lParam = 0) {
  Message message;
  message.number = number;
  message.wParam = wParam;
  message.lParam = lParam;
  return message;
}

TEST(MessageBus, PostsArriveInOrderFromTheEventLoop) {
  MessageBus bus;
  std::vector<uint32_t> seen;
  bus.AddHandler([&](const Message& m, intptr_t&) {
    seen.push_back(m.number);
    return true;
  });
  EXPECT_TRUE(bus.Post(Numbered(1025, 1, 514)));
  EXPECT_TRUE(bus.Post(Numbered(1026)));
  EXPECT_TRUE(bus.Post(Numbered(1027)));
  EXPECT_TRUE(seen.empty());  // a post never runs inside the poster
  ASSERT_TRUE(WaitUntil([&] { return seen.size() == 3; }));
  EXPECT_EQ(seen, (std::vector<uint32_t>{1025, 1026, 1027}));
}

TEST(MessageBus, SendOnTheUiThreadCallsAtOnce) {
  MessageBus bus;
  Message got;
  bus.AddHandler([&](const Message& m, intptr_t& result) {
    got = m;
    result = 42;
    return true;
  });
  intptr_t result = 0;
  StopEvent stop;
  EXPECT_EQ(bus.Send(Numbered(1054, 1, -3), &result), SendStatus::Handled);
  EXPECT_EQ(result, 42);
  EXPECT_EQ(got.number, 1054u);
  EXPECT_EQ(got.wParam, 1u);
  EXPECT_EQ(got.lParam, -3);
  result = 0;
  EXPECT_EQ(bus.Send(Numbered(1054), stop, &result), SendStatus::Handled);
  EXPECT_EQ(result, 42);
}

TEST(MessageBus, HandlersAreAskedInOrderUntilOneHandles) {
  MessageBus bus;
  std::vector<char> asked;
  bus.AddHandler([&](const Message&, intptr_t&) {
    asked.push_back('a');
    return false;
  });
  bus.AddHandler([&](const Message& m, intptr_t& result) {
    asked.push_back('b');
    result = 7;
    return m.number == 1;
  });
  bus.AddHandler([&](const Message&, intptr_t&) {
    asked.push_back('c');
    return true;
  });
  bus.AddHandler(
      [&](const Message&, intptr_t&) {
        asked.push_back('f');
        return false;
      },
      true);
  intptr_t result = 0;
  EXPECT_EQ(bus.Send(Numbered(1), &result), SendStatus::Handled);
  EXPECT_EQ(asked, (std::vector<char>{'f', 'a', 'b'}));
  EXPECT_EQ(result, 7);
  asked.clear();
  result = 99;
  EXPECT_EQ(bus.Send(Numbered(2), &result), SendStatus::Handled);
  EXPECT_EQ(asked, (std::vector<char>{'f', 'a', 'b', 'c'}));
  EXPECT_EQ(result, 0);  // each handler starts from a zero result
}

TEST(MessageBus, NumberedHandlersAndRemoval) {
  MessageBus bus;
  int ofNumber = 0;
  const int id = bus.AddHandler(1145, [&](const Message&, intptr_t&) {
    ++ofNumber;
    return true;
  });
  EXPECT_EQ(bus.Send(Numbered(1144)), SendStatus::Unhandled);
  EXPECT_EQ(bus.Send(Numbered(1145)), SendStatus::Handled);
  EXPECT_EQ(ofNumber, 1);
  bus.RemoveHandler(id);
  EXPECT_EQ(bus.Send(Numbered(1145)), SendStatus::Unhandled);
  EXPECT_EQ(ofNumber, 1);
  bus.RemoveHandler(12345);  // unknown ids are ignored
}

TEST(MessageBus, MessagesCarryTheirTexts) {
  MessageBus bus;
  Message got;
  bus.AddHandler([&](const Message& m, intptr_t&) {
    got = m;
    return true;
  });
  Message choice = Numbered(1145);
  choice.name = "about_menu";
  choice.text = "About";
  choice.data = "x";
  bus.Post(choice);
  ASSERT_TRUE(WaitUntil([&] { return got.number == 1145; }));
  EXPECT_EQ(got.name, "about_menu");
  EXPECT_EQ(got.text, "About");
  EXPECT_EQ(got.data, "x");
}

TEST(MessageBus, SendFromAWorkerWaitsForTheUiThread) {
  MessageBus bus;
  const std::thread::id uiThread = std::this_thread::get_id();
  std::atomic<bool> ranOnUi{false};
  bus.AddHandler([&](const Message& m, intptr_t& result) {
    ranOnUi = std::this_thread::get_id() == uiThread;
    result = static_cast<intptr_t>(m.wParam) * 2;
    return true;
  });
  MessageTarget target = bus.Target();
  std::atomic<bool> done{false};
  SendStatus status = SendStatus::Closed;
  intptr_t result = 0;
  std::thread worker([&] {
    StopEvent stop;
    status = target.Send(Numbered(1040, 21), stop, &result);
    done = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return done.load(); }, 20s));
  worker.join();
  EXPECT_EQ(status, SendStatus::Handled);
  EXPECT_EQ(result, 42);
  EXPECT_TRUE(ranOnUi);
}

TEST(MessageBus, UnhandledSendFromAWorker) {
  MessageBus bus;
  std::atomic<bool> done{false};
  SendStatus status = SendStatus::Closed;
  std::thread worker([&, target = bus.Target()] {
    StopEvent stop;
    status = target.Send(Numbered(5), stop);
    done = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return done.load(); }, 20s));
  worker.join();
  EXPECT_EQ(status, SendStatus::Unhandled);
}

TEST(MessageBus, SendFromAWorkerGivesUpWhenItsStopFires) {
  MessageBus bus;
  int delivered = 0;
  bus.AddHandler([&](const Message&, intptr_t&) {
    ++delivered;
    return true;
  });
  StopEvent stop;
  std::atomic<bool> done{false};
  SendStatus status = SendStatus::Handled;
  std::thread worker([&, target = bus.Target()] {
    status = target.Send(Numbered(1040), stop);
    done = true;
  });
  // The UI thread is busy elsewhere (it does not pump); the worker is being stopped.
  std::this_thread::sleep_for(30ms);
  EXPECT_FALSE(done.load());
  stop.Signal();
  worker.join();
  EXPECT_EQ(status, SendStatus::GaveUp);
  // The abandoned message is never delivered afterwards.
  bus.DeliverPending();
  Pump(20ms);
  EXPECT_EQ(delivered, 0);
}

TEST(MessageBus, SendWithItsStopAlreadyFiredGivesUpAtOnce) {
  MessageBus bus;
  StopEvent stop;
  stop.Signal();
  SendStatus status = SendStatus::Handled;
  std::thread worker([&, target = bus.Target()] { status = target.Send(Numbered(1), stop); });
  worker.join();
  EXPECT_EQ(status, SendStatus::GaveUp);
  EXPECT_EQ(bus.DeliverPending(), 0u);
}

TEST(MessageBus, WaitingSendEndsWhenTheBusCloses) {
  auto bus = std::make_unique<MessageBus>();
  MessageTarget target = bus->Target();
  std::atomic<bool> queued{false};
  SendStatus status = SendStatus::Handled;
  std::thread worker([&] {
    StopEvent stop;  // never fires
    queued = true;
    status = target.Send(Numbered(1), stop);
  });
  while (!queued) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(20ms);
  bus.reset();
  worker.join();
  // It was either queued before the close (Closed) or came after it (Closed too).
  EXPECT_EQ(status, SendStatus::Closed);
}

TEST(MessageBus, TargetOutlivesItsBus) {
  MessageTarget target;
  EXPECT_FALSE(target.IsOpen());
  EXPECT_FALSE(target.Post(Numbered(1)));
  {
    MessageBus bus;
    target = bus.Target();
    EXPECT_TRUE(target.IsOpen());
    EXPECT_TRUE(target.Post(Numbered(1)));  // dropped with the bus
  }
  EXPECT_FALSE(target.IsOpen());
  EXPECT_FALSE(target.Post(Numbered(1)));
  StopEvent stop;
  EXPECT_EQ(target.Send(Numbered(1), stop), SendStatus::Closed);
  Pump(20ms);  // the dropped post's wake-up must not reach a dead bus
}

TEST(MessageBus, PostsFromManyThreadsKeepEachThreadsOrder) {
  MessageBus bus;
  std::vector<std::vector<uintptr_t>> byThread(2);
  bus.AddHandler([&](const Message& m, intptr_t&) {
    byThread.at(static_cast<size_t>(m.lParam)).push_back(m.wParam);
    return true;
  });
  constexpr int kEach = 300;
  std::vector<std::thread> posters;
  for (intptr_t t = 0; t < 2; ++t) {
    posters.emplace_back([t, target = bus.Target()] {
      for (int i = 0; i < kEach; ++i) target.Post(Numbered(2000, static_cast<uintptr_t>(i), t));
    });
  }
  ASSERT_TRUE(WaitUntil([&] { return byThread[0].size() + byThread[1].size() == 2 * kEach; }, 20s));
  for (auto& poster : posters) poster.join();
  for (const auto& seen : byThread) {
    ASSERT_EQ(seen.size(), static_cast<size_t>(kEach));
    for (int i = 0; i < kEach; ++i) EXPECT_EQ(seen[i], static_cast<uintptr_t>(i));
  }
}

TEST(MessageBus, HandlerMayDestroyTheBus) {
  auto bus = std::make_unique<MessageBus>();
  int seen = 0;
  bus->AddHandler([&](const Message&, intptr_t&) {
    ++seen;
    bus.reset();
    return true;
  });
  bus->AddHandler([&](const Message&, intptr_t&) {
    ADD_FAILURE() << "a handler of a destroyed bus ran";
    return true;
  });
  bus->Post(Numbered(1));
  bus->Post(Numbered(2));
  ASSERT_TRUE(WaitUntil([&] { return bus == nullptr; }));
  Pump(20ms);
  EXPECT_EQ(seen, 1);
}

TEST(MessageBus, SendWithoutStopOnlyOnTheUiThread) {
  MessageBus bus;
  SendStatus status = SendStatus::Handled;
  std::thread worker([&] { status = bus.Send(Numbered(1)); });
  worker.join();
  EXPECT_EQ(status, SendStatus::WrongThread);
}

TEST(RegisteredMessages, OneNameOneNumber) {
  const uint32_t wake = RegisterMessage("VarkonTestWakeUp");
  ASSERT_NE(wake, 0u);
  EXPECT_GE(wake, kFirstRegisteredMessage);
  EXPECT_LE(wake, kLastRegisteredMessage);
  EXPECT_EQ(RegisterMessage("VarkonTestWakeUp"), wake);
  EXPECT_EQ(RegisterMessage("varkontestwakeup"), wake);  // names ignore case
  const uint32_t other = RegisterMessage("VarkonTestLighting");
  EXPECT_NE(other, wake);
  EXPECT_NE(other, 0u);
  EXPECT_EQ(RegisteredMessageName(wake), "VarkonTestWakeUp");
  EXPECT_TRUE(IsRegisteredMessage(other));
  EXPECT_FALSE(IsRegisteredMessage(1025));
  EXPECT_EQ(RegisteredMessageName(kLastRegisteredMessage), "");
  EXPECT_EQ(RegisterMessage(""), 0u);
  EXPECT_EQ(RegisterMessage(std::string(kMaxMessageNameLength + 1, 'x')), 0u);
  EXPECT_NE(RegisterMessage(std::string(kMaxMessageNameLength, 'x')), 0u);
}

TEST(RegisteredMessages, ThreadsRegisteringTheSameNamesAgree) {
  std::vector<std::vector<uint32_t>> numbers(4);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < numbers.size(); ++t) {
    threads.emplace_back([t, &numbers] {
      for (int i = 0; i < 50; ++i) {
        numbers[t].push_back(RegisterMessage("VarkonRace" + std::to_string(i)));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<uint32_t> distinct(numbers[0].begin(), numbers[0].end());
  EXPECT_EQ(distinct.size(), 50u);
  for (size_t t = 1; t < numbers.size(); ++t) EXPECT_EQ(numbers[t], numbers[0]);
}

}  // namespace
}  // namespace varkon::ui
