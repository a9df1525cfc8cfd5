// quillmere-cli scan's parts: the command line, and what the run makes of a
// mailbox in memory (report lines, --list-duplicates lines, the JSON
// document), including a folder whose scan an item read ends.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/scan_options.h"
#include "cli/scan_sink.h"
#include "detect/run_driver.h"
#include "options/date_rules.h"
#include "store/memory/memory_store.h"
#include "tests/cli/memory_scan.h"

namespace quillmere::cli {
namespace {

const CivilDateTime kNow{2024, 3, 6, 14, 5, 9};

// ---- the command line ------------------------------------------------------------

struct UsageErrorCase {
  std::vector<std::string> args;
  std::string error;
};

class ScanUsageErrorTest : public ::testing::TestWithParam<UsageErrorCase> {};

TEST_P(ScanUsageErrorTest, IsRefusedWithItsMessage) {
  const auto parse = ParseScanOptions(GetParam().args, kNow);
  EXPECT_EQ(parse.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ScanUsageErrorTest,
    ::testing::Values(
        UsageErrorCase{{}, "no PST file given"}, UsageErrorCase{{"--json"}, "no PST file given"},
        UsageErrorCase{{"--criteria", "subject,bogus", "a.pst"}, "unknown criterion 'bogus'"},
        UsageErrorCase{{"--criteria=", "a.pst"}, "--criteria needs at least one criterion"},
        UsageErrorCase{{"--criteria", "Subject", "a.pst"}, "unknown criterion 'Subject'"},
        UsageErrorCase{{"--scope", "tree", "a.pst"}, "--scope is folder or file, not 'tree'"},
        UsageErrorCase{{"--period", "yesterday", "a.pst"}, "unknown period 'yesterday' (see --help)"},
        UsageErrorCase{{"--range", "2024-01-31..2024-01-01", "a.pst"}, options::kManualRangeInvalidText},
        UsageErrorCase{{"--range", "2024-01-31..2024-01-31", "a.pst"}, options::kManualRangeInvalidText},
        UsageErrorCase{{"--range", "2024-02-30..2024-03-01", "a.pst"},
                       "--range wants FROM..TO with dates as YYYY-MM-DD, not '2024-02-30..2024-03-01'"},
        UsageErrorCase{{"--range", "2024-1-01..2024-03-01", "a.pst"},
                       "--range wants FROM..TO with dates as YYYY-MM-DD, not '2024-1-01..2024-03-01'"},
        UsageErrorCase{{"--range", "2024-01-01", "a.pst"},
                       "--range wants FROM..TO with dates as YYYY-MM-DD, not '2024-01-01'"},
        UsageErrorCase{{"--range", "2024-01-01..2024-02-01", "--range", "2024-01-01..2024-02-01", "a.pst"},
                       options::kRangeAlreadyListedText},
        UsageErrorCase{{"--period", "last-year", "--range", "2024-01-01..2024-02-01", "a.pst"},
                       "--period and --range cannot be used together"},
        UsageErrorCase{{"a.pst", "--log"}, "--log needs a value"},
        UsageErrorCase{{"--json=yes", "a.pst"}, "--json takes no value"},
        UsageErrorCase{{"--reader", "Fast", "a.pst"}, "--reader is fast or libpff, not 'Fast'"},
        UsageErrorCase{{"a.pst", "--reader"}, "--reader needs a value"},
        UsageErrorCase{{"--recursive", "a.pst"}, "unknown option '--recursive'"}));

TEST(ScanOptionsTest, DefaultsAreTheComparisonPageDefaultsWithinEachFolder) {
  const auto parse = ParseScanOptions({"a.pst", "b.pst"}, kNow);
  ASSERT_EQ(parse.error, "");
  ComparisonCriteria expected;
  expected.subject = expected.senderEmail = expected.attachments = 1;
  EXPECT_EQ(parse.options.criteria, expected);
  EXPECT_EQ(parse.options.scope, 1);
  EXPECT_TRUE(parse.options.dateRanges.empty());
  EXPECT_FALSE(parse.options.folders);
  EXPECT_EQ(parse.options.files, (std::vector<std::string>{"a.pst", "b.pst"}));
  EXPECT_EQ(parse.options.reader, "fast");
}

TEST(ScanOptionsTest, EveryCriterionNameSetsItsOwnFlag) {
  const auto parse = ParseScanOptions(
      {"--criteria=text,subject,sender-email,sender-name,receiver-name,internet-header,sent-time,attachments",
       "a.pst"},
      kNow);
  ASSERT_EQ(parse.error, "");
  EXPECT_EQ(parse.options.criteria, (ComparisonCriteria{1, 1, 1, 1, 1, 1, 1, 1}));
  const auto some = ParseScanOptions({"--criteria", "receiver-name,text", "a.pst"}, kNow);
  EXPECT_EQ(some.options.criteria, (ComparisonCriteria{1, 0, 0, 0, 1, 0, 0, 0}));
}

TEST(ScanOptionsTest, ScopeFoldersRangesAndFilesAfterDoubleDash) {
  const auto parse = ParseScanOptions({"--scope", "file", "--folder", "\\\\P\\Inbox", "--folder=\\\\P\\Sent",
                                       "--range", "2024-01-01..2024-01-31", "--range=2023-05-01..2023-05-02", "--",
                                       "--odd.pst"},
                                      kNow);
  ASSERT_EQ(parse.error, "");
  EXPECT_EQ(parse.options.scope, 2);
  EXPECT_EQ(parse.options.folders, (std::vector<std::string>{"\\\\P\\Inbox", "\\\\P\\Sent"}));
  EXPECT_EQ(parse.options.files, (std::vector<std::string>{"--odd.pst"}));
  ASSERT_EQ(parse.options.dateRanges.size(), 2u);
  EXPECT_EQ(FormatDateLong(parse.options.dateRanges[0].start), "Monday, January 01, 2024");
  EXPECT_EQ(FormatDateLong(parse.options.dateRanges[0].end), "Wednesday, January 31, 2024");
  EXPECT_EQ(FormatDateLong(parse.options.dateRanges[1].start), "Monday, May 01, 2023");
}

// Each period name gives the range of the period list's entry at its place.
TEST(ScanOptionsTest, PeriodNamesFollowThePeriodList) {
  for (int p = 0; p < options::kDatePeriodCount; ++p) {
    const auto parse = ParseScanOptions({"--period", PeriodOptionName(p), "a.pst"}, kNow);
    ASSERT_EQ(parse.error, "") << PeriodOptionName(p);
    const auto range = options::BuildPeriodRange(p, kNow);
    ASSERT_EQ(parse.options.dateRanges.size(), range ? 1u : 0u) << PeriodOptionName(p);
    if (range) {
      EXPECT_EQ(parse.options.dateRanges[0].start, range->start);
      EXPECT_EQ(parse.options.dateRanges[0].end, range->end);
    }
    EXPECT_NE(ScanUsageText().find(std::string(PeriodOptionName(p)) + "  (" + options::DatePeriodText(p) + ")"),
              std::string::npos);
  }
}

// ---- a run over a mailbox in memory --------------------------------------------------

store::ItemDescription Mail(const std::string& subject, int32_t size, int64_t sent) {
  store::ItemDescription item;
  item.subject = subject;
  item.senderEmail = "ann@example.com";
  item.sizeHint = size;
  item.sentTimeUtc = sent;
  return item;
}

// First: two equal mails (one duplicate), then one whose sender address
// cannot be read, then a third equal one. Second: two equal mails.
MemoryRun RunOnMailbox(bool json) {
  store::MailboxDescription box;
  box.displayName = "Mailbox";
  box.folders.push_back({"First", "IPF.Note",
                         {Mail("Budget", 700, 1709730000), Mail("Budget", 800, 1709733600),
                          Mail("Broken", 900, 1709737200), Mail("Budget", 1000, 1709740800)},
                         {}});
  box.folders.push_back({"Second", "IPF.Note", {Mail("Plan", 300, 1709730000), Mail("Plan", 400, 1709740000)}, {}});
  store::MemoryStoreFactory factory;
  factory.AddFile("/m.pst", box);
  factory.Faults().Fail("GetSenderEmailAddress", store::FaultPlan::Mode::kAlways, "Broken");

  const auto parse = ParseScanOptions({"--list-duplicates", "/m.pst"}, kNow);
  detect::RunRequest request;
  request.targets.push_back({"/m.pst", "4096", std::nullopt});
  request.scope = parse.options.scope;
  request.criteria = parse.options.criteria;

  return ScanInMemory(factory, request, json, kNow);
}

TEST(ScanRunTest, ReadErrorEndsTheFolderAndTheNextFolderIsScanned) {
  const auto run = RunOnMailbox(false);
  ASSERT_EQ(run.end, detect::RunEnd::kCompleted);
  const std::string top = "\\\\Mailbox\\Top of Personal Folders";
  const std::string empty = "\titems in folder: 0, read: 0, skipped: 0\n";
  std::istringstream lines(run.text);
  std::vector<std::string> got;
  for (std::string line; std::getline(lines, line);)
    got.push_back(line);
  // The first folder's duplicate was found before the read error: it is
  // listed, but the folder writes no summary and adds nothing to the totals.
  EXPECT_EQ(got, (std::vector<std::string>{
                     "Duplicate Removing process starts:   Mar-06-2024_02-05-09-PM)",
                     "/m.pst is processing.",
                     "File Size(Bytes):  4096",
                     "Total number of folders found in source pst file: 6",
                     "\\\\Mailbox folder is processing....",
                     "\titems in folder: 0, read: 0, skipped: 0",
                     top + " folder is processing....",
                     "\titems in folder: 0, read: 0, skipped: 0",
                     top + "\\Deleted Items folder is processing....",
                     "\titems in folder: 0, read: 0, skipped: 0",
                     top + "\\First folder is processing....",
                     "Total number of emails in folder: 4",
                     "\titems in folder: 4, read: 3, skipped: 1, scan ended early by a read error",
                     "\tduplicate m000002 \"Budget\" Wednesday, March 06, 2024 repeats m000001 in " + top + "\\First",
                     top + "\\Second folder is processing....",
                     "Total number of emails in folder: 2",
                     "Number of duplicate items found: 1",
                     "Size of duplicate items found in Folder: 400 (bytes)",
                     "\titems in folder: 2, read: 2, skipped: 0",
                     "\tduplicate m000006 \"Plan\" Wednesday, March 06, 2024 repeats m000005 in " + top + "\\Second",
                     "\\\\Mailbox\\Search Root folder is processing....",
                     "\titems in folder: 0, read: 0, skipped: 0",
                     "Total number of duplicate items found in PST:\t1",
                     "Total size of duplicate items found in PST:\t400 (bytes)",
                     "Quillmere process completed successfully.",
                 }));
  EXPECT_EQ(run.totals.duplicates, 1u);
  EXPECT_EQ(run.totals.duplicateSize, 400u);
}

TEST(ScanRunTest, JsonCarriesReconciliationAndDuplicates) {
  const auto run = RunOnMailbox(true);
  EXPECT_EQ(run.text, "");  // the document is printed by the command at the end
  const auto& file = run.json["files"].at(0);
  EXPECT_EQ(file["path"], "/m.pst");
  EXPECT_EQ(file["opened"], true);
  ASSERT_EQ(file["folders"].size(), 6u);
  const auto& first = file["folders"][3];
  EXPECT_EQ(first["path"], "\\\\Mailbox\\Top of Personal Folders\\First");
  EXPECT_EQ(first["completed"], false);
  EXPECT_EQ(first["itemCount"], 4);
  EXPECT_EQ(first["itemsRead"].get<int64_t>() + first["itemsSkipped"].get<int64_t>(), 4);
  EXPECT_GE(first["itemsSkipped"].get<int64_t>(), 1);
  const auto& second = file["folders"][4];
  EXPECT_EQ(second["completed"], true);
  EXPECT_EQ(second["itemsRead"], 2);
  EXPECT_EQ(second["itemsSkipped"], 0);
  ASSERT_EQ(second["duplicateList"].size(), 1u);
  const auto& d = second["duplicateList"][0];
  EXPECT_EQ(d["subject"], "Plan");
  EXPECT_EQ(d["size"], 400);
  EXPECT_EQ(d["sentDate"], "Wednesday, March 06, 2024");
  EXPECT_EQ(d["repeatsFolder"], "\\\\Mailbox\\Top of Personal Folders\\Second");
  EXPECT_NE(d["itemId"], d["repeatsItemId"]);
  // Only folders whose scan completed count in the file's figures.
  EXPECT_EQ(file["duplicates"], 1);
  EXPECT_EQ(file["duplicateSize"], 400);
  EXPECT_EQ(run.json["totalDuplicates"], 1);
  EXPECT_EQ(run.json["totalDuplicateSizeText"], "400 (bytes)");
  EXPECT_EQ(run.json["stopped"], false);
  EXPECT_EQ(run.json["report"].back(), "Quillmere process completed successfully.");
}

TEST(ScanSinkTest, OneLineKeepsASubjectOnItsLine) {
  EXPECT_EQ(OneLine("Re:\tbudget\r\nnext"), "Re: budget  next");
  EXPECT_EQ(OneLine("Gr\xC3\xBC\xC3\x9F" "e"), "Gr\xC3\xBC\xC3\x9F" "e");
}

}  // namespace
}  // namespace quillmere::cli
