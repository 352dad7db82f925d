// The skin folder's resource index "res.xml": resource keys ("XML_MAIN", "XML_MSG" ...) that
// name the skin files the program loads.
//
//   <Resources>
//     <Xml id="XML_MAIN" path="XML/main.xml"/>
//   </Resources>
#pragma once

#include <map>
#include <string>

namespace varkon {

inline constexpr const char* kResourceIndexFile = "res.xml";
inline constexpr size_t kMaxResourceIndexBytes = 1024 * 1024;

class ResourceIndex {
 public:
  // Reads `skinFolder` + "res.xml". False with `error` set when it is missing, too large or not
  // a resource index; entries with an empty id or a refused path are skipped.
  bool Load(const std::string& skinFolder, std::string& error);
  // The skin name of `key`, or empty.
  std::string Find(const std::string& key) const;
  size_t size() const { return entries_.size(); }

 private:
  std::map<std::string, std::string> entries_;
};

}  // namespace varkon
