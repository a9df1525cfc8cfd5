#pragma once
// Helpers of the PST tests: a temporary folder, running the independent
// readers, and what they saw of a file.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace quillmere::pst::test_support {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "qm-pst-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

struct CommandResult {
  int status = -1;
  std::string output;  // stdout and stderr together
};

inline std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline CommandResult RunCommand(const std::string& command) {
  CommandResult r;
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.output.append(buf.data(), n);
  const int status = ::pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline bool HasTool(const char* path) { return path && *path && fs::exists(path); }

inline std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Folder path (below "Top of Personal Folders", '/'-joined) to item count,
// as pffexport's export tree shows it.
inline std::map<std::string, int> PffexportCounts(const fs::path& exportRoot) {
  std::map<std::string, int> counts;
  const fs::path top = exportRoot / "Top of Personal Folders";
  const std::regex item("^(Message|Appointment|Contact|Task|Note|Meeting|Activity|Document|DistributionList)[0-9]{5}$");
  if (!fs::exists(top)) return counts;
  for (auto it = fs::recursive_directory_iterator(top); it != fs::recursive_directory_iterator(); ++it) {
    if (!it->is_directory()) continue;
    const std::string name = it->path().filename().string();
    if (std::regex_match(name, item)) {
      ++counts[fs::relative(it->path().parent_path(), top).generic_string()];
      it.disable_recursion_pending();
    } else {
      counts.emplace(fs::relative(it->path(), top).generic_string(), 0);
    }
  }
  return counts;
}

// Folder path below the store's top folder to message count, from
// readpst's recursive mbox tree (folders without messages are left out).
inline std::map<std::string, int> ReadpstCounts(const fs::path& outDir) {
  std::map<std::string, int> counts;
  for (const auto& top : fs::directory_iterator(outDir)) {
    if (!top.is_directory()) continue;
    for (const auto& e : fs::recursive_directory_iterator(top.path())) {
      if (!e.is_regular_file() || e.path().filename() != "mbox") continue;
      std::istringstream in(ReadText(e.path()));
      int n = 0;
      for (std::string line; std::getline(in, line);)
        if (line.rfind("From ", 0) == 0) ++n;
      if (n) counts[fs::relative(e.path().parent_path(), top.path()).generic_string()] = n;
    }
  }
  return counts;
}

}  // namespace quillmere::pst::test_support
