// The desktop folder from the XDG user folders, and the immediate exit.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/desktop_folder.h"
#include "platform/process_exit.h"

namespace fs = std::filesystem;
using quillmere::platform::ResolveXdgDesktopPath;

namespace {

struct DesktopCase {
  const char* label;
  std::string userDirs;
  std::string expected;
};

class XdgDesktopPathTest : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(XdgDesktopPathTest, Resolves) {
  EXPECT_EQ(ResolveXdgDesktopPath("/home/ann", GetParam().userDirs), GetParam().expected) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    UserDirs, XdgDesktopPathTest,
    ::testing::Values(
        DesktopCase{"no file", "", "/home/ann/Desktop"},
        DesktopCase{"under home", "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n",
                    "/home/ann/Schreibtisch"},
        DesktopCase{"absolute", "XDG_DESKTOP_DIR=\"/data/desk\"\n", "/data/desk"},
        DesktopCase{"relative is not valid", "XDG_DESKTOP_DIR=\"desk\"\n", "/home/ann/Desktop"},
        DesktopCase{"commented out", "#XDG_DESKTOP_DIR=\"/data/desk\"\n", "/home/ann/Desktop"},
        DesktopCase{"CR LF line ends", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\r\n", "/home/ann/Bureau"}));

TEST(XdgDesktopFolder, CreatesTheFolderWhenMissing) {
  const fs::path home = fs::temp_directory_path() / ("quillmere-home-" + std::to_string(getpid()));
  fs::remove_all(home);
  fs::create_directories(home / "config");
  std::ofstream(home / "config" / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/My Desk\"\n";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  EXPECT_EQ(quillmere::platform::XdgDesktopFolder().Path(), (home / "My Desk").string());
  EXPECT_TRUE(fs::is_directory(home / "My Desk"));
  fs::remove_all(home);
}

// Ends with status 255 and runs no clean-up: buffered output is dropped.
TEST(ImmediateProcessExit, EndsWithStatus255WithoutCleanUp) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    dup2(out[1], STDOUT_FILENO);
    std::fputs("never flushed", stdout);
    quillmere::platform::ImmediateProcessExit().Exit(-1);
  }
  close(out[1]);
  char buffer[32];
  EXPECT_EQ(read(out[0], buffer, sizeof buffer), 0);
  close(out[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 255);
}

}  // namespace
