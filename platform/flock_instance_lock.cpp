#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "platform/instance_lock.h"

namespace quillmere::platform {
namespace {

std::string DefaultLockFolder() {
  for (const char* var : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* value = std::getenv(var);
    if (value && *value) return value;
  }
  return "/tmp";
}

}  // namespace

FlockInstanceLock::FlockInstanceLock(std::string name, std::string folder) {
  if (folder.empty()) folder = DefaultLockFolder();
  if (folder.back() != '/') folder += '/';
  m_filePath = folder + FileNameFor(name);
}

FlockInstanceLock::~FlockInstanceLock() {
  if (m_fd >= 0) ::close(m_fd);
}

std::string FlockInstanceLock::FileNameFor(const std::string& name) {
  std::string out;
  for (unsigned char c : name)
    out += (std::isalnum(c) || c == '{' || c == '}' || c == '.' || c == '-') ? char(c) : '_';
  return out + ".lock";
}

LockResult FlockInstanceLock::Acquire() {
  if (m_fd >= 0) return LockResult::Acquired;
  // O_CLOEXEC: a program started from here (a browser) must not inherit the lock.
  int fd = ::open(m_filePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return LockResult::Failed;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    return err == EWOULDBLOCK ? LockResult::AlreadyRunning : LockResult::Failed;
  }
  m_fd = fd;
  return LockResult::Acquired;
}

}  // namespace quillmere::platform
