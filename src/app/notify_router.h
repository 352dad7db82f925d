// The main window's notification dispatcher: a table of rows, each binding a notification type
// and a sender name (or a name prefix with a numeric index, or any sender) to a handler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace varkon {

struct RoutedNotification {
  std::string type, name;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

enum class NameCase { Exact, Insensitive };

class NotifyRouter {
 public:
  using Handler = std::function<void(const RoutedNotification&)>;
  using IndexHandler = std::function<void(const RoutedNotification&, int index)>;

  // Rows of one type are consulted in the order they were added; every matching row runs.
  void OnName(std::string type, std::string name, Handler h, NameCase c = NameCase::Insensitive);
  void OnNames(std::string type, std::vector<std::string> names, Handler h,
               NameCase c = NameCase::Insensitive);
  // Matches when the sender's name, split at its last underscore, has exactly this prefix (up to
  // and including the underscore, compared exactly) and a tail that is a whole decimal number
  // fitting an int. Range checks on the index are the handler's.
  void OnPrefix(std::string type, std::string prefix, IndexHandler h);
  // Any sender of this type.
  void OnType(std::string type, Handler h);
  // Types whose framework handling (the window's own default click handling) must be skipped.
  void SkipFrameworkFor(std::string type);

  // Writes the type and the name as two debug lines (except type "timer"), runs the matching
  // rows, and returns true when the framework's own handling should still run. Stores how many
  // rows ran in `ran` when given. Rows added by a handler while routing take effect from the
  // next notification.
  bool Route(const RoutedNotification& n, int* ran = nullptr) const;
  size_t RowCount() const;

 private:
  enum class RowKind { Names, Prefix, AnySender };
  struct Row {
    RowKind kind = RowKind::AnySender;
    NameCase nameCase = NameCase::Exact;
    std::vector<std::string> names;  // lower-cased when nameCase is Insensitive
    std::string prefix;
    Handler handler;
    IndexHandler indexHandler;
  };

  void Add(std::string type, Row row);
  static bool Matches(const Row& row, const std::string& name, const std::string& lowerName,
                      bool hasIndex, const std::string& prefix, int index);

  std::unordered_map<std::string, std::vector<Row>> rows_;
  std::set<std::string> skipFramework_;
  size_t rowCount_ = 0;
};

}  // namespace varkon
