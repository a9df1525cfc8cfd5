// quillmere-cli scan over a mailbox in memory whose folder tree is partly
// unreadable: the --list-duplicates lines and the JSON document say how much
// of the tree was lost, so a damaged file never reads as a clean one.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/scan_sink.h"
#include "detect/run_driver.h"
#include "store/memory/memory_store.h"
#include "tests/cli/memory_scan.h"

namespace quillmere::cli {
namespace {

using Mode = store::FaultPlan::Mode;
const CivilDateTime kNow{2024, 3, 6, 14, 5, 9};
constexpr const char* kTop = "\\\\Mailbox\\Top of Personal Folders";
const std::string kInbox = std::string(kTop) + "\\Inbox";

struct Fault {
  const char* operation;
  Mode mode;
  std::string target;
};

struct Output {
  std::vector<std::string> lines;
  nlohmann::ordered_json json;
};

Output Scan(const std::vector<Fault>& faults) {
  store::ItemDescription mail;
  mail.subject = "Budget";
  mail.senderEmail = "ann@example.com";
  mail.sizeHint = 500;
  mail.sentTimeUtc = 1709730000;
  mail.copies = 2;
  store::MailboxDescription box;
  box.displayName = "Mailbox";
  box.folders.push_back({"Inbox", "IPF.Note", {mail}, {}});
  box.folders.push_back({"Archive", "IPF.Note", {mail}, {{"Old", "IPF.Note", {}, {}}}});
  store::MemoryStoreFactory factory;
  factory.AddFile("/m.pst", box);
  for (const auto& f : faults) factory.Faults().Fail(f.operation, f.mode, f.target);

  detect::RunRequest request;
  request.targets.push_back({"/m.pst", "4096", std::nullopt});
  request.scope = 1;
  request.criteria.subject = 1;

  const MemoryRun run = ScanInMemory(factory, request, false, kNow);
  Output result;
  result.json = run.json;
  std::istringstream text(run.text);
  for (std::string line; std::getline(text, line);) result.lines.push_back(line);
  return result;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ScanTreeFaultTest, LostSubFoldersAreCountedInTheListingAndTheDocument) {
  // No sub folder of "Top of Personal Folders" can be had.
  const Output out = Scan({{"GetItem", Mode::kAlways, kTop}});
  ASSERT_GE(out.lines.size(), 5u);
  EXPECT_EQ(out.lines[3], "\tfolder tree places that could not be read: 3");
  EXPECT_EQ(out.lines[4], "Total number of folders found in source pst file: 3");
  EXPECT_EQ(out.json["files"][0]["foldersUnreadable"], 3);
  EXPECT_EQ(out.json["files"][0]["folders"].size(), 3u);
}

TEST(ScanTreeFaultTest, ACleanTreeHasNoUnreadablePlaces) {
  const Output out = Scan({});
  EXPECT_EQ(out.json["files"][0]["foldersUnreadable"], 0);
  EXPECT_EQ(out.json["files"][0]["folders"].size(), 7u);
  for (const auto& line : out.lines) EXPECT_EQ(line.find("could not be read"), std::string::npos) << line;
  EXPECT_EQ(out.json["totalDuplicates"], 2);
}

TEST(ScanTreeFaultTest, AFolderWhoseItemsCannotBeCountedIsAnEarlyEndNotAnEmptyFolder) {
  const Output out = Scan({{"GetCount", Mode::kAlways, kInbox}});
  EXPECT_TRUE(Has(out.lines, "\titems in folder: 0, read: 0, skipped: 0, scan ended early by a read error"));
  // Its sub folder list is unreadable too: the same count serves both lists.
  EXPECT_EQ(out.json["files"][0]["foldersUnreadable"], 1);
  const auto& folders = out.json["files"][0]["folders"];
  bool seen = false;
  for (const auto& f : folders) {
    if (f["path"] != kInbox) continue;
    seen = true;
    EXPECT_EQ(f["reached"], true);
    EXPECT_EQ(f["completed"], false);
  }
  EXPECT_TRUE(seen);
  // The archive's duplicate still counts.
  EXPECT_EQ(out.json["totalDuplicates"], 1);
}

}  // namespace
}  // namespace quillmere::cli
