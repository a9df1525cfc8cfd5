#pragma once
// UTF-8 is the text form inside the program; UTF-16 is what the log file
// and the PST format hold.
#include <cstddef>
#include <string>
#include <string_view>

namespace quillmere {

// Malformed input becomes U+FFFD, never an exception.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Removes leading and trailing white space as the C library's wide-character
// classification sees it (blank, tab, line breaks and the Unicode spaces).
std::string_view TrimWhiteSpace(std::string_view text);
bool IsWideSpace(char32_t c);
// Replaces malformed UTF-8 sequences with U+FFFD.
std::string SanitizeUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);
bool IsValidUtf8(const unsigned char* data, size_t size);
// The character of a windows-1252 byte; the five bytes the code page leaves
// undefined give U+FFFD.
char32_t Cp1252CodePoint(unsigned char byte);
// Bytes that may be text (an HTML body): trailing NULs dropped, then kept as
// they are when they are valid UTF-8, otherwise read as windows-1252.
std::string BytesAsText(const unsigned char* data, size_t size);

}  // namespace quillmere
