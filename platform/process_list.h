#pragma once
// Running processes and ending one, as ports.
#include <optional>
#include <string>
#include <vector>

namespace quillmere::platform {

class ProcessList {
 public:
  virtual ~ProcessList() = default;
  // The identifiers of the running processes in the system's order;
  // nullopt when the system cannot list them.
  virtual std::optional<std::vector<int>> ListProcessIds() = 0;
  // The base name of the process's executable; nullopt when it cannot be
  // read (the process ended, or it belongs to someone else).
  virtual std::optional<std::string> BaseName(int pid) = 0;
};

// Over /proc: every numeric entry; the base name is the last component of
// argv[0] (split at "/" and "\", so a program run under Wine shows its
// Windows name), else the kernel's short name from /proc/PID/comm.
class ProcProcessList final : public ProcessList {
 public:
  explicit ProcProcessList(std::string procRoot = "/proc") : m_procRoot(std::move(procRoot)) {}
  std::optional<std::vector<int>> ListProcessIds() override;
  std::optional<std::string> BaseName(int pid) override;

 private:
  std::string m_procRoot;
};

// The last component of a command's first word, split at "/" and "\".
std::string CommandBaseName(const std::string& argv0);

class ProcessKiller {
 public:
  virtual ~ProcessKiller() = default;
  // Ends the process at once. Never waits; failures are not reported.
  virtual void Kill(int pid) = 0;
};

// SIGKILL, no shell.
class SignalProcessKiller final : public ProcessKiller {
 public:
  void Kill(int pid) override;
};

}  // namespace quillmere::platform
