#pragma once
// Property values as UTF-8 text, converted the way the libpff backend gives
// them, so both readers agree on every field.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillmere::store::fast {

// UTF-16LE to UTF-8; unpaired surrogates become U+FFFD. Stops at the first
// NUL character, as a C string would.
std::string Utf16ToUtf8(const uint8_t* data, size_t size);

// The same conversion of text handed over in pieces (the blocks of a long
// value), appended to `out` without the pieces ever being joined.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(std::string& out) : m_out(out) {}
  void Feed(const uint8_t* data, size_t size);
  // A high surrogate left at the end becomes U+FFFD.
  void Finish();

 private:
  char* Unit(char* out, uint32_t unit);

  std::string& m_out;
  bool m_stopped = false;
  int m_carry = -1;       // the first byte of a unit split between pieces
  uint32_t m_high = 0;    // a high surrogate waiting for its low half
};

// windows-1252 text handed over in pieces, appended to `out` as UTF-8 and
// stopping at the first NUL.
class Cp1252Decoder {
 public:
  explicit Cp1252Decoder(std::string& out) : m_out(out) {}
  void Feed(const uint8_t* data, size_t size);

 private:
  std::string& m_out;
  bool m_stopped = false;
};
// The code pages an ANSI file's store may name that are read as such
// (874, 932, 936, 949, 950, 1250 to 1258, 20127); any other reads as 1252.
bool IsKnownCodePage(int codepage);
// 8-bit text in a Windows code page to UTF-8, stopping at the first NUL.
// Code pages other than 1252 go through iconv; one it lacks reads as 1252.
std::string CodePageToUtf8(const uint8_t* data, size_t size, int codepage);

}  // namespace quillmere::store::fast
