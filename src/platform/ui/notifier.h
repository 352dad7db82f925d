// User actions on the controls of a loaded tree, delivered as notifications: a type, the sender
// control and two parameters.
//
//   clicked button               "click"            wParam 1 when the button is checked
//   check box clicked            "click", then "checkclick"   wParam 1 when checked
//   option/check state changed   "selectchanged"    wParam 1 on, 0 off (every button whose
//                                                   state changed, so also the option an
//                                                   exclusive group turned off)
//   combo item chosen            "itemselect"       wParam index
//   slider moved by the user     "valuechanged"     wParam value (key, wheel, click, release
//                                                   after a drag)
//   slider dragged               "movevaluechanged" wParam value
//   edit gets / loses focus      "setfocus" / "killfocus"
//   edit text typed, Return      "textchanged", "return"
//   list current row changed     "itemselect"       wParam row, lParam previous row or -1
//   list item clicked, activated "itemclick", "itemactivate"   wParam row
//   root first shown             "windowinit"       (once; not for a root already shown when
//                                                   the notifier was made)
//   root resized once shown      "windowsize"       wParam width, lParam height
//   custom controls              their own types, through RaiseNotification
//
// For a clicked option Qt changes the state first, so "selectchanged" comes before "click" and
// both see the new state.
//
// Changing a control from code raises nothing unless asked. Slider values, combo indices and
// edit texts set from code raise nothing by themselves (a button's click() is a click); for
// check states, list rows and focus the code either uses the helpers of control_values.h and
// control_properties.h (which take a `notify` flag, false by default) or wraps its change in a
// QuietNotifications scope. QSignalBlocker works too but also silences the control's other
// connections.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace varkon::ui {

struct Notification {
  std::string type;
  QWidget* sender = nullptr;
  std::string name;  // the sender's name when raised
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

using NotificationHandler = std::function<void(const Notification&)>;

// While one of these exists on the UI thread, no notifier raises anything.
class QuietNotifications {
 public:
  QuietNotifications();
  ~QuietNotifications();
  QuietNotifications(const QuietNotifications&) = delete;
  QuietNotifications& operator=(const QuietNotifications&) = delete;
  static bool Active();
};

class Notifier {
 public:
  // Connects every named control of `root`'s tree (Qt's inner parts excepted).
  explicit Notifier(QWidget* root);
  ~Notifier();
  Notifier(const Notifier&) = delete;
  Notifier& operator=(const Notifier&) = delete;

  // Handlers get every notification in the order they were added. Returns an id for
  // RemoveHandler. A handler may add or remove handlers, or destroy the notifier.
  int AddHandler(NotificationHandler handler);
  void RemoveHandler(int id);

  // Connects `control` and the named controls under it, for controls added after loading.
  // Controls already connected are skipped.
  void Attach(QWidget* control);

  // Delivers a notification from `sender` to the handlers (nothing inside QuietNotifications).
  void Raise(std::string_view type, QWidget* sender, uintptr_t wParam = 0, intptr_t lParam = 0);

  QWidget* root() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Raises a notification of `sender` through the nearest notifier whose root is `sender` or one
// of its ancestors. False when there is none.
bool RaiseNotification(QWidget* sender, std::string_view type, uintptr_t wParam = 0,
                       intptr_t lParam = 0);

}  // namespace varkon::ui
