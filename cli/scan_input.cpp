#include "cli/scan_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillmere::cli {

std::optional<std::string> WhyFileUnreadable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::string(std::strerror(errno));
  if (S_ISDIR(info.st_mode)) return std::string("is a directory");
  if (!S_ISREG(info.st_mode)) return std::string("not a regular file");
  // O_NONBLOCK: never wait on a file that stands for a device or a pipe.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::string(std::strerror(errno));
  ::close(fd);
  return std::nullopt;
}

}  // namespace quillmere::cli
