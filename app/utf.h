#pragma once
// UTF-8 is the text form inside the program; UTF-16 is what the log file
// and the PST format hold.
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

}  // namespace quillmere
