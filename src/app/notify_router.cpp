#include "app/notify_router.h"

#include <utility>

#include "core/debug_out.h"
#include "core/names.h"

namespace varkon {
namespace {

// Control names are ASCII; other bytes (UTF-8 sequences) are compared as they are.
std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

void NotifyRouter::OnName(std::string type, std::string name, Handler h, NameCase c) {
  std::vector<std::string> names;
  names.push_back(std::move(name));
  OnNames(std::move(type), std::move(names), std::move(h), c);
}

void NotifyRouter::OnNames(std::string type, std::vector<std::string> names, Handler h,
                           NameCase c) {
  Row row;
  row.kind = RowKind::Names;
  row.nameCase = c;
  if (c == NameCase::Insensitive) {
    for (std::string& name : names) name = LowerAscii(std::move(name));
  }
  row.names = std::move(names);
  row.handler = std::move(h);
  Add(std::move(type), std::move(row));
}

void NotifyRouter::OnPrefix(std::string type, std::string prefix, IndexHandler h) {
  Row row;
  row.kind = RowKind::Prefix;
  row.prefix = std::move(prefix);
  row.indexHandler = std::move(h);
  Add(std::move(type), std::move(row));
}

void NotifyRouter::OnType(std::string type, Handler h) {
  Row row;
  row.kind = RowKind::AnySender;
  row.handler = std::move(h);
  Add(std::move(type), std::move(row));
}

void NotifyRouter::SkipFrameworkFor(std::string type) {
  skipFramework_.insert(std::move(type));
}

void NotifyRouter::Add(std::string type, Row row) {
  rows_[std::move(type)].push_back(std::move(row));
  ++rowCount_;
}

size_t NotifyRouter::RowCount() const {
  return rowCount_;
}

bool NotifyRouter::Matches(const Row& row, const std::string& name, const std::string& lowerName,
                           bool hasIndex, const std::string& prefix, int index) {
  switch (row.kind) {
    case RowKind::AnySender:
      return true;
    case RowKind::Prefix:
      return hasIndex && row.prefix == prefix;
    case RowKind::Names: {
      const std::string& wanted = row.nameCase == NameCase::Insensitive ? lowerName : name;
      for (const std::string& candidate : row.names) {
        if (candidate == wanted) return true;
      }
      return false;
    }
  }
  return false;
}

bool NotifyRouter::Route(const RoutedNotification& n, int* ran) const {
  if (n.type != "timer") {
    debugOut("%s\n", n.type.c_str());
    debugOut("%s\n", n.name.c_str());
  }
  int count = 0;
  const auto found = rows_.find(n.type);
  if (found != rows_.end()) {
    // The split is worked out once: prefix up to and including the last '_', and the rest only
    // when it is a whole decimal number that fits an int.
    std::string prefix;
    int index = 0;
    bool hasIndex = false;
    const size_t underscore = n.name.rfind('_');
    if (underscore != std::string::npos) {
      prefix = n.name.substr(0, underscore + 1);
      hasIndex = ParseDecimal(n.name.substr(underscore + 1), index);
    }
    const std::string lowerName = LowerAscii(n.name);

    // A handler may add rows; the vector may then move, so rows are reached by position and
    // each handler is copied before it runs. Rows added meanwhile wait for the next call.
    const std::vector<Row>& rows = found->second;
    const size_t rowsAtStart = rows.size();
    for (size_t i = 0; i < rowsAtStart; ++i) {
      if (!Matches(rows[i], n.name, lowerName, hasIndex, prefix, index)) continue;
      ++count;
      if (rows[i].kind == RowKind::Prefix) {
        const IndexHandler handler = rows[i].indexHandler;
        if (handler) handler(n, index);
      } else {
        const Handler handler = rows[i].handler;
        if (handler) handler(n);
      }
    }
  }
  if (ran != nullptr) *ran = count;
  return skipFramework_.count(n.type) == 0;
}

}  // namespace varkon
