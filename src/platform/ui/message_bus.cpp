#include "platform/ui/message_bus.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace varkon::ui {

namespace detail {

namespace {

// How often a waiting sender looks at its stop event.
constexpr std::chrono::milliseconds kStopPoll{5};

QEvent::Type WakeEventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

}  // namespace

struct MessageChannel;

// Lives on the UI thread; its wake-up events make the channel deliver.
class MessagePump : public QObject {
 public:
  explicit MessagePump(std::weak_ptr<MessageChannel> channel) : channel_(std::move(channel)) {}
  bool event(QEvent* event) override;

 private:
  std::weak_ptr<MessageChannel> channel_;
};

struct MessageChannel : std::enable_shared_from_this<MessageChannel> {
  struct Entry {
    enum class State { Queued, Running, Done, Abandoned, Closed };
    Message message;
    bool isSend = false;
    State state = State::Queued;
    bool handled = false;
    intptr_t result = 0;
  };
  struct Handler {
    int id = 0;
    bool anyNumber = true;
    uint32_t number = 0;
    std::shared_ptr<MessageHandler> call;
  };

  const std::thread::id owner = std::this_thread::get_id();

  std::mutex mutex;
  std::condition_variable finished;
  bool closed = false;
  bool wakeScheduled = false;
  std::deque<std::shared_ptr<Entry>> queue;
  MessagePump* pump = nullptr;

  // UI thread only.
  std::vector<Handler> handlers;
  int nextHandlerId = 1;
  int delivering = 0;  // nesting of Deliver

  bool OnOwnerThread() const { return std::this_thread::get_id() == owner; }

  // With `mutex` held.
  void ScheduleWake() {
    if (wakeScheduled || pump == nullptr) return;
    wakeScheduled = true;
    QCoreApplication::postEvent(pump, new QEvent(WakeEventType()));
  }

  bool Post(Message message) {
    auto entry = std::make_shared<Entry>();
    entry->message = std::move(message);
    std::lock_guard<std::mutex> lock(mutex);
    if (closed) return false;
    queue.push_back(std::move(entry));
    ScheduleWake();
    return true;
  }

  SendStatus Send(const Message& message, StopEvent& stop, intptr_t* result) {
    if (OnOwnerThread()) return SendDirect(message, result);
    if (stop.IsSignalled()) return SendStatus::GaveUp;
    auto entry = std::make_shared<Entry>();
    entry->message = message;
    entry->isSend = true;
    std::unique_lock<std::mutex> lock(mutex);
    if (closed) return SendStatus::Closed;
    queue.push_back(entry);
    ScheduleWake();
    for (;;) {
      switch (entry->state) {
        case Entry::State::Done:
          if (result != nullptr) *result = entry->result;
          return entry->handled ? SendStatus::Handled : SendStatus::Unhandled;
        case Entry::State::Closed:
          return SendStatus::Closed;
        case Entry::State::Queued:
          if (stop.IsSignalled()) {
            entry->state = Entry::State::Abandoned;
            return SendStatus::GaveUp;
          }
          break;
        default:
          break;
      }
      finished.wait_for(lock, kStopPoll);
    }
  }

