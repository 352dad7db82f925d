// The input hook: while a capture runs, every key typed goes to the hook and to nothing else in
// the program (Tab does not move the focus, shortcuts do not fire), and where the window system
// allows it the keyboard is grabbed so that keys the desktop would take come here too. Each key
// is reported on the UI thread as its PC set-1 scan code and extended-key flag.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <set>
#include <utility>

class QWidget;

namespace varkon::ui {

// Capture modes, the values a capture is started with.
inline constexpr uint32_t kHookSingleKey = 1;      // one key for a key assignment
inline constexpr uint32_t kHookHitKey = 2;         // not used by the program
inline constexpr uint32_t kHookMacroAppend = 4;    // recording: append steps
inline constexpr uint32_t kHookMacroBefore = 8;    // recording: insert before the selection
inline constexpr uint32_t kHookMacroAfter = 16;    // recording: insert after the selection
inline constexpr uint32_t kHookMacroReplace = 32;  // recording: replace the selected key

// What a captured event carries with its message, as a low-level hook reports it: valid only
// during the synchronous call that delivers it.
inline constexpr uint32_t kHookExtendedKeyFlag = 0x01;
struct HookKeyRecord {
  uint32_t virtualKey = 0;
  uint32_t scanCode = 0;  // PC set-1
  uint32_t flags = 0;     // kHookExtendedKeyFlag for extended keys
  uint32_t time = 0;
};
struct HookMouseRecord {
  int32_t x = 0;
  int32_t y = 0;
  uint32_t mouseData = 0;  // the extra button's number in the high 16 bits (1 back, 2 forward)
  uint32_t flags = 0;
  uint32_t time = 0;
};

// Controls (and their children) whose clicks a capture does not report: the button that ends
// a recording is one, so that stopping does not record a click.
inline constexpr const char* kCaptureIgnoreProperty = "captureIgnore";

class InputHook : public QObject {
  Q_OBJECT

 public:
  // A key went down (`down`) or up. `autoRepeat`: the key was already down (held), so this is
  // the keyboard's repetition, not a new press.
  using KeyCallback =
      std::function<void(uint8_t scanCode, bool extended, bool down, bool autoRepeat)>;

  // A mouse button went down or up: the window system's message (513/514 left, 516/517 right,
  // 519/520 middle, 523/524 an extra button) and the extra button's number (1 back, 2
  // forward, else 0).
  using MouseCallback = std::function<void(uint32_t message, int extraButton)>;

  explicit InputHook(QObject* parent = nullptr);
  ~InputHook() override;
  InputHook(const InputHook&) = delete;
  InputHook& operator=(const InputHook&) = delete;

  // Starts a capture for `window`'s top-level window in `mode`; a capture still running is
  // stopped first. False (and nothing runs) when the window is missing or not shown. The
  // capture ends with Stop, when the window hides, loses the focus or is destroyed. With a
  // mouse callback the pointer is grabbed too and every button pressed is reported (clicks in
  // the program's window still reach its controls).
  bool Start(QWidget* window, uint32_t mode, KeyCallback callback, MouseCallback mouse = {});
  // Ends the capture and releases the grab; nothing is reported afterwards. Safe to repeat.
  void Stop();
  bool Running() const { return running_; }
  uint32_t Mode() const { return mode_; }
  // Whether the window system granted the keyboard grab. Keys typed into the program's own
  // windows are captured either way.
  bool KeyboardGrabbed() const { return grabbed_; }
  bool MouseGrabbed() const { return mouseGrabbed_; }

 signals:
  // A capture ended, by Stop or by itself (the window hid, lost the focus or went away).
  void Stopped();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnKey(uint32_t nativeScanCode, bool press, bool qtAutoRepeat);
  void OnMouse(const QEvent* event);

  QPointer<QWidget> window_;
  QPointer<QWidget> captureWidget_;
  KeyCallback callback_;
  MouseCallback mouseCallback_;
  bool mouseGrabbed_ = false;
  uint32_t mode_ = 0;
  bool running_ = false;
  bool grabbed_ = false;
  // Keys down now, as (scan code, extended): a second press of a held key is a repetition.
  std::set<std::pair<uint8_t, bool>> held_;
};

}  // namespace varkon::ui
