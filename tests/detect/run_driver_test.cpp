#include "detect/run_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/run_log.h"
#include "app/utf.h"
#include "detect/report.h"
#include "tests/detect/run_fixture.h"

namespace quillmere::detect {
namespace {

using namespace quillmere::testing_support;
using Lines = std::vector<std::string>;
const ComparisonCriteria kDefaults = Criteria(
    {&ComparisonCriteria::subject, &ComparisonCriteria::senderEmail, &ComparisonCriteria::attachments});

TEST(RunDriverTest, TheWholeReportOfARunInOrder) {
  RecordedRun run;
  // Three equal items (two duplicates, the second and third sizes counted),
  // one that differs only by blanks around the subject, one by letter case.
  run.sessions.AddFile(kFile, Mailbox({Mail("Report", "a@example.com", 600, 3), Mail("  Report\t", "a@example.com", 500),
                                       Mail("report", "a@example.com", 700)},
                                      {Mail("Report", "a@example.com", 900)}));
  ASSERT_EQ(run.Run(run.OneFile({kInbox, kArchive}, 1, kDefaults)), RunEnd::kCompleted);
  const Lines expected = {
      "Duplicate Removing process starts:   Mar-06-2024_02-05-09-PM)",
      "/mail/a.pst is processing.",
      "File Size(Bytes):  271360",
      "Total number of folders found in source pst file: 2",
      std::string(kInbox) + " folder is processing....",
      "Total number of emails in folder: 5",
      "Number of duplicate items found: 3",
      "Size of duplicate items found in Folder: 1 kb",  // 600 + 600 + 500
      std::string(kArchive) + " folder is processing....",
      "Total number of emails in folder: 1",
      "Number of duplicate items found: 0",
      "Size of duplicate items found in Folder: 0 (bytes)",
      "Total number of duplicate items found in PST:\t3",
      "Total size of duplicate items found in PST:\t1 kb",
      "Quillmere process completed successfully.",
  };
  EXPECT_EQ(run.sink.lines, expected);
  EXPECT_EQ(run.sink.messages, Lines{"Quillmere process completed successfully."});
  EXPECT_EQ(run.totals.duplicateSize, 1700u);
  EXPECT_EQ(run.running.load(), 0);
  EXPECT_FALSE(run.sink.progressVisible);
  EXPECT_TRUE(run.sink.buttons.runTaskEnabled && run.sink.buttons.backEnabled && !run.sink.buttons.stopVisible);
}

struct ScopeCase {
  int32_t scope;
  uint64_t duplicates;
};
void PrintTo(const ScopeCase& c, std::ostream* os) { *os << "scope " << c.scope; }

class ScopeTest : public testing::TestWithParam<ScopeCase> {};

TEST_P(ScopeTest, EqualItemsInTwoFoldersAreDuplicatesOnlyAcrossTheFile) {
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("Same")}, {Mail("Same")}));
  run.Run(run.OneFile({kInbox, kArchive}, GetParam().scope, kDefaults));
  EXPECT_EQ(run.totals.duplicates, GetParam().duplicates);
}

INSTANTIATE_TEST_SUITE_P(Scopes, ScopeTest,
                         testing::Values(ScopeCase{1, 0}, ScopeCase{2, 1}, ScopeCase{0, 1}, ScopeCase{7, 1}));

TEST(RunDriverTest, AnEmptySelectionReportsZeroTotals) {
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("x", "a", 1, 2)}));
  run.Run(run.OneFile({}, 1, kDefaults));
  const Lines expected = {"/mail/a.pst is processing.", "File Size(Bytes):  271360",
                          "Total number of folders found in source pst file: 0",
                          "Total number of duplicate items found in PST:\t0",
                          "Total size of duplicate items found in PST:\t0 (bytes)",
                          "Quillmere process completed successfully."};
  EXPECT_EQ(run.LinesAfterStart(), expected);
}

TEST(RunDriverTest, MissingAndEmptyFoldersLeaveOnlyTheirProcessingLine) {
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("x")}));
  const std::string gone = "\\\\Mail\\Top of Personal Folders\\Gone";
  run.Run(run.OneFile({gone, kArchive, kInbox}, 1, kDefaults));
  const Lines expected = {gone + " folder is processing....",
                          std::string(kArchive) + " folder is processing....",
                          std::string(kInbox) + " folder is processing....",
                          "Total number of emails in folder: 1"};
  EXPECT_EQ(Lines(run.sink.lines.begin() + 4, run.sink.lines.begin() + 8), expected);
  ASSERT_EQ(run.sink.folders.size(), 3u);
  EXPECT_FALSE(run.sink.folders[0].reached);
  EXPECT_TRUE(run.sink.folders[1].reached && run.sink.folders[1].completed);
}

