#include "cli/scan_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/fast/fast_store.h"
#include "store/libpff/libpff_store.h"

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

ReaderSessions::ReaderSessions(const std::string& readerName)
    : m_libpff(std::make_unique<store::LibpffSessionFactory>()) {
  if (readerName == "libpff") return;
  m_factory = std::make_unique<store::FastWithFallbackSessionFactory>(
      *m_libpff, [this](const std::string& path, const std::string& reason) {
        if (!m_noticed.insert(path).second) return;
        std::fprintf(stderr, "quillmere-cli: %s: the fast reader cannot read this file (%s); reading it through libpff\n",
                     path.c_str(), reason.c_str());
      });
}

ReaderSessions::~ReaderSessions() = default;

}  // namespace quillmere::cli
