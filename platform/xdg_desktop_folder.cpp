#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/desktop_folder.h"

namespace quillmere::platform {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

}  // namespace

std::string ResolveXdgDesktopPath(const std::string& home, const std::string& userDirsText) {
  std::istringstream lines(userDirsText);
  std::string line;
  std::string found;
  while (std::getline(lines, line)) {
    const std::string key = "XDG_DESKTOP_DIR=";
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
      value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) {
      value = home + value.substr(5);
    } else if (value.empty() || value.front() != '/') {
      continue;  // only absolute paths or paths under $HOME are valid
    }
    found = value;  // the last valid line wins
  }
  if (!found.empty()) return found;
  return home.empty() ? std::string() : home + "/Desktop";
}

std::string XdgDesktopFolder::Path() {
  const std::string home = Env("HOME");
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty() && !home.empty()) config = home + "/.config";
  const std::string text = config.empty() ? "" : ReadFile(config + "/user-dirs.dirs");
  const std::string path = ResolveXdgDesktopPath(home, text);
  if (!path.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
  }
  return path;
}

}  // namespace quillmere::platform
