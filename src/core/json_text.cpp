#include "core/json_text.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include <json/reader.h>
#include <json/writer.h>

namespace varkon {

namespace {

constexpr unsigned kRightMargin = 74;
constexpr unsigned kIndentSize = 3;

void AppendHex16(std::string& out, unsigned unit) {
  static const char kDigits[] = "0123456789abcdef";
  out += "\\u";
  out += kDigits[(unit >> 12) & 0xF];
  out += kDigits[(unit >> 8) & 0xF];
  out += kDigits[(unit >> 4) & 0xF];
  out += kDigits[unit & 0xF];
}

// Length of the well-formed UTF-8 sequence at `s` (no overlong forms, no surrogates, nothing
// past U+10FFFF) and its code point; 0 when the bytes there are not one.
size_t DecodeUtf8(const unsigned char* s, const unsigned char* end, uint32_t& codePoint) {
  const unsigned lead = s[0];
  size_t length = 0;
  uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, codePoint = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, codePoint = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, codePoint = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (static_cast<size_t>(end - s) < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (s[i] & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
  return length;
}

std::string QuotedString(const char* begin, const char* end) {
  std::string out;
  out.reserve(static_cast<size_t>(end - begin) + 2);
  out += '"';
  const auto* s = reinterpret_cast<const unsigned char*>(begin);
  const auto* stop = reinterpret_cast<const unsigned char*>(end);
  while (s < stop) {
    const unsigned c = *s;
    switch (c) {
      case '"':
        out += "\\\"";
        ++s;
        continue;
      case '\\':
        out += "\\\\";
        ++s;
        continue;
      case '\b':
        out += "\\b";
        ++s;
        continue;
      case '\f':
        out += "\\f";
        ++s;
        continue;
      case '\n':
        out += "\\n";
        ++s;
        continue;
      case '\r':
        out += "\\r";
        ++s;
        continue;
      case '\t':
        out += "\\t";
        ++s;
        continue;
      default:
        break;
    }
    if (c < 0x20) {
      AppendHex16(out, c);  // NUL included: the name or text is never cut short
      ++s;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
      ++s;
    } else {
      uint32_t codePoint = 0;
      const size_t length = DecodeUtf8(s, stop, codePoint);
      if (length == 0) {
        // Not UTF-8: the byte is written as it is, and the reader keeps it as it is.
        out += static_cast<char>(c);
        ++s;
        continue;
      }
      if (codePoint >= 0x10000) {
        const uint32_t offset = codePoint - 0x10000;
        AppendHex16(out, 0xD800 + (offset >> 10));
        AppendHex16(out, 0xDC00 + (offset & 0x3FF));
      } else {
        AppendHex16(out, codePoint);
      }
      s += length;
    }
  }
  out += '"';
  return out;
}

std::string QuotedString(const std::string& text) {
  return QuotedString(text.data(), text.data() + text.size());
}

bool HasComment(const Json::Value& value) {
  return value.hasComment(Json::commentBefore) || value.hasComment(Json::commentAfterOnSameLine) ||
         value.hasComment(Json::commentAfter);
}

// The layout of JsonCpp's styled writer, which the files were always written in, with member
// names and strings quoted in full.
class StyledTextWriter {
 public:
  std::string Write(const Json::Value& root) {
    WriteCommentBefore(root);
    WriteValue(root);
    WriteCommentAfter(root);
    document_ += '\n';
    return std::move(document_);
  }

 private:
  void WriteValue(const Json::Value& value) {
    switch (value.type()) {
      case Json::nullValue:
        Push("null");
        break;
      case Json::intValue:
        Push(Json::valueToString(value.asLargestInt()));
        break;
      case Json::uintValue:
        Push(Json::valueToString(value.asLargestUInt()));
        break;
      case Json::realValue:
        Push(Json::valueToString(value.asDouble()));
        break;
      case Json::booleanValue:
        Push(Json::valueToString(value.asBool()));
        break;
      case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        Push(value.getString(&begin, &end) ? QuotedString(begin, end) : std::string("\"\""));
        break;
      }
      case Json::arrayValue:
        WriteArray(value);
        break;
      case Json::objectValue:
        WriteObject(value);
        break;
    }
  }

  void WriteObject(const Json::Value& value) {
    if (value.empty()) {
      Push("{}");
      return;
    }
    WriteWithIndent("{");
    Indent();
    for (auto it = value.begin(); it != value.end();) {
      const Json::Value& child = *it;
      WriteCommentBefore(child);
      WriteWithIndent(QuotedString(it.name()));
      document_ += " : ";
      WriteValue(child);
      if (++it != value.end()) document_ += ',';
      WriteCommentAfter(child);
    }
    Unindent();
    WriteWithIndent("}");
  }

  void WriteArray(const Json::Value& value) {
    const Json::ArrayIndex size = value.size();
    if (size == 0) {
      Push("[]");
      return;
    }
    std::vector<std::string> singleLine;
    if (!FitsOnOneLine(value, singleLine)) {
      WriteWithIndent("[");
      Indent();
      for (Json::ArrayIndex index = 0; index < size; ++index) {
        const Json::Value& child = value[index];
        WriteCommentBefore(child);
        if (!singleLine.empty()) {
          WriteWithIndent(singleLine[index]);
        } else {
          WriteIndent();
          WriteValue(child);
        }
        if (index + 1 < size) document_ += ',';
        WriteCommentAfter(child);
      }
      Unindent();
      WriteWithIndent("]");
    } else {
      std::string line = "[ ";
      for (Json::ArrayIndex index = 0; index < size; ++index) {
        if (index > 0) line += ", ";
        line += singleLine[index];
      }
      line += " ]";
      Push(line);
    }
  }

  // An array of scalars whose one-line form stays under the right margin goes on one line;
  // `texts` receives its elements' texts whenever they were made.
  bool FitsOnOneLine(const Json::Value& value, std::vector<std::string>& texts) {
    const Json::ArrayIndex size = value.size();
    if (size * 3 >= kRightMargin) return false;
    for (Json::ArrayIndex index = 0; index < size; ++index) {
      const Json::Value& child = value[index];
      if ((child.isArray() || child.isObject()) && !child.empty()) return false;
    }
    bool multiLine = false;
    size_t lineLength = 4 + (size - 1) * 2;
    std::vector<std::string>* outer = collect_;
    collect_ = &texts;
    for (Json::ArrayIndex index = 0; index < size; ++index) {
      if (HasComment(value[index])) multiLine = true;
      WriteValue(value[index]);
      lineLength += texts.back().size();
    }
    collect_ = outer;
    return !multiLine && lineLength < kRightMargin;
  }

  void Push(std::string text) {
    if (collect_ != nullptr) {
      collect_->push_back(std::move(text));
    } else {
      document_ += text;
    }
  }

  void WriteIndent() {
    if (!document_.empty()) {
      const char last = document_.back();
      if (last == ' ') return;  // already indented
      if (last != '\n') document_ += '\n';
    }
    document_ += indent_;
  }

  void WriteWithIndent(const std::string& text) {
    WriteIndent();
    document_ += text;
  }

  void Indent() { indent_.append(kIndentSize, ' '); }
  void Unindent() { indent_.resize(indent_.size() - kIndentSize); }

  void WriteCommentBefore(const Json::Value& value) {
    if (!value.hasComment(Json::commentBefore)) return;
    document_ += '\n';
    WriteIndent();
    const std::string comment = value.getComment(Json::commentBefore);
    for (size_t i = 0; i < comment.size(); ++i) {
      document_ += comment[i];
      if (comment[i] == '\n' && i + 1 < comment.size() && comment[i + 1] == '/') WriteIndent();
    }
    document_ += '\n';
  }

  void WriteCommentAfter(const Json::Value& value) {
    if (value.hasComment(Json::commentAfterOnSameLine)) {
      document_ += " " + value.getComment(Json::commentAfterOnSameLine);
    }
    if (value.hasComment(Json::commentAfter)) {
      document_ += '\n';
      document_ += value.getComment(Json::commentAfter);
      document_ += '\n';
    }
  }

  std::string document_;
  std::string indent_;
  std::vector<std::string>* collect_ = nullptr;
};

bool IsIntegral(const Json::Value& value) {
  return value.type() == Json::intValue || value.type() == Json::uintValue;
}

bool SameNumber(const Json::Value& a, const Json::Value& b) {
  if (IsIntegral(a) && IsIntegral(b)) {
    if (a.type() == b.type()) return a == b;
    const Json::Value& signedOne = a.type() == Json::intValue ? a : b;
    const Json::Value& unsignedOne = a.type() == Json::intValue ? b : a;
    if (signedOne.asLargestInt() < 0) return false;
    return static_cast<Json::LargestUInt>(signedOne.asLargestInt()) == unsignedOne.asLargestUInt();
  }
  return a.asDouble() == b.asDouble();
}

}  // namespace

std::string StyledJsonText(const Json::Value& value) {
  return StyledTextWriter().Write(value);
}

bool SameJsonDocument(const Json::Value& a, const Json::Value& b) {
  if (a.isNumeric() && b.isNumeric() && !a.isBool() && !b.isBool()) return SameNumber(a, b);
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Json::arrayValue: {
      if (a.size() != b.size()) return false;
      for (Json::ArrayIndex index = 0; index < a.size(); ++index) {
        if (!SameJsonDocument(a[index], b[index])) return false;
      }
      return true;
    }
    case Json::objectValue: {
      if (a.size() != b.size()) return false;
      for (auto it = a.begin(); it != a.end(); ++it) {
        const std::string name = it.name();
        const Json::Value* other = b.find(name.data(), name.data() + name.size());
        if (other == nullptr || !SameJsonDocument(*it, *other)) return false;
      }
      return true;
    }
    default:
      return a == b;
  }
}

bool ParseJsonText(const std::string& text, Json::Value& value, std::string* errors) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string messages;
  bool parsed = false;
  try {
    parsed = reader->parse(text.data(), text.data() + text.size(), &value, &messages);
  } catch (const std::exception& error) {
    // The reader throws instead of failing on some hostile input (nesting past its limit).
    messages = error.what();
  }
  if (!parsed) value = Json::Value();
  if (errors != nullptr) *errors = std::move(messages);
  return parsed;
}

bool FaithfulStyledJsonText(const Json::Value& value, std::string& text) {
  text = StyledJsonText(value);
  Json::Value readBack;
  if (ParseJsonText(text, readBack) && SameJsonDocument(readBack, value)) return true;
  text.clear();
  return false;
}

}  // namespace varkon
