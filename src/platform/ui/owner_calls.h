// Calls handed to a UI object from any thread: each runs later on the object's thread, and calls
// made once the object is closed (or gone) are dropped. Worker threads keep a copy of the poster,
// never a pointer to the object.
#pragma once

#include <functional>
#include <memory>

class QObject;

namespace varkon::ui {

class OwnerCalls {
 public:
  explicit OwnerCalls(QObject* owner);
  // Closes: calls posted from then on are dropped.
  ~OwnerCalls();
  OwnerCalls(const OwnerCalls&) = delete;
  OwnerCalls& operator=(const OwnerCalls&) = delete;

  // A function that runs its argument on the owner's thread; safe to call from any thread, also
  // after the owner is gone.
  std::function<void(std::function<void()>)> Poster() const;
  void Close();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace varkon::ui
