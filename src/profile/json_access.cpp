#include "profile/json_access.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <exception>

#include "core/json_file.h"

namespace varkon {

const Json::Value& NullJsonValue() {
  static const Json::Value null;
  return null;
}

const Json::Value& Member(const Json::Value& object, const char* name) {
  if (name == nullptr || !object.isObject()) return NullJsonValue();
  const Json::Value* found = object.find(name, name + std::strlen(name));
  return found != nullptr ? *found : NullJsonValue();
}

const Json::Value& ElementAt(const Json::Value& array, Json::ArrayIndex index) {
  if (!array.isArray() || index >= array.size()) return NullJsonValue();
  return array[index];
}

Json::ArrayIndex ArraySize(const Json::Value& value) {
  return value.isArray() ? value.size() : 0;
}

int IntValue(const Json::Value& value, int fallback) {
  switch (value.type()) {
    case Json::intValue: {
      const Json::LargestInt number = value.asLargestInt();
      return number >= INT_MIN && number <= INT_MAX ? static_cast<int>(number) : fallback;
    }
    case Json::uintValue: {
      const Json::LargestUInt number = value.asLargestUInt();
      return number <= static_cast<Json::LargestUInt>(INT_MAX) ? static_cast<int>(number)
                                                               : fallback;
    }
    case Json::realValue: {
      const double number = std::trunc(value.asDouble());
      if (!std::isfinite(number) || number < INT_MIN || number > INT_MAX) return fallback;
      return static_cast<int>(number);
    }
    default:
      return fallback;
  }
}

bool BoolValue(const Json::Value& value, bool fallback) {
  switch (value.type()) {
    case Json::booleanValue:
      return value.asBool();
    case Json::intValue:
      return value.asLargestInt() != 0;
    case Json::uintValue:
      return value.asLargestUInt() != 0;
    case Json::realValue:
      return value.asDouble() != 0.0;
    default:
      return fallback;
  }
}

std::string StringValue(const Json::Value& value, const std::string& fallback) {
  return value.isString() ? value.asString() : fallback;
}

int IntMember(const Json::Value& object, const char* name, int fallback) {
  return IntValue(Member(object, name), fallback);
}

bool BoolMember(const Json::Value& object, const char* name, bool fallback) {
  return BoolValue(Member(object, name), fallback);
}

std::string StringMember(const Json::Value& object, const char* name, const std::string& fallback) {
  return StringValue(Member(object, name), fallback);
}

uint8_t ByteMember(const Json::Value& object, const char* name) {
  const Json::Value& value = Member(object, name);
  switch (value.type()) {
    case Json::intValue:
      return static_cast<uint8_t>(value.asLargestInt());
    case Json::uintValue:
      return static_cast<uint8_t>(value.asLargestUInt());
    default:
      // Reals in int range wrap like integers; anything else is 0.
      return static_cast<uint8_t>(IntValue(value, 0));
  }
}

const Json::Value& ArrayMember(const Json::Value& object, const char* name) {
  static const Json::Value empty(Json::arrayValue);
  const Json::Value& member = Member(object, name);
  return member.isArray() ? member : empty;
}

const Json::Value& ObjectMember(const Json::Value& object, const char* name) {
  static const Json::Value empty(Json::objectValue);
  const Json::Value& member = Member(object, name);
  return member.isObject() ? member : empty;
}

Json::Value& MakeObjectMember(Json::Value& value, const char* name) {
  if (!value.isObject()) value = Json::Value(Json::objectValue);
  Json::Value& member = value[name];
  if (!member.isObject()) member = Json::Value(Json::objectValue);
  return member;
}

Json::Value& MakeObjectElement(Json::Value& value, Json::ArrayIndex index) {
  if (!value.isArray()) value = Json::Value(Json::arrayValue);
  Json::Value& element = value[index];
  if (!element.isObject()) element = Json::Value(Json::objectValue);
  return element;
}

Json::Value& MakeArrayMember(Json::Value& value, const char* name) {
  if (!value.isObject()) value = Json::Value(Json::objectValue);
  Json::Value& member = value[name];
  if (!member.isArray()) member = Json::Value(Json::arrayValue);
  return member;
}

Json::Value ReadJsonFileNoThrow(const std::string& path) {
  try {
    return ReadJsonFile(path);
  } catch (const std::exception&) {
    return Json::Value();
  }
}

bool IsSafeFileStem(const std::string& name) {
  if (name.empty()) return false;
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return false;
  if (name.find("..") != std::string::npos) return false;
  if (name.find('\0') != std::string::npos) return false;
  return true;
}

}  // namespace varkon
