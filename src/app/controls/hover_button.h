// A push button that reports the pointer entering and leaving ("msenter", "msleave") while it is
// enabled, and remembers whether the pointer is over it.
#pragma once

#include <QEnterEvent>
#include <QPushButton>

#include "platform/ui/notifier.h"

namespace varkon {

class HoverButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
  bool IsHot() const { return hot_; }

 protected:
  void enterEvent(QEnterEvent* event) override {
    SetHot(true, "msenter");
    QPushButton::enterEvent(event);
  }
  void leaveEvent(QEvent* event) override {
    SetHot(false, "msleave");
    QPushButton::leaveEvent(event);
  }

 private:
  void SetHot(bool hot, const char* notification) {
    if (!isEnabled()) return;
    hot_ = hot;
    ui::RaiseNotification(this, notification);
    update();
  }

  bool hot_ = false;
};

}  // namespace varkon
