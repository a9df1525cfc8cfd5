#include "app/file_size_text.h"

#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>

namespace quillmere {

std::string GetFileSizeText(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%" PRId64, static_cast<int64_t>(st.st_size));
  return text;
}

}  // namespace quillmere
