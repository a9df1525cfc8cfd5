#include "pst/ltp/prop_value.h"

namespace quillmere::pst::ltp {
namespace {

// Decodes one UTF-8 sequence; malformed bytes become U+FFFD.
char32_t NextCodePoint(const std::string& s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
  if (extra < 0) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if (i + k >= s.size() || (b(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  i += extra + 1;
  return cp;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = NextCodePoint(utf8, i);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(cp > 0xFFFF ? u'\uFFFD' : char16_t(cp));
    }
  }
  return out;
}

std::string Utf8ToCp1252(const std::string& utf8) {
  static const char16_t k80[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                   0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                   0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(char(cp));
      continue;
    }
    char c = '?';
    for (int k = 0; k < 32; ++k)
      if (k80[k] && k80[k] == cp) c = char(0x80 + k);
    out.push_back(c);
  }
  return out;
}

PropValue PropValue::Int32(int32_t v) {
  PropValue p{kPtypInteger32, Bytes(4)};
  Put32(p.data.data(), uint32_t(v));
  return p;
}
PropValue PropValue::Bool(bool v) { return {kPtypBoolean, Bytes{uint8_t(v ? 1 : 0)}}; }
PropValue PropValue::Int64(int64_t v) {
  PropValue p{kPtypInteger64, Bytes(8)};
  Put64(p.data.data(), uint64_t(v));
  return p;
}
PropValue PropValue::Time(int64_t unixSeconds) {
  PropValue p{kPtypTime, Bytes(8)};
  Put64(p.data.data(), uint64_t((unixSeconds + 11644473600LL) * 10000000LL));
  return p;
}
PropValue PropValue::String(const std::string& utf8, FileFormat format) {
  if (format == FileFormat::kAnsi) {
    const std::string s = Utf8ToCp1252(utf8);
    return {kPtypString8, Bytes(s.begin(), s.end())};
  }
  const std::u16string s = Utf8ToUtf16(utf8);
  PropValue p{kPtypString, Bytes(s.size() * 2)};
  for (size_t i = 0; i < s.size(); ++i) Put16(p.data.data() + 2 * i, s[i]);
  return p;
}

bool IsInlineInPc(uint16_t type) {
  switch (type) {
    case kPtypInteger16:
    case kPtypInteger32:
    case 0x0004:  // PtypFloating32
    case kPtypErrorCode:
    case kPtypBoolean:
      return true;
    default:
      return false;
  }
}

bool IsVariableSize(uint16_t type) {
  switch (type) {
    case kPtypInteger16:
    case kPtypInteger32:
    case 0x0004:
    case kPtypFloating64:
    case 0x0006:  // PtypCurrency
    case 0x0007:  // PtypFloatingTime
    case kPtypErrorCode:
    case kPtypBoolean:
    case kPtypInteger64:
    case kPtypTime:
      return false;
    default:
      return true;
  }
}

size_t RowCellSize(uint16_t type) {
  switch (type) {
    case kPtypBoolean:
      return 1;
    case kPtypInteger16:
      return 2;
    case kPtypFloating64:
    case 0x0006:
    case 0x0007:
    case kPtypInteger64:
    case kPtypTime:
      return 8;
    default:
      return 4;
  }
}

}  // namespace quillmere::pst::ltp
