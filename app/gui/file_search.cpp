#include "app/gui/file_search.h"

#include <filesystem>

namespace quillmere::gui {
namespace fs = std::filesystem;
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

bool HasExtension(const std::string& path, const std::string& extension) {
  const auto slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash);
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  return EqualIgnoringCase(name.substr(dot + 1), extension);
}

std::string RepairSelectedPath(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path)
    if (c != '/' || out.empty() || out.back() != '/') out += c;
  return out;
}

void SearchFolder(const std::string& folder, const std::string& extension, const std::atomic<int>& running,
                  const std::function<void(const std::string&)>& onMatch) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return;
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec || running.load() != 1) return;
    const std::string name = it->path().filename().string();
    const std::string path = Join(folder, name);
    std::error_code statusError;
    const auto own = it->symlink_status(statusError);
    if (statusError) continue;
    if (fs::is_directory(own)) {
      SearchFolder(path, extension, running, onMatch);
      continue;
    }
    // A link to a folder is neither searched nor a file.
    if (fs::is_symlink(own) && fs::is_directory(it->status(statusError))) continue;
    if (HasExtension(path, extension)) onMatch(path);
  }
}

}  // namespace quillmere::gui
