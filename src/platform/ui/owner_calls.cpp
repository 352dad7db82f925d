#include "platform/ui/owner_calls.h"

#include <QMetaObject>
#include <QObject>
#include <mutex>

namespace varkon::ui {

struct OwnerCalls::Shared {
  std::mutex mutex;
  QObject* owner = nullptr;
};

OwnerCalls::OwnerCalls(QObject* owner) : shared_(std::make_shared<Shared>()) {
  shared_->owner = owner;
}

OwnerCalls::~OwnerCalls() {
  Close();
}

void OwnerCalls::Close() {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->owner = nullptr;
}

std::function<void(std::function<void()>)> OwnerCalls::Poster() const {
  std::shared_ptr<Shared> shared = shared_;
  return [shared](std::function<void()> call) {
    // Held while queueing, so the owner cannot close (and go) in between; a call still queued
    // when the owner is destroyed is dropped by Qt with its context object.
    std::lock_guard<std::mutex> lock(shared->mutex);
    if (shared->owner == nullptr) return;
    QMetaObject::invokeMethod(shared->owner, std::move(call), Qt::QueuedConnection);
  };
}

}  // namespace varkon::ui