  SendStatus SendDirect(const Message& message, intptr_t* result) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (closed) return SendStatus::Closed;
    }
    intptr_t answer = 0;
    const bool handled = Dispatch(message, answer);
    if (result != nullptr) *result = answer;
    return handled ? SendStatus::Handled : SendStatus::Unhandled;
  }

  bool IsClosed() {
    std::lock_guard<std::mutex> lock(mutex);
    return closed;
  }

  // UI thread. Keeps the channel alive itself: a handler may destroy the bus.
  bool Dispatch(const Message& message, intptr_t& result) {
    const std::shared_ptr<MessageChannel> self = shared_from_this();
    const std::vector<Handler> snapshot = handlers;
    for (const Handler& handler : snapshot) {
      if (IsClosed()) return false;
      if (!handler.anyNumber && handler.number != message.number) continue;
      bool registered = false;
      for (const Handler& current : handlers) registered = registered || current.id == handler.id;
      if (!registered) continue;
      result = 0;
      if ((*handler.call)(message, result)) return true;
    }
    return false;
  }

  size_t Deliver() {
    const std::shared_ptr<MessageChannel> self = shared_from_this();
    std::deque<std::shared_ptr<Entry>> batch;
    {
      std::lock_guard<std::mutex> lock(mutex);
      batch.swap(queue);
      wakeScheduled = false;
    }
    size_t delivered = 0;
    ++delivering;
    for (const std::shared_ptr<Entry>& entry : batch) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (closed) {
          if (entry->isSend && entry->state == Entry::State::Queued) {
            entry->state = Entry::State::Closed;
          }
          continue;
        }
        if (entry->isSend) {
          if (entry->state != Entry::State::Queued) continue;  // its sender gave up
          entry->state = Entry::State::Running;
        }
      }
      intptr_t answer = 0;
      const bool handled = Dispatch(entry->message, answer);
      ++delivered;
      if (entry->isSend) {
        {
          std::lock_guard<std::mutex> lock(mutex);
          entry->handled = handled;
          entry->result = answer;
          entry->state = Entry::State::Done;
        }
        finished.notify_all();
      }
    }
    --delivering;
    finished.notify_all();
    return delivered;
  }

  // UI thread, from the bus's destructor.
  void Close() {
    MessagePump* oldPump = nullptr;
    {
      std::lock_guard<std::mutex> lock(mutex);
      closed = true;
      oldPump = pump;
      pump = nullptr;
      for (const std::shared_ptr<Entry>& entry : queue) {
        if (entry->isSend && entry->state == Entry::State::Queued) {
          entry->state = Entry::State::Closed;
        }
      }
      queue.clear();
    }
    finished.notify_all();
    handlers.clear();
    // Deleting the pump drops its pending wake-up events; from inside its own delivery it is
    // deleted later instead.
    if (delivering > 0) {
      oldPump->deleteLater();
    } else {
      delete oldPump;
    }
  }
};

bool MessagePump::event(QEvent* event) {
  if (event->type() != WakeEventType()) return QObject::event(event);
  if (const std::shared_ptr<MessageChannel> channel = channel_.lock()) channel->Deliver();
  return true;
}

}  // namespace detail

MessageTarget::MessageTarget(std::shared_ptr<detail::MessageChannel> channel)
    : channel_(std::move(channel)) {}

bool MessageTarget::Post(Message message) const {
  return channel_ != nullptr && channel_->Post(std::move(message));
}

SendStatus MessageTarget::Send(const Message& message, StopEvent& stop, intptr_t* result) const {
  if (channel_ == nullptr) return SendStatus::Closed;
  return channel_->Send(message, stop, result);
}

bool MessageTarget::IsOpen() const {
  return channel_ != nullptr && !channel_->IsClosed();
}

MessageBus::MessageBus() : channel_(std::make_shared<detail::MessageChannel>()) {
  channel_->pump = new detail::MessagePump(channel_);
}

MessageBus::~MessageBus() {
  channel_->Close();
}

int MessageBus::AddHandler(MessageHandler handler, bool first) {
  detail::MessageChannel::Handler entry;
  entry.id = channel_->nextHandlerId++;
  entry.call = std::make_shared<MessageHandler>(std::move(handler));
  auto& handlers = channel_->handlers;
  handlers.insert(first ? handlers.begin() : handlers.end(), entry);
  return entry.id;
}

int MessageBus::AddHandler(uint32_t number, MessageHandler handler, bool first) {
  const int id = AddHandler(std::move(handler), first);
  for (auto& entry : channel_->handlers) {
    if (entry.id == id) {
      entry.anyNumber = false;
      entry.number = number;
    }
  }
  return id;
}

void MessageBus::RemoveHandler(int id) {
  auto& handlers = channel_->handlers;
  for (auto it = handlers.begin(); it != handlers.end(); ++it) {
    if (it->id == id) {
      handlers.erase(it);
      return;
    }
  }
}

bool MessageBus::Post(Message message) {
  return channel_->Post(std::move(message));
}

SendStatus MessageBus::Send(const Message& message, StopEvent& stop, intptr_t* result) {
  const std::shared_ptr<detail::MessageChannel> channel = channel_;
  return channel->Send(message, stop, result);
}

SendStatus MessageBus::Send(const Message& message, intptr_t* result) {
  const std::shared_ptr<detail::MessageChannel> channel = channel_;
  if (!channel->OnOwnerThread()) return SendStatus::WrongThread;
  return channel->SendDirect(message, result);
}

MessageTarget MessageBus::Target() const {
  return MessageTarget(channel_);
}

size_t MessageBus::DeliverPending() {
  const std::shared_ptr<detail::MessageChannel> channel = channel_;
  if (!channel->OnOwnerThread()) return 0;
  return channel->Deliver();
}

}  // namespace varkon::ui