TEST(RunDriverTest, StopDuringAFolderKeepsItsSummaryAndDropsLaterFolders) {
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("a", "s", 10, 3), Mail("b"), Mail("c")}, {Mail("z")}));
  // Stop once the third item has been examined.
  run.sink.onProgress = [&](int64_t position) {
    if (position == 3) run.running = 0;
  };
  run.Run(run.OneFile({kInbox, kArchive}, 1, kDefaults));
  const Lines expected = {std::string(kInbox) + " folder is processing....",
                          "Total number of emails in folder: 5",
                          "Number of duplicate items found: 2",
                          "Size of duplicate items found in Folder: 20 (bytes)",
                          "Total number of duplicate items found in PST:\t2",
                          "Total size of duplicate items found in PST:\t20 (bytes)",
                          "Quillmere process completed successfully."};
  EXPECT_EQ(Lines(run.sink.lines.begin() + 4, run.sink.lines.end()), expected);
  EXPECT_TRUE(run.totals.stopped);
  EXPECT_EQ(run.sink.folders.at(0).itemsRead, 3);
}

TEST(RunDriverTest, AStopWhileTheFileOpensEndsTheRunAtTheFirstCheck) {
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("a", "s", 10, 2)}));
  run.sink.onFileStart = [&] { run.running = 0; };
  run.Run(run.OneFile({kInbox}, 1, kDefaults));
  const Lines expected = {"/mail/a.pst is processing.", "File Size(Bytes):  271360",
                          "Total number of folders found in source pst file: 1",
                          "Total number of duplicate items found in PST:\t0",
                          "Total size of duplicate items found in PST:\t0 (bytes)",
                          "Quillmere process completed successfully."};
  EXPECT_EQ(run.LinesAfterStart(), expected);
}

TEST(RunDriverTest, AnErrorInsideAFolderDropsItsSummaryAndTheNextFolderIsScanned) {
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("dup", "s", 10, 2), Mail("Broken"), Mail("after")},
                                      {Mail("x", "s", 10, 2)}));
  run.sessions.Faults().Fail("GetSubject", store::FaultPlan::Mode::kAlways, "Broken");
  run.Run(run.OneFile({kInbox, kArchive}, 1, kDefaults));
  const Lines expected = {std::string(kInbox) + " folder is processing....",
                          "Total number of emails in folder: 4",
                          std::string(kArchive) + " folder is processing....",
                          "Total number of emails in folder: 2",
                          "Number of duplicate items found: 1",
                          "Size of duplicate items found in Folder: 10 (bytes)",
                          "Total number of duplicate items found in PST:\t1",
                          "Total size of duplicate items found in PST:\t10 (bytes)",
                          "Quillmere process completed successfully."};
  EXPECT_EQ(Lines(run.sink.lines.begin() + 4, run.sink.lines.end()), expected);
  const FolderOutcome& inbox = run.sink.folders.at(0);
  EXPECT_FALSE(inbox.completed);
  EXPECT_EQ(inbox.itemsRead, 3);     // the two "dup" and "Broken" were obtained
  EXPECT_EQ(inbox.itemsSkipped, 1);  // "after" was never read
}

TEST(RunDriverTest, StartFailuresEndTheRunWithTheirTextsInOrder) {
  {
    RecordedRun run;
    run.sessions.Faults().Fail("CreateStoreSession", store::FaultPlan::Mode::kAlways);
    EXPECT_EQ(run.Run(run.OneFile({kInbox}, 1, kDefaults)), RunEnd::kNoSession);
    EXPECT_EQ(run.sink.lines, Lines{"Please register redemption.dll to continue the saving process."});
    EXPECT_EQ(run.sink.messages, run.sink.lines);
    EXPECT_EQ(run.running.load(), 0);
  }
  {
    RecordedRun run;
    run.sessions.SetMailClientVersion("");
    EXPECT_EQ(run.Run(run.OneFile({kInbox}, 1, kDefaults)), RunEnd::kNoMailClient);
    EXPECT_EQ(run.sink.lines.size(), 1u);
    EXPECT_EQ(run.sink.messages, run.sink.lines);
  }
  {
    RecordedRun run;  // the file is not in the store: not a readable PST
    EXPECT_EQ(run.Run(run.OneFile({kInbox}, 1, kDefaults)), RunEnd::kFileNotOpened);
    const Lines expected = {"/mail/a.pst is processing.", "File Size(Bytes):  271360"};
    EXPECT_EQ(run.LinesAfterStart(), expected);
    EXPECT_EQ(run.sink.messages, Lines{"PST file is corrupt, repair it to process Quillmere application."});
    EXPECT_FALSE(run.sink.progressVisible);
  }
}

