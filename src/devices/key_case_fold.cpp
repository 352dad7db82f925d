#include "devices/key_case_fold.h"

#include "core/text.h"

namespace varkon {
namespace {

// Blocks where capital and small letters alternate, capital first at an even code point.
bool EvenCapitalPair(char16_t c) {
  return (c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) ||
         (c >= 0x014A && c <= 0x0177) || (c >= 0x03D8 && c <= 0x03EF) ||
         (c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) ||
         (c >= 0x04D0 && c <= 0x052F);
}

// The same with the capital at an odd code point.
bool OddCapitalPair(char16_t c) {
  return (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E) ||
         (c >= 0x04C1 && c <= 0x04CE);
}

}  // namespace

char16_t FoldCase(char16_t c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return static_cast<char16_t>(c + 32);
  if (EvenCapitalPair(c)) return (c & 1) == 0 ? static_cast<char16_t>(c + 1) : c;
  if (OddCapitalPair(c)) return (c & 1) == 1 ? static_cast<char16_t>(c + 1) : c;
  switch (c) {
    case 0x00B5:  // micro sign
      return 0x03BC;
    case 0x0178:  // Y with diaeresis
      return 0x00FF;
    case 0x017F:  // long s
      return u's';
    case 0x0386:
      return 0x03AC;
    case 0x038C:
      return 0x03CC;
    case 0x038E:
    case 0x038F:
      return static_cast<char16_t>(c + 63);
    case 0x03C2:  // final sigma
      return 0x03C3;
    case 0x04C0:
      return 0x04CF;
    default:
      break;
  }
  if (c >= 0x0388 && c <= 0x038A) return static_cast<char16_t>(c + 37);
  if ((c >= 0x0391 && c <= 0x03A1) || (c >= 0x03A3 && c <= 0x03AB)) {
    return static_cast<char16_t>(c + 32);
  }
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 80);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);
  return c;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  const std::u16string wa = Utf8ToWide(a);
  const std::u16string wb = Utf8ToWide(b);
  if (wa.size() != wb.size()) return false;
  for (size_t i = 0; i < wa.size(); ++i) {
    if (FoldCase(wa[i]) != FoldCase(wb[i])) return false;
  }
  return true;
}

}  // namespace varkon
