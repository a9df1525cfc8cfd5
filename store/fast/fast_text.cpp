#include "store/fast/fast_text.h"

#include <iconv.h>

#include <cstring>
#include <string>

namespace quillmere::store::fast {
namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// windows-1252 0x80..0x9F; 0 where the code page leaves a byte undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string Cp1252ToUtf8(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve(size + size / 4);
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    if (b == 0) break;
    uint32_t cp = b;
    if (b >= 0x80 && b <= 0x9F) cp = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

bool IsValidUtf8(const uint8_t* data, size_t size) {
  size_t i = 0;
  while (i < size) {
    const uint8_t lead = data[i];
    size_t extra = 0;
    uint32_t min = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (i + extra >= size) return false;
    uint32_t cp = lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
      if ((data[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (data[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::string Utf16ToUtf8(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve(size / 2 + size / 8);
  const size_t units = size / 2;
  for (size_t i = 0; i < units; ++i) {
    uint32_t u = uint32_t(data[2 * i]) | (uint32_t(data[2 * i + 1]) << 8);
    if (u == 0) break;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const uint32_t low = uint32_t(data[2 * i + 2]) | (uint32_t(data[2 * i + 3]) << 8);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
    AppendUtf8(out, u);
  }
  return out;
}

bool IsKnownCodePage(int codepage) {
  switch (codepage) {
    case 874: case 932: case 936: case 949: case 950: case 20127:
      return true;
    default:
      return codepage >= 1250 && codepage <= 1258;
  }
}

std::string CodePageToUtf8(const uint8_t* data, size_t size, int codepage) {
  const size_t length = strnlen(reinterpret_cast<const char*>(data), size);
  if (codepage == 1252 || !IsKnownCodePage(codepage)) return Cp1252ToUtf8(data, length);
  const std::string name = codepage == 20127 ? "ASCII" : "CP" + std::to_string(codepage);
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == iconv_t(-1)) return Cp1252ToUtf8(data, length);
  std::string out(length * 4 + 4, '\0');
  char* in = const_cast<char*>(reinterpret_cast<const char*>(data));
  size_t inLeft = length;
  char* o = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &o, &outLeft) != size_t(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    // A byte the code page does not map.
    ++in;
    --inLeft;
    if (outLeft < 3) break;
    std::memcpy(o, "\xEF\xBF\xBD", 3);
    o += 3;
    outLeft -= 3;
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::string BytesAsText(const uint8_t* data, size_t size) {
  while (size > 0 && data[size - 1] == 0) --size;
  if (IsValidUtf8(data, size)) return std::string(reinterpret_cast<const char*>(data), size);
  std::string out;
  out.reserve(size + size / 4);
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    uint32_t cp = b;
    if (b >= 0x80 && b <= 0x9F) cp = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace quillmere::store::fast
