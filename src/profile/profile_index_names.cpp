#include "profile/profile_index_names.h"

#include <algorithm>
#include <filesystem>

#include "core/stamp_id.h"
#include "core/text.h"
#include "devices/key_case_fold.h"

namespace varkon {

namespace {

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::u16string FoldedName(const std::string& utf8) {
  std::u16string text = Utf8ToWide(utf8);
  for (char16_t& unit : text) unit = FoldCase(unit);
  return text;
}

bool ListHasName(const std::vector<std::string>& names, const std::string& name, int skipIndex) {
  const std::u16string folded = FoldedName(name);
  for (size_t i = 0; i < names.size(); ++i) {
    if (static_cast<int>(i) == skipIndex) continue;
    if (FoldedName(names[i]) == folded) return true;
  }
  return false;
}

bool IsBlankName(const std::string& name) {
  return std::all_of(name.begin(), name.end(), IsWhiteSpace);
}

std::string NewProfileName(const std::vector<std::string>& names) {
  // Each round takes one more number; at most names.size() numbers can be taken.
  for (size_t number = 1;; ++number) {
    std::string name = "profile" + std::to_string(number);
    if (!ListHasName(names, name)) return name;
  }
}

std::string CopiedProfileName(const std::vector<std::string>& names, const std::string& source) {
  std::string name = source + " copy";
  while (ListHasName(names, name)) name += " copy";
  return name;
}

std::string ImportedProfileName(const std::vector<std::string>& names, const std::string& base) {
  std::string name = base;
  for (int counter = 1; ListHasName(names, name); ++counter) {
    name += "(" + std::to_string(counter) + ")";
  }
  return name;
}

std::string FreshStampId(const std::vector<std::string>& taken, const std::string& folder,
                         const std::string& extension) {
  const std::string stamp = MakeStampId();
  auto isFree = [&](const std::string& id) {
    if (std::find(taken.begin(), taken.end(), id) != taken.end()) return false;
    std::error_code error;
    return !std::filesystem::exists(folder + id + extension, error);
  };
  if (isFree(stamp)) return stamp;
  for (size_t suffix = 1;; ++suffix) {
    std::string id = stamp + "_" + std::to_string(suffix);
    if (isFree(id)) return id;
  }
}

}  // namespace varkon
