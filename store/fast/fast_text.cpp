#include "store/fast/fast_text.h"

#include <iconv.h>

#include <cstring>
#include <string>

#include "app/utf.h"

namespace quillmere::store::fast {
namespace {

char* PutUtf8(char* o, uint32_t cp) {
  if (cp < 0x80) {
    *o++ = char(cp);
  } else if (cp < 0x800) {
    *o++ = char(0xC0 | (cp >> 6));
    *o++ = char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *o++ = char(0xE0 | (cp >> 12));
    *o++ = char(0x80 | ((cp >> 6) & 0x3F));
    *o++ = char(0x80 | (cp & 0x3F));
  } else {
    *o++ = char(0xF0 | (cp >> 18));
    *o++ = char(0x80 | ((cp >> 12) & 0x3F));
    *o++ = char(0x80 | ((cp >> 6) & 0x3F));
    *o++ = char(0x80 | (cp & 0x3F));
  }
  return o;
}

std::string Cp1252ToUtf8(const uint8_t* data, size_t size) {
  std::string out;
  Cp1252Decoder(out).Feed(data, size);
  return out;
}

}  // namespace

std::string Utf16ToUtf8(const uint8_t* data, size_t size) {
  std::string out;
  Utf16Decoder decoder(out);
  decoder.Feed(data, size);
  decoder.Finish();
  return out;
}

void Utf16Decoder::Feed(const uint8_t* p, size_t n) {
  if (m_stopped || n == 0) return;
  const size_t old = m_out.size();
  // Each unit gives at most 3 bytes; the slack covers what a unit carried
  // over from the last piece adds.
  m_out.resize(old + (n / 2 + 4) * 3);
  char* o = m_out.data() + old;
  size_t i = 0;
  if (m_carry >= 0) {
    o = Unit(o, uint32_t(m_carry) | (uint32_t(p[0]) << 8));
    m_carry = -1;
    i = 1;
  }
  for (; !m_stopped && i + 1 < n; i += 2) {
    // Four ASCII characters at a time, the common case of a body.
    while (!m_high && i + 8 <= n) {
      uint64_t w;
      std::memcpy(&w, p + i, 8);
      if ((w & 0xFF80FF80FF80FF80ull) != 0 || ((w - 0x0001000100010001ull) & ~w & 0x8000800080008000ull) != 0) break;
      o[0] = char(p[i]);
      o[1] = char(p[i + 2]);
      o[2] = char(p[i + 4]);
      o[3] = char(p[i + 6]);
      o += 4;
      i += 8;
    }
    if (i + 1 >= n) break;
    const uint32_t u = uint32_t(p[i]) | (uint32_t(p[i + 1]) << 8);
    if (u - 1 < 0x7F && !m_high) {
      *o++ = char(u);
      continue;
    }
    o = Unit(o, u);
  }
  if (!m_stopped && i < n) m_carry = p[i];
  m_out.resize(size_t(o - m_out.data()));
}

char* Utf16Decoder::Unit(char* o, uint32_t u) {
  if (m_high) {
    const uint32_t high = m_high;
    m_high = 0;
    if (u >= 0xDC00 && u <= 0xDFFF) return PutUtf8(o, 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00));
    o = PutUtf8(o, 0xFFFD);
  }
  if (u == 0) {
    m_stopped = true;
    return o;
  }
  if (u >= 0xD800 && u <= 0xDBFF) {
    m_high = u;
    return o;
  }
  if (u >= 0xDC00 && u <= 0xDFFF) u = 0xFFFD;
  return PutUtf8(o, u);
}

void Utf16Decoder::Finish() {
  if (m_high && !m_stopped) {
    char buf[4];
    m_out.append(buf, size_t(PutUtf8(buf, 0xFFFD) - buf));
  }
  m_high = 0;
  m_stopped = true;
}

void Cp1252Decoder::Feed(const uint8_t* p, size_t n) {
  if (m_stopped || n == 0) return;
  const size_t old = m_out.size();
  m_out.resize(old + n * 3);
  char* o = m_out.data() + old;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = p[i];
    if (b == 0) {
      m_stopped = true;
      break;
    }
    if (b < 0x80)
      *o++ = char(b);
    else
      o = PutUtf8(o, Cp1252CodePoint(b));
  }
  m_out.resize(size_t(o - m_out.data()));
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

}  // namespace quillmere::store::fast
