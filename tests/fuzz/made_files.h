#pragma once
// Small PST files made by our writer, for seeds and damage tests: both
// formats and the 4 KB-page offline format, nested folders, duplicates,
// every field the criteria read.
#include <string>
#include <vector>

namespace quillmere::fuzz {

// Writes the made files into `folder` (which must exist); gives their paths.
std::vector<std::string> WriteMadeFiles(const std::string& folder);

}  // namespace quillmere::fuzz
