#include "tools/ctl_tool.h"

#include <ostream>

#include "platform/control_socket.h"

namespace varkon {

namespace {

constexpr const char kUsage[] =
    "usage: varkonctl send NAME [WPARAM [LPARAM]]   deliver a registered message by name\n"
    "       varkonctl listen [--as NAME]              print the program's broadcasts (and, as\n"
    "                                                 NAME, what is sent to NAME: data blocks)\n"
    "       varkonctl REQUEST [ARGS...]               any other request (state, sim ...)\n";

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
  std::string line;
  for (const std::string& word : args) {
    if (word.empty() || word.find_first_of(" \n\r\t") != std::string::npos) {
      err << "varkonctl: arguments may not contain spaces\n";
      return 2;
    }
    line += (line.empty() ? "" : " ") + word;
  }
  std::string answer;
  if (!client.Request(line, answer)) {
    err << "varkonctl: the program is not running\n";
    return 1;
  }
  out << answer << "\n";
  return answer.rfind("error", 0) == 0 ? 1 : 0;
}

}  // namespace varkon
