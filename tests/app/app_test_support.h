// Shared pieces of the program's tests: the resource folder, an environment variable set for
// one test, and waiting on the event loop.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

namespace varkon::test {

inline std::string ResourceFolder() {
  return std::string(VARKON_SOURCE_DIR) + "/resources/";
}
inline std::string SkinFolderOfSource() {
  return ResourceFolder() + "skin/";
}

// Runs the event loop until `done` holds or `timeout` passes; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout.count()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

// Sets an environment variable for the life of the object and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace varkon::test
