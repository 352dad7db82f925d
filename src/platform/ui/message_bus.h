// The messages of a window: numbered (number, wParam, lParam) messages posted or sent to the
// window's handlers on the UI thread. Numbered messages keep their numbers; registered ones get
// theirs from registered_messages.h.
//
// Post queues a message from any thread. Send on the UI thread calls the handlers at once;
// from another thread it waits until the UI thread has run them, and gives up (the message is
// then never delivered) when the sender's stop event fires first. Once its handlers have
// started, a send waits for them to finish. Worker threads hold a MessageTarget, which stays
// safe to use after the window is gone (posts are refused, sends report Closed).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/worker_thread.h"

namespace varkon::ui {

struct Message {
  uint32_t number = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
  // Texts some messages carry: a popup-menu choice has its item's name, text and user data.
  std::string name;
  std::string text;
  std::string data;
};

// Returns true when it handled the message, with `result` set to the answer for the sender.
using MessageHandler = std::function<bool(const Message& message, intptr_t& result)>;

enum class SendStatus {
  Handled,    // a handler took it; the result is its answer
  Unhandled,  // delivered, no handler took it
  GaveUp,     // the sender's stop event fired before delivery
  Closed,     // the window's bus is gone
  WrongThread,
};

namespace detail {
struct MessageChannel;
}

class MessageTarget {
 public:
  MessageTarget() = default;  // reaches no window

  bool Post(Message message) const;
  SendStatus Send(const Message& message, StopEvent& stop, intptr_t* result = nullptr) const;
  bool IsOpen() const;

 private:
  friend class MessageBus;
  explicit MessageTarget(std::shared_ptr<detail::MessageChannel> channel);
  std::shared_ptr<detail::MessageChannel> channel_;
};

class MessageBus {
 public:
  // Made on the UI thread, which it then belongs to (a QApplication must exist).
  MessageBus();
  ~MessageBus();
  MessageBus(const MessageBus&) = delete;
  MessageBus& operator=(const MessageBus&) = delete;

  // Handlers are asked in order until one handles the message; `first` puts a handler in front
  // (one that must see messages before the others). The second form only sees `number`.
  // UI thread only. Handlers may add or remove handlers, or destroy the bus.
  int AddHandler(MessageHandler handler, bool first = false);
  int AddHandler(uint32_t number, MessageHandler handler, bool first = false);
  void RemoveHandler(int id);

  bool Post(Message message);
  SendStatus Send(const Message& message, StopEvent& stop, intptr_t* result = nullptr);
  // UI thread only (WrongThread elsewhere): calls the handlers at once.
  SendStatus Send(const Message& message, intptr_t* result = nullptr);

  MessageTarget Target() const;

  // UI thread: delivers what is queued now (the event loop does this by itself); returns how
  // many messages were delivered.
  size_t DeliverPending();

 private:
  std::shared_ptr<detail::MessageChannel> channel_;
};

}  // namespace varkon::ui
