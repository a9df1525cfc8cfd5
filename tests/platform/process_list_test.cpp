// Process listing over /proc (a made tree and the real one), and ending a
// real process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/process_list.h"

namespace fs = std::filesystem;
using quillmere::platform::CommandBaseName;
using quillmere::platform::ProcProcessList;
using quillmere::platform::SignalProcessKiller;

namespace {

struct NameCase {
  const char* label;
  std::string cmdline;  // empty: no cmdline file content
  std::string comm;     // empty: no comm file
  std::optional<std::string> expected;
};

class ProcTreeTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProcTreeTest, BaseNameComesFromArgvZeroThenComm) {
  const auto& c = GetParam();
  const fs::path root = fs::temp_directory_path() / ("quillmere-proc-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "4711");
  std::ofstream(root / "4711" / "cmdline", std::ios::binary) << c.cmdline;
  if (!c.comm.empty()) std::ofstream(root / "4711" / "comm") << c.comm;
  ProcProcessList list(root.string());
  EXPECT_EQ(list.BaseName(4711), c.expected) << c.label;
  EXPECT_EQ(list.BaseName(4712), std::nullopt);
  fs::remove_all(root);
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Names, ProcTreeTest,
    ::testing::Values(
        NameCase{"wine style path", "C:\\Program Files\\Microsoft Office\\root\\Office16\\OUTLOOK.EXE\0/safemode\0"s,
                 "OUTLOOK.EXE\n", "OUTLOOK.EXE"},
        NameCase{"unix path", "/usr/bin/thunderbird\0-P\0"s, "thunderbird\n", "thunderbird"},
        NameCase{"bare name", "outlook.exe\0"s, "", "outlook.exe"},
        NameCase{"kernel thread: comm only", "", "kworker/0:1\n", "kworker/0:1"},
        NameCase{"argv0 ending in a separator falls back to comm", "/opt/odd/\0"s, "odd\n", "odd"},
        NameCase{"nothing readable", "", "", std::nullopt}),
    [](const auto& info) {
      std::string name = info.param.label;
      std::replace_if(name.begin(), name.end(), [](char ch) { return !std::isalnum((unsigned char)ch); }, '_');
      return name;
    });

TEST(ProcProcessList, ListsOnlyNumericEntries) {
  const fs::path root = fs::temp_directory_path() / ("quillmere-proc-list-" + std::to_string(getpid()));
  fs::remove_all(root);
  for (const char* entry : {"1", "250", "self", "net", "12a", "99999"}) fs::create_directories(root / entry);
  auto pids = ProcProcessList(root.string()).ListProcessIds();
  ASSERT_TRUE(pids);
  std::sort(pids->begin(), pids->end());
  EXPECT_EQ(*pids, (std::vector<int>{1, 250, 99999}));
  EXPECT_EQ(ProcProcessList((root / "missing").string()).ListProcessIds(), std::nullopt);
  fs::remove_all(root);
}

TEST(CommandBaseName, SplitsAtBothSeparators) {
  EXPECT_EQ(CommandBaseName("C:\\a\\b/OUTLOOK.EXE"), "OUTLOOK.EXE");
  EXPECT_EQ(CommandBaseName("/a/b\\c"), "c");
  EXPECT_EQ(CommandBaseName("plain"), "plain");
}

// A real process started under a Windows-style name is seen by that name in
// /proc and ends with SIGKILL.
TEST(RealProcess, IsListedByItsWindowsNameAndKilled) {
  const pid_t child = fork();
  if (child == 0) {
    char argv0[] = "C:\\Program Files\\Office\\OUTLOOK.EXE";
    char seconds[] = "30";
    char* argv[] = {argv0, seconds, nullptr};
    execv("/bin/sleep", argv);
    _exit(127);
  }
  ASSERT_GT(child, 0);
  ProcProcessList list;
  std::optional<std::string> name;
  for (int i = 0; i < 200 && name != "OUTLOOK.EXE"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    name = list.BaseName(child);
  }
  EXPECT_EQ(name, "OUTLOOK.EXE");
  const auto pids = list.ListProcessIds();
  ASSERT_TRUE(pids);
  EXPECT_NE(std::find(pids->begin(), pids->end(), child), pids->end());

  SignalProcessKiller().Kill(child);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

}  // namespace
