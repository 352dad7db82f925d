#include "platform/ui/input_hook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "devices/evdev_scan_codes.h"

namespace varkon::ui {

namespace {

// The window system refuses a grab while another client holds the keyboard (a menu of the
// desktop, a mouse button held on a title bar); the grab is asked for again for a second.
constexpr int kGrabRetryMs = 100;
constexpr int kGrabRetries = 10;

bool GrabKeyboardOf(QWidget* top) {
  QWindow* handle = top->windowHandle();
  return handle && handle->setKeyboardGrabEnabled(true);
}

}  // namespace

InputHook::InputHook(QObject* parent) : QObject(parent) {}

InputHook::~InputHook() {
  // The owner is going away too: it is not told.
  blockSignals(true);
  Stop();
}

bool InputHook::Start(QWidget* window, uint32_t mode, KeyCallback callback, MouseCallback mouse) {
  Stop();
  QCoreApplication* application = QCoreApplication::instance();
  if (!window || !application) return false;
  QWidget* top = window->window();
  if (!top->isVisible()) return false;

  window_ = top;
  mode_ = mode;
  callback_ = std::move(callback);
  mouseCallback_ = std::move(mouse);
  running_ = true;
  held_.clear();

  // The capture widget is never shown; it only holds the grab, so that Qt routes the keys of
  // the window to it and not to the focused control (which keeps its focus).
  auto* widget = new QWidget(top);
  widget->setObjectName(QStringLiteral("input_hook_capture"));
  widget->setAttribute(Qt::WA_TransparentForMouseEvents);
  widget->setFocusPolicy(Qt::NoFocus);
  captureWidget_ = widget;
  widget->grabKeyboard();
  grabbed_ = GrabKeyboardOf(top);
  if (mouseCallback_ && top->windowHandle()) {
    mouseGrabbed_ = top->windowHandle()->setMouseGrabEnabled(true);
  }

  // The application filter sees each key before any widget, shortcut or focus move does.
  application->installEventFilter(this);
  connect(top, &QObject::destroyed, this, &InputHook::Stop);

  if (!grabbed_) {
    auto retries = std::make_shared<int>(kGrabRetries);
    auto* timer = new QTimer(widget);
    timer->setInterval(kGrabRetryMs);
    connect(timer, &QTimer::timeout, this, [this, timer, retries] {
      if (running_ && window_ && !grabbed_) grabbed_ = GrabKeyboardOf(window_);
      if (grabbed_ || --*retries <= 0) timer->stop();
    });
    timer->start();
  }
  return true;
}

void InputHook::Stop() {
  if (!running_) return;
  running_ = false;
  grabbed_ = false;
  callback_ = nullptr;
  mouseCallback_ = nullptr;
  held_.clear();
  if (QCoreApplication* application = QCoreApplication::instance()) {
    application->removeEventFilter(this);
  }
  if (window_) disconnect(window_, nullptr, this, nullptr);
  if (QWidget* widget = captureWidget_.data()) {
    widget->releaseKeyboard();
    widget->deleteLater();
  }
  // The widget's release covers the grab Qt made for it; the window's own grab goes too, in case
  // the widget had already gone with its window.
  if (window_ && window_->windowHandle()) {
    window_->windowHandle()->setKeyboardGrabEnabled(false);
    if (mouseGrabbed_) window_->windowHandle()->setMouseGrabEnabled(false);
  }
  mouseGrabbed_ = false;
  captureWidget_.clear();
  window_.clear();
  emit Stopped();
}

bool InputHook::eventFilter(QObject* watched, QEvent* event) {
  if (!running_) return false;
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Accepted: the key is not taken as a shortcut and comes as a key press.
      event->accept();
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      event->accept();
      OnKey(key->nativeScanCode(), event->type() == QEvent::KeyPress, key->isAutoRepeat());
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      // Each press reaches the window first, then the widget under it (and its parents when
      // they pass it on): it is taken once, at the window, and let through. (The second press
      // of a double click comes as a press too, followed by the double-click event.)
      if (watched->isWindowType()) OnMouse(event);
      return false;
    case QEvent::Hide:
      if (watched == window_.data()) Stop();
      return false;
    case QEvent::WindowDeactivate:
      // Another window took the focus: a grab must never outlive the user's attention.
      if (watched == window_.data()) Stop();
      return false;
    default:
      return false;
  }
}

void InputHook::OnMouse(const QEvent* event) {
  if (!mouseCallback_ || !window_) return;
  const auto* mouse = static_cast<const QMouseEvent*>(event);
  const bool press = event->type() == QEvent::MouseButtonPress;
  uint32_t message = 0;
  int extra = 0;
  switch (mouse->button()) {
    case Qt::LeftButton:
      message = press ? 513 : 514;
      break;
    case Qt::RightButton:
      message = press ? 516 : 517;
      break;
    case Qt::MiddleButton:
      message = press ? 519 : 520;
      break;
    case Qt::BackButton:
    case Qt::ForwardButton:
      message = press ? 523 : 524;
      extra = mouse->button() == Qt::BackButton ? 1 : 2;
      break;
    default:
      return;
  }
  const QPoint at = window_->mapFromGlobal(mouse->globalPosition().toPoint());
  for (QWidget* w = window_->rect().contains(at) ? window_->childAt(at) : nullptr; w;
       w = w->parentWidget()) {
    if (w->property(kCaptureIgnoreProperty).toBool()) return;
  }
  const MouseCallback callback = mouseCallback_;
  callback(message, extra);
}

void InputHook::OnKey(uint32_t nativeScanCode, bool press, bool qtAutoRepeat) {
  // Keys without a native code (synthesised ones) or without a set-1 scan code are swallowed
  // but not reported.
  if (nativeScanCode < kWindowSystemKeyCodeOffset) return;
  const std::optional<Set1Key> key = Set1FromEvdev(nativeScanCode - kWindowSystemKeyCodeOffset);
  if (!key) return;
  const std::pair<uint8_t, bool> id{key->scanCode, key->extended};
  bool repeat = qtAutoRepeat;
  if (press) {
    repeat = repeat || held_.contains(id);
    held_.insert(id);
  } else if (!qtAutoRepeat) {
    held_.erase(id);
  }
  // A copy: the callback may stop the capture, which drops the stored one.
  const KeyCallback callback = callback_;
  if (callback) callback(key->scanCode, key->extended, press, repeat);
}

}  // namespace varkon::ui
