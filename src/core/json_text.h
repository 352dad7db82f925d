// The styled text form of the JSON files the program keeps, written so that it always reads
// back as the document it was made from.
#pragma once

#include <string>

#include <json/value.h>

namespace varkon {

// The styled form: three-space indentation, short arrays of scalars on one line (right margin
// 74), " : " between a member name and its value, comments kept, one line end at the end.
// Member names and strings are written in full, embedded NUL bytes included (as \u0000);
// valid UTF-8 is written as \u escapes and bytes that are not valid UTF-8 are written as they
// are, so the reader gives back exactly the same bytes.
std::string StyledJsonText(const Json::Value& value);

// The styled form of `value` in `text`, checked by reading it back: false (and `text` empty)
// when the text would not read back as the same document, for example a number that JSON
// cannot hold (NaN).
bool FaithfulStyledJsonText(const Json::Value& value, std::string& text);

// Whether two documents hold the same data: numbers compare by value whatever their stored
// type (an unsigned 5 equals a signed 5), strings and member names byte for byte; comments
// are not data and are ignored.
bool SameJsonDocument(const Json::Value& a, const Json::Value& b);

// Parses a whole document. False on a syntax error and on input the reader refuses by
// throwing (nesting past its limit); `errors` then says why when given.
bool ParseJsonText(const std::string& text, Json::Value& value, std::string* errors = nullptr);

}  // namespace varkon
