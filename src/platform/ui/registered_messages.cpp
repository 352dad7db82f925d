#include "platform/ui/registered_messages.h"

#include <map>
#include <mutex>
#include <vector>

namespace varkon::ui {

namespace {

struct Table {
  std::mutex mutex;
  std::map<std::string, uint32_t> numbers;  // by lower-case name
  std::vector<std::string> names;           // index = number - kFirstRegisteredMessage
};

Table& TheTable() {
  static Table table;
  return table;
}

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

uint32_t RegisterMessage(std::string_view name) {
  if (name.empty() || name.size() > kMaxMessageNameLength) return 0;
  Table& table = TheTable();
  const std::string key = Folded(name);
  std::lock_guard<std::mutex> lock(table.mutex);
  const auto found = table.numbers.find(key);
  if (found != table.numbers.end()) return found->second;
  const size_t capacity = kLastRegisteredMessage - kFirstRegisteredMessage + 1;
  if (table.names.size() >= capacity) return 0;
  const uint32_t number = kFirstRegisteredMessage + static_cast<uint32_t>(table.names.size());
  table.names.emplace_back(name);
  table.numbers.emplace(key, number);
  return number;
}

std::string RegisteredMessageName(uint32_t number) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (number < kFirstRegisteredMessage) return {};
  const size_t index = number - kFirstRegisteredMessage;
  return index < table.names.size() ? table.names[index] : std::string();
}

bool IsRegisteredMessage(uint32_t number) {
  return !RegisteredMessageName(number).empty();
}

}  // namespace varkon::ui
