#pragma once
#include <string>

namespace quillmere {

// The size in bytes of a file as decimal digits; empty when there is no such entry.
std::string GetFileSizeText(const std::string& path);

}  // namespace quillmere
