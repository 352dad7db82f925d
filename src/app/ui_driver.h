// Drives the program's windows from outside ("varkonctl ui ..."): finds a control by name as a
// user sees it and does to it what the user's mouse or keyboard would, through the control's
// own signals (or the notifier's delivery of the very notification the action raises), so the
// handlers that run are the ones a real click runs.
//
// A name is looked for in the selected device's panel, then the main window, then the other
// open windows of the program; "NAME#N" takes the N-th match (from 0) when several controls
// share a name (the selector items' "device_select"). A control the user could not use —
// missing, hidden, disabled or behind a modal window — is refused with the reason; "get" only
// reads, so it also reports hidden and disabled controls.
//
// Requests are answered on the UI thread. An action is checked at once and then queued to run
// right after the answer, before any later request: an action may open a modal window, whose
// loop keeps serving requests (so a script can read and answer a message box it opened).
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace varkon {

class CMainWnd;
class CMsgWnd;

class UiDriver {
 public:
  explicit UiDriver(CMainWnd* window);

  // `words` is the request: "ui", the action and its arguments. Returns "ok", a JSON object
  // ("get", "message") or "error ..." saying why nothing was done.
  std::string Handle(const std::vector<std::string>& words);

 private:
  // A control to act on, or `error` saying why there is none the user could use.
  struct Target {
    QWidget* control = nullptr;
    std::string error;
  };

  std::vector<QWidget*> Matches(const std::string& name) const;
  Target FindUsable(const std::string& spec) const;
  QWidget* FindAny(const std::string& spec) const;
  CMsgWnd* OpenMessage() const;

  std::string Click(const std::string& spec);
  std::string Select(const std::string& spec, const std::string& index);
  std::string Set(const std::string& spec, const std::string& value);
  std::string Check(const std::string& spec, const std::string& state);
  std::string Colour(const std::string& spec, const std::string& rgb);
  std::string Paint(const std::vector<std::string>& indices);
  std::string Get(const std::string& spec) const;
  std::string Message() const;
  std::string Answer(const std::string& choice);
  std::string AnswerFile(const std::string& path);

  CMainWnd* window_;
};

}  // namespace varkon
