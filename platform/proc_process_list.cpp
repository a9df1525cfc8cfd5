#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/process_list.h"

namespace quillmere::platform {
namespace {

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsPidName(const std::string& name) {
  if (name.empty() || name.size() > 9) return false;
  for (char c : name)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::string CommandBaseName(const std::string& argv0) {
  const auto cut = argv0.find_last_of("/\\");
  return cut == std::string::npos ? argv0 : argv0.substr(cut + 1);
}

std::optional<std::vector<int>> ProcProcessList::ListProcessIds() {
  std::error_code ec;
  std::filesystem::directory_iterator it(m_procRoot, ec), end;
  if (ec) return std::nullopt;
  std::vector<int> pids;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    if (IsPidName(name)) pids.push_back(std::stoi(name));
  }
  return pids;
}

std::optional<std::string> ProcProcessList::BaseName(int pid) {
  const std::string dir = m_procRoot + "/" + std::to_string(pid);
  if (auto cmdline = ReadFile(dir + "/cmdline"); cmdline && !cmdline->empty()) {
    // argv[0] ends at the first NUL.
    const std::string argv0 = cmdline->substr(0, cmdline->find('\0'));
    std::string base = CommandBaseName(argv0);
    if (!base.empty()) return base;
  }
  if (auto comm = ReadFile(dir + "/comm"); comm && !comm->empty()) {
    if (comm->back() == '\n') comm->pop_back();
    if (!comm->empty()) return *comm;
  }
  return std::nullopt;
}

void SignalProcessKiller::Kill(int pid) {
  // Never a group or every process: only one real process id.
  if (pid > 0) ::kill(pid, SIGKILL);
}

}  // namespace quillmere::platform
