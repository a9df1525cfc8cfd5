// Faults in a file's folder hierarchy: a part of the tree that cannot be read
// is told apart from an empty part, counted, and reported by the run, so a
// folder that vanished never passes for a folder without items.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "detect/walk_order.h"
#include "tests/detect/run_fixture.h"

namespace quillmere::testing_support {
namespace {

using Mode = store::FaultPlan::Mode;
using Paths = std::vector<std::string>;

constexpr const char* kRoot = "\\\\Mail";
constexpr const char* kTop = "\\\\Mail\\Top of Personal Folders";
constexpr const char* kDeleted = "\\\\Mail\\Top of Personal Folders\\Deleted Items";
constexpr const char* kSearchRoot = "\\\\Mail\\Search Root";
const ComparisonCriteria kBySubject = Criteria({&ComparisonCriteria::subject});

store::MailboxDescription Sample() {
  return Mailbox({Mail("a"), Mail("a"), Mail("b")}, {Mail("c"), Mail("c")});
}

struct WalkResult {
  Paths paths;
  int32_t unreadable = -1;
};

WalkResult Walk(store::MemoryStoreFactory& sessions) {
  auto session = sessions.CreateStoreSession();
  auto pst = session->OpenPstStore(kFile);
  WalkResult r;
  r.paths = detect::CollectFolderPathsInWalkOrder(pst ? pst->GetRootFolder() : nullptr, &r.unreadable);
  return r;
}

struct TreeFault {
  const char* name;
  const char* operation;
  Mode mode;
  const char* target;
  int32_t unreadable;
  Paths lost;  // folders missing from the walk
};

// "GetItem" and "GetCount" on a folder are the calls on its list of sub folders.
const TreeFault kTreeFaults[] = {
    {"RootCannotBeHad", "GetRootFolder", Mode::kAlways, "", 1, {kRoot, kTop, kDeleted, kInbox, kArchive, kSearchRoot}},
    {"SubFolderListCannotBeHad", "GetFolders", Mode::kAlways, kTop, 1, {kDeleted, kInbox, kArchive}},
    {"SubFolderListCannotBeCounted", "GetCount", Mode::kAlways, kTop, 1, {kDeleted, kInbox, kArchive}},
    {"NoSubFolderCanBeHad", "GetItem", Mode::kAlways, kTop, 3, {kDeleted, kInbox, kArchive}},
    {"NoListAnywhere", "GetFolders", Mode::kAlways, "", 1, {kTop, kDeleted, kInbox, kArchive, kSearchRoot}},
    {"LeafListCannotBeCounted", "GetCount", Mode::kAlways, kInbox, 1, {}},
    // One repeat is the general rule: a fault that passes loses nothing.
    {"ListFailsOnce", "GetFolders", Mode::kOnce, kTop, 0, {}},
    {"CountFailsOnce", "GetCount", Mode::kOnce, kTop, 0, {}},
    {"SubFolderFailsOnce", "GetItem", Mode::kOnce, kTop, 0, {}},
};

class TreeFaultTest : public ::testing::TestWithParam<TreeFault> {};

TEST_P(TreeFaultTest, TheWalkCountsWhatItCouldNotReadAndKeepsTheRest) {
  const TreeFault& f = GetParam();
  store::MemoryStoreFactory clean;
  clean.AddFile(kFile, Sample());
  const WalkResult whole = Walk(clean);
  ASSERT_EQ(whole.unreadable, 0);
  ASSERT_EQ(whole.paths, (Paths{kRoot, kTop, kDeleted, kInbox, kArchive, kSearchRoot}));

  store::MemoryStoreFactory sessions;
  sessions.AddFile(kFile, Sample());
  sessions.Faults().Fail(f.operation, f.mode, f.target);
  const WalkResult got = Walk(sessions);
  EXPECT_EQ(got.unreadable, f.unreadable);
  Paths expected;
  for (const auto& p : whole.paths)
    if (std::find(f.lost.begin(), f.lost.end(), p) == f.lost.end()) expected.push_back(p);
  EXPECT_EQ(got.paths, expected);
}

INSTANTIATE_TEST_SUITE_P(Faults, TreeFaultTest, ::testing::ValuesIn(kTreeFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// A damaged file can point a folder back at an ancestor; the walk ends at a
// depth no real tree has, and says that it stopped there.
TEST(TreeWalkTest, AHierarchyTooDeepIsCutAndCounted) {
  store::FolderDescription deepest{"level", "IPF.Note", {}, {}};
  for (int i = 0; i < 1100; ++i) deepest = store::FolderDescription{"level", "IPF.Note", {}, {deepest}};
  store::MailboxDescription box;
  box.displayName = "Mail";
  box.folders.push_back(deepest);
  store::MemoryStoreFactory sessions;
  sessions.AddFile(kFile, box);
  const WalkResult got = Walk(sessions);
  EXPECT_EQ(got.unreadable, 1);
  // The root and 1024 levels below it, Deleted Items beside the first
  // level below the top, then Search Root.
  EXPECT_EQ(got.paths.size(), 1u + 1024u + 1u + 1u);
  EXPECT_EQ(std::count(got.paths.back().begin(), got.paths.back().end(), '\\'), 3);
  EXPECT_EQ(std::count(got.paths[1025].begin(), got.paths[1025].end(), '\\'), 2 + 1024);
  EXPECT_EQ(got.paths.back(), kSearchRoot);
}

// A run over every folder of the file reports the unreadable places and
// still scans and totals every folder it could reach.
class RecordingUnreadable : public fakes::RecordingRunSink {
 public:
  std::vector<int32_t> unreadable;
  void OnFoldersUnreadable(int32_t places) override { unreadable.push_back(places); }
};

struct UnreadableRun {
  store::MemoryStoreFactory sessions;
  RecordingUnreadable sink;
  fakes::FakeClock clock{{2024, 3, 6, 14, 5, 9}};
  std::atomic<int> running{1};
  detect::RunTotals totals;

  detect::RunEnd Run(int32_t scope = 1) {
    detect::RunRequest r;
    r.targets.push_back({kFile, "271360", std::nullopt});
    r.scope = scope;
    r.criteria = kBySubject;
    return detect::RunDuplicateSearch(r, {sessions, sink, nullptr, clock}, running, &totals);
  }
  const detect::FolderOutcome* Outcome(const std::string& path) const {
    for (const auto& o : sink.folders)
      if (o.path == path) return &o;
    return nullptr;
  }
};

TEST(UnreadableTreeRunTest, LostSubFoldersAreToldToTheSinkAndTheTotals) {
  UnreadableRun run;
  run.sessions.AddFile(kFile, Sample());
  run.sessions.Faults().Fail("GetItem", Mode::kAlways, kTop);
  ASSERT_EQ(run.Run(), detect::RunEnd::kCompleted);
  EXPECT_EQ(run.sink.unreadable, std::vector<int32_t>{3});
  EXPECT_EQ(run.totals.foldersUnreadable, 3);
  EXPECT_EQ(run.sink.lines[3], "Total number of folders found in source pst file: 3");
  EXPECT_EQ(run.sink.lines.back(), "Quillmere process completed successfully.");
  EXPECT_EQ(run.sink.folders.size(), 3u);
}

TEST(UnreadableTreeRunTest, ACleanFileReportsNothingUnreadable) {
  UnreadableRun run;
  run.sessions.AddFile(kFile, Sample());
  ASSERT_EQ(run.Run(), detect::RunEnd::kCompleted);
  EXPECT_TRUE(run.sink.unreadable.empty());
  EXPECT_EQ(run.totals.foldersUnreadable, 0);
  EXPECT_EQ(run.totals.duplicates, 2u);
}

// A folder whose item list cannot be counted is not an empty folder: its
// scan ends without lines and is not complete; the next folder is scanned.
TEST(UnreadableTreeRunTest, AnItemListThatCannotBeCountedIsNotAnEmptyFolder) {
  UnreadableRun run;
  run.sessions.AddFile(kFile, Sample());
  run.sessions.Faults().Fail("GetCount", Mode::kAlways, kInbox);
  ASSERT_EQ(run.Run(), detect::RunEnd::kCompleted);
  const auto* inbox = run.Outcome(kInbox);
  ASSERT_NE(inbox, nullptr);
  EXPECT_TRUE(inbox->reached);
  EXPECT_FALSE(inbox->completed);
  const auto* archive = run.Outcome(kArchive);
  ASSERT_NE(archive, nullptr);
  EXPECT_TRUE(archive->completed);
  EXPECT_EQ(archive->duplicates, 1);
  EXPECT_EQ(run.totals.duplicates, 1u);
  const auto inboxLine = std::find(run.sink.lines.begin(), run.sink.lines.end(),
                                   std::string(kInbox) + " folder is processing....");
  ASSERT_NE(inboxLine, run.sink.lines.end());
  EXPECT_EQ(*(inboxLine + 1), std::string(kArchive) + " folder is processing....");
}

TEST(UnreadableTreeRunTest, ACountThatFailsOnceIsRepeated) {
  UnreadableRun run;
  run.sessions.AddFile(kFile, Sample());
  run.sessions.Faults().Fail("GetCount", Mode::kOnce, kInbox);
  ASSERT_EQ(run.Run(), detect::RunEnd::kCompleted);
  const auto* inbox = run.Outcome(kInbox);
  ASSERT_NE(inbox, nullptr);
  EXPECT_TRUE(inbox->completed);
  EXPECT_EQ(inbox->itemCount, 3);
  EXPECT_EQ(run.totals.duplicates, 2u);
}

}  // namespace
}  // namespace quillmere::testing_support
