#pragma once
// Fakes of every platform port, sharing one journal so that a test can read
// what the user was shown and what the program did, in order.
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/instance_lock.h"
#include "platform/ports.h"
#include "tests/fakes/fake_clock.h"

namespace quillmere::fakes {

// "ask: <text>", "open: <url>", "kill: <pid>", "exit: <status>", in order.
class Journal {
 public:
  void Add(std::string event) {
    std::lock_guard lock(m_mutex);
    m_events.push_back(std::move(event));
  }
  std::vector<std::string> Events() const {
    std::lock_guard lock(m_mutex);
    return m_events;
  }
  void Clear() {
    std::lock_guard lock(m_mutex);
    m_events.clear();
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<std::string> m_events;
};

// Answers questions from a script (No once the script is used up), or
// through a responder that can act in the middle of a box, as a user would.
class FakePrompter final : public platform::Prompter {
 public:
  explicit FakePrompter(Journal& journal) : m_journal(journal) {}

  platform::PromptAnswer Ask(const platform::Prompt& prompt) override {
    {
      std::lock_guard lock(m_mutex);
      m_asked.push_back(prompt);
    }
    m_journal.Add("ask: " + prompt.text);
    // A copy, so that a responder may replace itself while it answers.
    if (auto respond = responder) {
      if (auto answer = respond(prompt)) return *answer;
    }
    if (prompt.buttons == platform::PromptButtons::Ok) return platform::PromptAnswer::Ok;
    std::lock_guard lock(m_mutex);
    if (answers.empty()) return platform::PromptAnswer::No;
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<platform::Prompt> Asked() const {
    std::lock_guard lock(m_mutex);
    return m_asked;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& p : Asked()) texts.push_back(p.text);
    return texts;
  }
  void Clear() {
    std::lock_guard lock(m_mutex);
    m_asked.clear();
  }

  std::deque<platform::PromptAnswer> answers;
  // Return an answer to take over, nullopt to fall back to the script.
  std::function<std::optional<platform::PromptAnswer>(const platform::Prompt&)> responder;

 private:
  Journal& m_journal;
  mutable std::mutex m_mutex;
  std::vector<platform::Prompt> m_asked;
};

// Cancels unless a test has queued an answer.
class FakeFileDialogs final : public platform::FileDialogs {
 public:
  std::optional<std::vector<std::string>> OpenFiles(const platform::OpenFilesRequest& request) override {
    openRequests.push_back(request);
    if (openAnswers.empty()) return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
  }
  std::optional<std::string> BrowseFolder(const platform::BrowseFolderRequest& request) override {
    folderRequests.push_back(request);
    if (folderAnswers.empty()) return std::nullopt;
    auto answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
  }

  std::deque<std::optional<std::vector<std::string>>> openAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::vector<platform::OpenFilesRequest> openRequests;
  std::vector<platform::BrowseFolderRequest> folderRequests;
};

class FakeDesktopFolder final : public platform::DesktopFolder {
 public:
  std::string Path() override {
    if (!path.empty()) {
      std::error_code ec;
      std::filesystem::create_directories(path, ec);
    }
    return path;
  }
  std::string path;
};

class FakeInstanceLock final : public platform::InstanceLock {
 public:
  explicit FakeInstanceLock(platform::LockResult result = platform::LockResult::Acquired)
      : result(result) {}
  platform::LockResult Acquire() override {
    ++calls;
    return result;
  }
  platform::LockResult result;
  int calls = 0;
};

class FakeProcessList final : public platform::ProcessList {
 public:
  struct Process {
    int pid;
    std::optional<std::string> name;  // nullopt: the name cannot be read
  };
  std::optional<std::vector<int>> ListProcessIds() override {
    if (failList) return std::nullopt;
    std::vector<int> pids;
    for (const auto& p : processes) pids.push_back(p.pid);
    return pids;
  }
  std::optional<std::string> BaseName(int pid) override {
    namesAsked.push_back(pid);
    for (const auto& p : processes)
      if (p.pid == pid) return p.name;
    return std::nullopt;
  }
  std::vector<Process> processes;
  bool failList = false;
  std::vector<int> namesAsked;
};

class FakeProcessKiller final : public platform::ProcessKiller {
 public:
  explicit FakeProcessKiller(Journal& journal) : m_journal(journal) {}
  void Kill(int pid) override {
    killed.push_back(pid);
    m_journal.Add("kill: " + std::to_string(pid));
  }
  std::vector<int> killed;

 private:
  Journal& m_journal;
};

class FakeUrlOpener final : public platform::UrlOpener {
 public:
  explicit FakeUrlOpener(Journal& journal) : m_journal(journal) {}
  bool Open(const std::string& url, const void*) override {
    opened.push_back(url);
    m_journal.Add("open: " + url);
    return succeed;
  }
  std::vector<std::string> opened;
  bool succeed = true;

 private:
  Journal& m_journal;
};

// Records the status and returns, so the test goes on after the close flow.
class FakeProcessExit final : public platform::ProcessExit {
 public:
  explicit FakeProcessExit(Journal& journal) : m_journal(journal) {}
  void Exit(int status) override {
    exitStatus = status;
    m_journal.Add("exit: " + std::to_string(status));
  }
  std::optional<int> exitStatus;

 private:
  Journal& m_journal;
};

struct FakePorts {
  Journal journal;
  FakePrompter prompter{journal};
  FakeFileDialogs fileDialogs;
  FakeDesktopFolder desktopFolder;
  FakeClock clock;
  FakeProcessList processList;
  FakeProcessKiller processKiller{journal};
  FakeUrlOpener urlOpener{journal};
  FakeProcessExit processExit{journal};

  platform::Ports Ports() {
    return {&prompter, &fileDialogs, &desktopFolder, &clock, &processList, &processKiller, &urlOpener,
            &processExit};
  }
};

}  // namespace quillmere::fakes
