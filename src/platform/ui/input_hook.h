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

class InputHook : public QObject {
  Q_OBJECT

 public:
  // A key went down (`down`) or up. `autoRepeat`: the key was already down (held), so this is
  // the keyboard's repetition, not a new press.
  using KeyCallback =
      std::function<void(uint8_t scanCode, bool extended, bool down, bool autoRepeat)>;

  explicit InputHook(QObject* parent = nullptr);
  ~InputHook() override;
  InputHook(const InputHook&) = delete;
  InputHook& operator=(const InputHook&) = delete;

  // Starts a capture for `window`'s top-level window in `mode`; a capture still running is
  // stopped first. False (and nothing runs) when the window is missing or not shown. The
  // capture ends with Stop, when the window hides and when it is destroyed.
  bool Start(QWidget* window, uint32_t mode, KeyCallback callback);
  // Ends the capture and releases the grab; nothing is reported afterwards. Safe to repeat.
  void Stop();
  bool Running() const { return running_; }
  uint32_t Mode() const { return mode_; }
  // Whether the window system granted the keyboard grab. Keys typed into the program's own
  // windows are captured either way.
  bool KeyboardGrabbed() const { return grabbed_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnKey(uint32_t nativeScanCode, bool press, bool qtAutoRepeat);

  QPointer<QWidget> window_;
  QPointer<QWidget> captureWidget_;
  KeyCallback callback_;
  uint32_t mode_ = 0;
  bool running_ = false;
  bool grabbed_ = false;
  // Keys down now, as (scan code, extended): a second press of a held key is a repetition.
  std::set<std::pair<uint8_t, bool>> held_;
};

}  // namespace varkon::ui
