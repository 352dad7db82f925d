#include "tools/ctl_tool.h"

#include <filesystem>
#include <ostream>

#include "platform/control_socket.h"

namespace varkon {

namespace {

constexpr const char kUsage[] =
    "usage: varkonctl send NAME [WPARAM [LPARAM]]   deliver a registered message by name\n"
    "                                                 (quote a NAME that has spaces)\n"
    "       varkonctl listen [--as NAME]              print the program's broadcasts (and, as\n"
    "                                                 NAME, what is sent to NAME: data blocks)\n"
    "       varkonctl ui ACTION ...                   act on a control as a user would:\n"
    "           click NAME | select NAME INDEX | set NAME VALUE | check NAME on|off\n"
    "           colour NAME RRGGBB | paint INDEX... | get NAME | message | answer ok|cancel\n"
    "           answer-file FILE (the open file dialog chooses FILE)\n"
    "       varkonctl profile DEVICE ACTION           the profile panel's operations:\n"
    "           list | switch NAME | add | copy | delete | reset | rename NAME\n"
    "           export FILE | import FILE   (add, copy, delete, reset ask in the window\n"
    "           unless --yes is given)\n"
    "       varkonctl keys DEVICE ACTION              the key editor's operations:\n"
    "           list | set INDEX KIND B1 B2 [--fn] | write\n"
    "       varkonctl REQUEST [ARGS...]               any other request (state, sim ...)\n";

// A ui request may wait behind what the window is doing (a device starting up) before it is
// answered; it is answered before its action runs, so the wait stays short.
constexpr int kUiTimeoutMs = 10000;
// Profile and key requests answer once the device has taken what they wrote.
constexpr int kEditorTimeoutMs = 40000;

bool IsNumber(const std::string& text) {
  if (text.empty()) return false;
  size_t start = text[0] == '-' ? 1 : 0;
  if (start == text.size()) return false;
  const bool hex = text.size() > start + 2 && text[start] == '0' &&
                   (text[start + 1] == 'x' || text[start + 1] == 'X');
  for (size_t i = start + (hex ? 2 : 0); i < text.size(); ++i) {
    const char c = text[i];
    const bool digit =
        (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!digit) return false;
  }
  return true;
}

bool IsIndex(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsColour(const std::string& text) {
  if (text.size() != 6) return false;
  for (char c : text) {
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex) return false;
  }
  return true;
}

// A word that goes on the request line as it is.
bool IsPlainWord(const std::string& word) {
  if (word.empty()) return false;
  for (unsigned char c : word) {
    if (c <= ' ' || c == 0x7F) return false;
  }
  return true;
}

// The request line travels as words, so a value keeps only single spaces between its words.
bool IsSendableValue(const std::string& value) {
  if (value.empty()) return true;
  if (value.front() == ' ' || value.back() == ' ' || value.find("  ") != std::string::npos) {
    return false;
  }
  for (unsigned char c : value) {
    if (c < ' ' || c == 0x7F) return false;
  }
  return true;
}

// Checks the arguments of "ui ..." (args[0] is "ui"); empty `why` when they are good.
std::string UiArgumentProblem(const std::vector<std::string>& args) {
  if (args.size() < 2) return "ui needs an action";
  const std::string& action = args[1];
  const size_t count = args.size() - 2;  // the action's own arguments
  const bool named = count >= 1 && IsPlainWord(args[2]);
  if (action == "click" || action == "get") {
    return count == 1 && named ? "" : action + " takes one control name";
  }
  if (action == "select") {
    return count == 2 && named && IsIndex(args[3]) ? "" : "select takes a name and an index";
  }
  if (action == "set") {
    if (count != 2 || !named) return "set takes a name and a value";
    return IsSendableValue(args[3]) ? ""
                                    : "a value may have single spaces between words, no line "
                                      "ends, tabs or spaces at its ends";
  }
  if (action == "check") {
    return count == 2 && named && (args[3] == "on" || args[3] == "off")
               ? ""
               : "check takes a name and on or off";
  }
  if (action == "colour") {
    return count == 2 && named && IsColour(args[3]) ? "" : "colour takes a name and RRGGBB";
  }
  if (action == "paint") {
    if (count == 0) return "paint takes one or more light indices";
    for (size_t i = 2; i < args.size(); ++i) {
      if (!IsIndex(args[i])) return "paint takes light indices, not \"" + args[i] + "\"";
    }
    return "";
  }
  if (action == "message") return count == 0 ? "" : "message takes no arguments";
  if (action == "answer") {
    return count == 1 && (args[2] == "ok" || args[2] == "cancel") ? ""
                                                                  : "answer takes ok or cancel";
  }
  if (action == "answer-file") {
    if (count != 1) return "answer-file takes one file";
    return IsSendableValue(args[2]) ? ""
                                    : "a file may have single spaces between words, no line "
                                      "ends, tabs or spaces at its ends";
  }
  return "unknown ui action \"" + action + "\"";
}

// Sends `line` and prints the answer; an answer beginning "error" is a refusal, printed on
// `err` (without the word) when `refusalsToErr` is set.
int Ask(ControlClient& client, const std::string& line, std::ostream& out, std::ostream& err,
        int timeoutMs, bool refusalsToErr = false) {
  std::string answer;
  if (!client.Request(line, answer, timeoutMs)) {
    err << "varkonctl: the program is not running\n";
    return 1;
  }
  const bool refused = answer.rfind("error", 0) == 0;
  if (refused && refusalsToErr) {
    err << "varkonctl: " << answer.substr(answer.size() > 6 ? 6 : answer.size()) << "\n";
  } else {
    out << answer << "\n";
  }
  return refused ? 1 : 0;
}

// The words of "profile ..." and "keys ..." as one request line. A profile's name or a file
// may hold single spaces; a relative file is made absolute here, where it was meant.
std::string EditorRequestLine(const std::vector<std::string>& args, std::string& problem) {
  std::vector<std::string> words = args;
  const bool fileVerb =
      words[0] == "profile" && words.size() >= 4 && (words[2] == "export" || words[2] == "import");
  if (fileVerb) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(words[3], error);
    if (!error) words[3] = absolute.string();
  }
  std::string line;
  for (const std::string& word : words) {
    if (!IsSendableValue(word) || word.empty()) {
      problem =
          "a name or file may have single spaces between words, no line ends, tabs or spaces at "
          "its ends";
      return {};
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return line;
}

}  // namespace

int RunCtlTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::atomic<bool>& stop) {
  if (args.empty() || args[0] == "-h" || args[0] == "--help") {
    (args.empty() ? err : out) << kUsage;
    return args.empty() ? 2 : 0;
  }
  ControlClient client;
  const std::string& command = args[0];
  if (command == "send") {
    if (args.size() < 2 || args.size() > 4 || !IsValidMessageName(args[1]) ||
        (args.size() > 2 && !IsNumber(args[2])) || (args.size() > 3 && !IsNumber(args[3]))) {
      err << "varkonctl: send takes a message name and up to two numbers\n" << kUsage;
      return 2;
    }
    std::string line = "send " + args[1] + " " + (args.size() > 2 ? args[2] : "0") + " " +
                       (args.size() > 3 ? args[3] : "0");
    std::string answer;
    if (!client.Request(line, answer)) {
      err << "varkonctl: the program is not running\n";
      return 1;
    }
    if (answer != "ok") {
      err << "varkonctl: " << answer << "\n";
      return 1;
    }
    return 0;
  }
  if (command == "listen") {
    // "--as NAME" tells the program which client listens (the external tool's report).
    if (!(args.size() == 1 ||
          (args.size() == 3 && args[1] == "--as" && IsValidMessageName(args[2])))) {
      err << kUsage;
      return 2;
    }
    const bool listened = client.Listen(
        [&out](const std::string& line) {
          out << line << "\n";
          out.flush();
        },
        stop, args.size() == 3 ? args[2] : std::string());
    if (!listened) {
      err << "varkonctl: the program is not running\n";
      return 1;
    }
    return 0;
  }
  if (command == "ui") {
    // A file dialog's answer is a file where varkonctl runs.
    std::vector<std::string> words = args;
    if (words.size() == 3 && words[1] == "answer-file") {
      std::error_code error;
      const std::filesystem::path absolute = std::filesystem::absolute(words[2], error);
      if (!error) words[2] = absolute.string();
    }
    const std::string problem = UiArgumentProblem(words);
    if (!problem.empty()) {
      err << "varkonctl: " << problem << "\n" << kUsage;
      return 2;
    }
    std::string line;
    for (const std::string& word : words) {
      if (!word.empty()) line += (line.empty() ? "" : " ") + word;
    }
    return Ask(client, line, out, err, kUiTimeoutMs);
  }
  if ((command == "profile" || command == "keys") && args.size() >= 3) {
    std::string problem;
    const std::string line = EditorRequestLine(args, problem);
    if (!problem.empty()) {
      err << "varkonctl: " << problem << "\n";
      return 2;
    }
    // A switch or a write waits for the device.
    return Ask(client, line, out, err, kEditorTimeoutMs, true);
  }
  std::string line;
  for (const std::string& word : args) {
    if (word.empty() || word.find_first_of(" \n\r\t") != std::string::npos) {
      err << "varkonctl: arguments may not contain spaces\n";
      return 2;
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return Ask(client, line, out, err, 2000);
}

}  // namespace varkon
