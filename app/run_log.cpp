#include "app/run_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/utf.h"

namespace quillmere {
namespace {

void AppendUtf16Le(std::string& out, std::u16string_view text) {
  for (char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

RunLog::~RunLog() {
  if (m_fd >= 0) ::close(m_fd);
}

std::string RunLog::MakeFileName(const CivilDateTime& now) {
  char name[96];
  std::snprintf(name, sizeof name, "VelmoraQuillmere_log_%d-%d-%d-%d-%d-%d.txt", now.day, now.month,
                now.year, now.hour, now.minute, now.second);
  return name;
}

std::string RunLog::MakePath(const std::string& folder, const CivilDateTime& now) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  return path + MakeFileName(now);
}

bool RunLog::Create(const std::string& path) {
  std::lock_guard lock(m_mutex);
  m_path = path;
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
  std::error_code ec;
  const auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // No other instance may write the same log while this one runs.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  std::string header("\xFF\xFE", 2);
  AppendUtf16Le(header, std::u16string(149, u'*') + u"\r\n\r\n");
  if (!WriteAll(fd, header)) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  return true;
}

void RunLog::WriteLogLine(std::string_view utf8Text) {
  std::string bytes;
  bytes.reserve(utf8Text.size() * 2 + 4);
  AppendUtf16Le(bytes, Utf8ToUtf16(utf8Text));
  AppendUtf16Le(bytes, u"\r\n");
  std::lock_guard lock(m_mutex);
  if (m_fd < 0) return;
  WriteAll(m_fd, bytes);
}

}  // namespace quillmere