TEST(RunDriverTest, ASecondRunReportsOnlyItsOwnTotals) {
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("a", "s", 10, 2)}));
  run.Run(run.OneFile({kInbox}, 1, kDefaults));
  const size_t firstRunLines = run.sink.lines.size();
  run.Run(run.OneFile({kInbox}, 1, kDefaults));
  EXPECT_EQ(run.sink.lines.size(), 2 * firstRunLines);
  EXPECT_EQ(run.totals.duplicates, 1u);
  EXPECT_EQ(run.sink.lines.back(), "Quillmere process completed successfully.");
}

TEST(RunDriverTest, SeveralFilesEachGetTheirOwnLinesAndNothingCarriesOver) {
  RecordedRun run;
  run.sessions.AddFile("/mail/a.pst", Mailbox({Mail("same")}));
  run.sessions.AddFile("/mail/b.pst", Mailbox({Mail("same"), Mail("same")}));
  RunRequest request;
  request.scope = 2;
  request.criteria = kDefaults;
  request.targets = {{"/mail/a.pst", "1", std::nullopt}, {"/mail/missing.pst", "", std::nullopt},
                     {"/mail/b.pst", "2", std::nullopt}};
  EXPECT_EQ(run.Run(request), RunEnd::kCompleted);
  // Each file: every folder in walk order (root, Top of Personal Folders,
  // Deleted Items, Inbox, Archive, Search Root).
  const std::vector<std::string>& lines = run.sink.lines;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Total number of folders found in source pst file: 6"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Quillmere process completed successfully."), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Total number of duplicate items found in PST:\t0"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Total number of duplicate items found in PST:\t1"), 1);
  EXPECT_EQ(run.totals.duplicates, 1u);
  EXPECT_EQ(run.totals.filesFailed, 1);
  EXPECT_EQ(run.sink.failedFiles, Lines{"/mail/missing.pst"});
}

TEST(RunDriverTest, TheLogGetsTheSameWordsAsTheScreen) {
  const auto path = std::filesystem::temp_directory_path() / ("quillmere-run-" + std::to_string(::getpid()) + ".txt");
  RunLog log;
  ASSERT_TRUE(log.Create(path.string()));
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({Mail("收件箱 report", "s", 10, 2)}));
  run.Run(run.OneFile({kInbox}, 1, kDefaults), &log);
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::u16string text;
  for (size_t i = 308; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  std::string expected;
  for (const auto& line : run.sink.lines) expected += line + "\r\n";
  EXPECT_EQ(Utf16ToUtf8(text), expected);
  std::filesystem::remove(path);
}

TEST(RunDriverTest, DuplicateDetailsNameTheItemEachOneRepeats) {
  RecordedRun run;
  run.sink.wantDetails = true;
  run.sessions.AddFile(kFile, Mailbox({Mail("first")}, {Mail("first")}));
  run.Run(run.OneFile({kInbox, kArchive}, 2, kDefaults));
  ASSERT_EQ(run.sink.duplicates.size(), 1u);
  EXPECT_EQ(run.sink.duplicates[0].subject, "first");
  EXPECT_EQ(run.sink.duplicates[0].originalFolderPath, kInbox);
  EXPECT_NE(run.sink.duplicates[0].itemId, run.sink.duplicates[0].originalItemId);
}

TEST(FormatDuplicateSizeTest, BytesBelowOneKilobyteThenWholeKilobytes) {
  const std::pair<uint64_t, const char*> cases[] = {{0, "0 (bytes)"},  {1023, "1023 (bytes)"}, {1024, "1 kb"},
                                                    {1535, "1 kb"},    {2047, "1 kb"},         {2048, "2 kb"},
                                                    {UINT64_MAX, "18014398509481983 kb"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatDuplicateSize(bytes), text);
}

}  // namespace
}  // namespace quillmere::detect
