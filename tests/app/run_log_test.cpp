#include "app/run_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "app/utf.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Utf16Le(std::u16string_view text) {
  std::string out;
  for (char16_t u : text) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

class RunLogTest : public testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("quillmere-log-" + std::to_string(::getpid()) + "-" +
                                         testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(m_dir, fs::perms::owner_all, ec);
    fs::remove_all(m_dir, ec);
  }
  fs::path m_dir;
};

TEST_F(RunLogTest, FreshLogHoldsExactlyTheHeader) {
  RunLog log;
  const std::string path = RunLog::MakePath((m_dir / "Desktop").string(), {2024, 12, 9, 4, 5, 6});
  ASSERT_TRUE(log.Create(path));  // the missing desktop folder is created
  const std::string bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 308u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(bytes.substr(2), Utf16Le(std::u16string(149, u'*') + u"\r\n\r\n"));
}

TEST_F(RunLogTest, NamesAndPaths) {
  EXPECT_EQ(RunLog::MakeFileName({2024, 12, 9, 4, 5, 6}), "VelmoraQuillmere_log_9-12-2024-4-5-6.txt");
  EXPECT_EQ(RunLog::MakeFileName({2026, 1, 31, 23, 59, 0}), "VelmoraQuillmere_log_31-1-2026-23-59-0.txt");
  EXPECT_EQ(RunLog::MakePath("/home/u/Desktop", {2024, 1, 2, 3, 4, 5}),
            "/home/u/Desktop/VelmoraQuillmere_log_2-1-2024-3-4-5.txt");
  EXPECT_EQ(RunLog::MakePath("/home/u/Desktop/", {2024, 1, 2, 3, 4, 5}),
            "/home/u/Desktop/VelmoraQuillmere_log_2-1-2024-3-4-5.txt");
}

TEST_F(RunLogTest, LinesAreUtf16WithCrLfAndKeepTabs) {
  RunLog log;
  const std::string path = (m_dir / "log.txt").string();
  ASSERT_TRUE(log.Create(path));
  log.WriteLogLine("Total number of files: [2]");
  log.WriteLogLine("");
  log.WriteLogLine("Total size of duplicate items found in PST:\t1 kb");
  log.WriteLogLine("\\\\Demo\\收件箱 folder is processing....");
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.substr(308), Utf16Le(u"Total number of files: [2]\r\n\r\n"
                                       u"Total size of duplicate items found in PST:\t1 kb\r\n"
                                       u"\\\\Demo\\收件箱 folder is processing....\r\n"));
}

TEST_F(RunLogTest, AnExistingLogOfTheSameNameIsReplaced) {
  fs::create_directories(m_dir);
  const std::string path = (m_dir / "log.txt").string();
  std::ofstream(path) << std::string(5000, 'x');
  RunLog log;
  ASSERT_TRUE(log.Create(path));
  EXPECT_EQ(fs::file_size(path), 308u);
}

TEST_F(RunLogTest, AFolderThatCannotBeWrittenLeavesTheLogClosedAndThePathKnown) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere; the refusal cannot be shown";
  fs::create_directories(m_dir);
  fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
  RunLog log;
  const std::string path = (m_dir / "log.txt").string();
  EXPECT_FALSE(log.Create(path));
  EXPECT_FALSE(log.IsOpen());
  EXPECT_EQ(log.Path(), path);
  log.WriteLogLine("goes nowhere");  // and does no harm
}

TEST_F(RunLogTest, AFileInPlaceOfTheFolderLeavesTheLogClosed) {
  fs::create_directories(m_dir);
  std::ofstream(m_dir / "Desktop") << "a file, not a folder";
  RunLog log;
  const std::string path = (m_dir / "Desktop" / "log.txt").string();
  EXPECT_FALSE(log.Create(path));
  EXPECT_EQ(log.Path(), path);
  log.WriteLogLine("goes nowhere");
}

TEST_F(RunLogTest, LinesFromTwoThreadsNeverInterleave) {
  RunLog log;
  const std::string path = (m_dir / "log.txt").string();
  ASSERT_TRUE(log.Create(path));
  const std::string a = "Total number of emails in folder: 1234567890 from the first thread";
  const std::string b = "\\\\Quillmere Demo\\Top of Personal Folders\\Inbox folder is processing....";
  auto writer = [&log](const std::string& line) {
    for (int i = 0; i < 2000; ++i) log.WriteLogLine(line);
  };
  std::thread t1(writer, a), t2(writer, b);
  t1.join();
  t2.join();
  const std::string bytes = ReadBytes(path).substr(308);
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  std::multiset<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2)
    lines.insert(Utf16ToUtf8(text.substr(start, end - start)));
  EXPECT_EQ(start, text.size());
  EXPECT_EQ(lines.count(a), 2000u);
  EXPECT_EQ(lines.count(b), 2000u);
  EXPECT_EQ(lines.size(), 4000u);
}

}  // namespace
}  // namespace quillmere
