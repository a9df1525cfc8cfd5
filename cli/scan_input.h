#pragma once
// Checks made on a file named on the command line before any PST reading.
#include <optional>
#include <string>

namespace quillmere::cli {

// Why the file cannot be read ("No such file or directory", "is a
// directory", "Permission denied", ...); none when it is a readable file.
std::optional<std::string> WhyFileUnreadable(const std::string& path);

}  // namespace quillmere::cli
