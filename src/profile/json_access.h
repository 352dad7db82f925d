// Typed reads of JSON members that never throw: a missing member, a member of the wrong type,
// a container that is not an object or array, or a number out of range reads as the fallback.
// JsonCpp's own asInt()/operator[] throw on such input, so everything read from files goes
// through these instead.
#pragma once

#include <cstdint>
#include <string>

#include <json/value.h>

namespace varkon {

// A shared null value, for "nothing there" results handed out by reference.
const Json::Value& NullJsonValue();

// The member `name` of `object`; null when `object` is not an object or has no such member.
const Json::Value& Member(const Json::Value& object, const char* name);

// Element `index` of `array`; null when `array` is not an array or is too short.
const Json::Value& ElementAt(const Json::Value& array, Json::ArrayIndex index);

// Number of elements when `value` is an array, else 0.
Json::ArrayIndex ArraySize(const Json::Value& value);

// Numbers of any kind (integers, and reals truncated toward zero) that fit an int; anything
// else, booleans and strings included, is the fallback.
int IntValue(const Json::Value& value, int fallback = 0);
// Booleans, and numbers (non-zero is true); anything else is the fallback.
bool BoolValue(const Json::Value& value, bool fallback = false);
// Strings only.
std::string StringValue(const Json::Value& value, const std::string& fallback = {});

int IntMember(const Json::Value& object, const char* name, int fallback = 0);
bool BoolMember(const Json::Value& object, const char* name, bool fallback = false);
std::string StringMember(const Json::Value& object, const char* name,
                         const std::string& fallback = {});
// The low 8 bits of an integer member (300 reads as 44, -1 as 255); 0 when not a number.
uint8_t ByteMember(const Json::Value& object, const char* name);

// The member when it is an array (or object), else a shared empty array (object), so callers
// can iterate or look further without checking.
const Json::Value& ArrayMember(const Json::Value& object, const char* name);
const Json::Value& ObjectMember(const Json::Value& object, const char* name);

// For writing: turns `value` into an object when it is not one (dropping what it held), then
// does the same for its member `name` and returns that member.
Json::Value& MakeObjectMember(Json::Value& value, const char* name);
// For writing: turns `value` into an array when it is not one, then element `index` into an
// object when it is not one (the array grows as needed), and returns that element.
Json::Value& MakeObjectElement(Json::Value& value, Json::ArrayIndex index);
// For writing: turns `value` into an object when it is not one, then its member `name` into an
// array when it is not one, and returns that member.
Json::Value& MakeArrayMember(Json::Value& value, const char* name);

// ReadJsonFile that also turns the JSON reader's own exceptions (it throws on nesting deeper
// than its stack limit) into a null value.
Json::Value ReadJsonFileNoThrow(const std::string& path);

// Whether a name read from a file may be used as a file name inside a data folder: not empty,
// no '/' or '\\', no "..", no NUL byte (so it can neither be absolute nor leave the folder).
bool IsSafeFileStem(const std::string& name);

}  // namespace varkon
