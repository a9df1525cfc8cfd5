// Building the check-box folder tree from folder records, and collecting the
// ticked folders again: on small made lists and on the sample files.
#include "preview/folder_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "pst/messaging/pst_writer.h"
#include "preview/preview_loader.h"
#include "store/libpff/libpff_store.h"

namespace quillmere::preview {
namespace {

using controls::kNoItem;
using controls::kTreeRoot;
using controls::TickTree;
using controls::TreeItem;

// The tree as the preview page builds it, with a readable picture of its
// state: one line per item, indented by depth, "text #image" followed by
// " bold", " ticked" (IsItemChecked), " open" (expanded) where they apply.
struct FolderTree {
  explicit FolderTree(std::vector<FolderRecord> records) : folders(std::move(records)) {
    tree.SetSmartCheck(true);
    for (size_t i = 0; i < folders.size(); ++i) AddFolderToTree(folders, i, tree);
  }

  std::string Picture() const {
    std::ostringstream out;
    for (TreeItem item = tree.GetChildItem(kTreeRoot); item != kNoItem; item = tree.NextItemInOrder(item)) {
      int depth = 0;
      for (TreeItem p = tree.GetParentItem(item); p != kTreeRoot; p = tree.GetParentItem(p)) ++depth;
      const controls::XHTMLTREEDATA* record = tree.FindRecord(item);
      out << std::string(2 * depth, ' ') << tree.GetItemText(item) << " #" << tree.GetItemImage(item);
      if (record->bold) out << " bold";
      if (tree.IsItemChecked(item)) out << " ticked";
      if (record->expanded) out << " open";
      out << "\n";
    }
    return out.str();
  }

  TreeItem Find(const std::string& text) const {
    for (TreeItem item = tree.GetChildItem(kTreeRoot); item != kNoItem; item = tree.NextItemInOrder(item))
      if (tree.GetItemText(item) == text) return item;
    return kNoItem;
  }

  std::vector<std::string> Collect(std::vector<std::string>* notices = nullptr) const {
    std::vector<std::string> selected;
    lastResult = CollectCheckedFolders(folders, tree, selected, [&](const std::string& text) {
      if (notices) notices->push_back(text);
    });
    return selected;
  }

  std::vector<FolderRecord> folders;
  TickTree tree;
  mutable int lastResult = -1;
};

FolderRecord Record(std::string path, int32_t items) {
  const auto slash = path.rfind('\\');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return {std::move(path), items, std::move(name)};
}

std::vector<std::string> PathsOf(const std::vector<FolderRecord>& records) {
  std::vector<std::string> paths;
  for (const FolderRecord& r : records) paths.push_back(r.path);
  return paths;
}

struct ImageCase {
  const char* name;
  int image;
};

class FolderImageCases : public ::testing::TestWithParam<ImageCase> {};

TEST_P(FolderImageCases, PicksTheFirstMatchingRow) { EXPECT_EQ(FolderImage(GetParam().name), GetParam().image); }

INSTANTIATE_TEST_SUITE_P(
    ByName, FolderImageCases,
    ::testing::Values(ImageCase{"Junk E-mail", 14}, ImageCase{"Inbox", 3}, ImageCase{"INBOX", 3},
                      ImageCase{"Outbox", 6}, ImageCase{"RSS Feeds", 17}, ImageCase{"Sent Items", 7},
                      ImageCase{"Drafts", 2}, ImageCase{"deleted items", 16}, ImageCase{"Large Mail", 15},
                      ImageCase{"Unread Mail", 15}, ImageCase{"Categorized Mail", 15},
                      ImageCase{"Search Folders", 15}, ImageCase{"My Search Results", 15},
                      // The substring test is case-sensitive ...
                      ImageCase{"search", 10}, ImageCase{"SEARCH FOLDERS", 15},
                      // ... and comes before the calendar row.
                      ImageCase{"Calendar Search", 15}, ImageCase{"Calendar", 1}, ImageCase{"Tasks", 8},
                      ImageCase{"Journal", 4}, ImageCase{"Notes", 5}, ImageCase{"Contacts", 11},
                      ImageCase{"Inboxes", 10}, ImageCase{" Inbox", 10}, ImageCase{"\xE6\x94\xB6\xE4\xBB\xB6\xE7\xAE\xB1", 10},
                      ImageCase{"", 10}),
    [](const auto& info) {
      std::string name;
      for (char c : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name + "_" + std::to_string(info.index);
    });

TEST(FolderTree, NamesCarryCountsAndFoldersWithItemsAreBold) {
  FolderTree t({Record("\\\\Mail", 0), Record("\\\\Mail\\Inbox", 25), Record("\\\\Mail\\Inbox\\Old", 0),
                Record("\\\\Mail\\Archive Search", 3)});
  EXPECT_EQ(t.Picture(),
            "Mail #10 ticked open\n"
            "  Inbox[25] #3 bold ticked open\n"
            "    Old #10 ticked\n"
            "  Archive Search[3] #15 bold ticked\n");
  // Each item refers to its own record.
  EXPECT_EQ(t.tree.GetItemData(t.Find("Old")), 2);
  EXPECT_EQ(t.tree.GetItemData(t.Find("Archive Search[3]")), 3);
}

TEST(FolderTree, DoubledAndSingleBackslashesGiveTheSamePlace) {
  FolderTree doubled({Record("\\\\Mail", 0), Record("\\\\Mail\\\\Top", 0), Record("\\\\Mail\\\\Top\\\\Inbox", 2)});
  FolderTree single({Record("\\Mail", 0), Record("\\Mail\\Top", 0), Record("\\Mail\\Top\\Inbox", 2)});
  EXPECT_EQ(doubled.Picture(), single.Picture());
  EXPECT_EQ(doubled.Picture(),
            "Mail #10 ticked open\n"
            "  Top #10 ticked open\n"
            "    Inbox[2] #3 bold ticked\n");
  // The paths go out as they were stored, not normalised.
  EXPECT_EQ(doubled.Collect().back(), "\\\\Mail\\\\Top\\\\Inbox");
}

TEST(FolderTree, LeadingWhiteSpaceIsIgnored) {
  FolderTree t({Record("  \\\\Mail", 0), Record(" \t\\\\Mail\\Inbox", 0)});
  EXPECT_EQ(t.Picture(), "Mail #10 ticked open\n  Inbox #3 ticked\n");
}

TEST(FolderTree, SiblingsOfTheSameNameShareOneItem) {
  FolderTree t({Record("\\\\Mail", 0), Record("\\\\Mail\\Inbox", 1), Record("\\\\Mail\\Inbox", 4),
                Record("\\\\Mail\\Inbox\\Sub", 0), Record("\\\\Mail\\inbox", 0)});
  // The second Inbox adds nothing; its sub folder lands under the first.
  // Names that differ in case are two items.
  EXPECT_EQ(t.Picture(),
            "Mail #10 ticked open\n"
            "  Inbox[1] #3 bold ticked open\n"
            "    Sub #10 ticked\n"
            "  inbox #3 ticked\n");
  EXPECT_EQ(t.tree.GetItemData(t.Find("Inbox[1]")), 1);
}

TEST(FolderTree, AMissingParentIsInsertedOnTheWay) {
  // A list out of walk order: the child comes without its parent's record.
  FolderTree t({Record("\\\\Mail", 0), Record("\\\\Mail\\Top\\Inbox", 7)});
  EXPECT_EQ(t.Picture(),
            "Mail #10 ticked open\n"
            "  Top[7] #10 bold ticked open\n"
            "    Inbox[7] #3 bold ticked\n");
  EXPECT_EQ(t.tree.GetItemData(t.Find("Top[7]")), 1);
}

// Two items standing for one folder - a parent inserted on the way, or a
// folder whose own name holds a backslash - hand its path on once: a folder
// listed twice would be scanned twice, and across the whole file every item
// in it would count as a duplicate of itself.
TEST(FolderTree, AFolderShownTwiceIsSelectedOnce) {
  FolderTree missing({Record("\\\\Mail", 0), Record("\\\\Mail\\Top\\Inbox", 7)});
  EXPECT_EQ(missing.Collect(), (std::vector<std::string>{"\\\\Mail", "\\\\Mail\\Top\\Inbox"}));

  FolderTree slashed({Record("\\\\Mail", 0), Record("\\\\Mail\\Top", 0), {"\\\\Mail\\Top\\A\\B", 2, "A\\B"},
                      Record("\\\\Mail\\Top\\C", 0)});
  EXPECT_EQ(slashed.Picture(),
            "Mail #10 ticked open\n"
            "  Top #10 ticked open\n"
            "    A[2] #10 bold ticked open\n"
            "      B[2] #10 bold ticked\n"
            "    C #10 ticked\n");
  EXPECT_EQ(slashed.Collect(), PathsOf(slashed.folders));
}

TEST(FolderTree, ARootWithoutSubFoldersIsOneUntickedItem) {
  FolderTree t({Record("\\\\Empty file", 5)});
  EXPECT_EQ(t.Picture(), "Empty file[5] #10 bold\n");
  std::vector<std::string> notices;
  EXPECT_TRUE(t.Collect(&notices).empty());
  EXPECT_EQ(t.lastResult, 0);
  EXPECT_EQ(notices, std::vector<std::string>{"Please select folder(s) to continue the process."});
  t.tree.SetItemCheck(t.Find("Empty file[5]"), true);
  EXPECT_EQ(t.Collect(&notices), std::vector<std::string>{"\\\\Empty file"});
  EXPECT_EQ(t.lastResult, 1);
  EXPECT_EQ(notices.size(), 1u);
}

// A walk-ordered list of a small file, as the loader gives it.
std::vector<FolderRecord> SmallFile() {
  return {Record("\\\\Mail", 0),
          Record("\\\\Mail\\Top", 0),
          Record("\\\\Mail\\Top\\Inbox", 3),
          Record("\\\\Mail\\Top\\Inbox\\2023", 2),
          Record("\\\\Mail\\Top\\Inbox\\2024", 0),
          Record("\\\\Mail\\Top\\Sent Items", 1),
          Record("\\\\Mail\\Search Root", 0)};
}

TEST(FolderTree, EverythingTickedCollectsEveryPathInListOrder) {
  FolderTree t(SmallFile());
  EXPECT_EQ(t.Collect(), PathsOf(t.folders));
}

struct UntickCase {
  const char* name;
  std::vector<std::string> untick;  // item texts, unticked in this order
  std::vector<std::string> tick;    // then ticked
  std::vector<std::string> selected;
};

class SelectionCases : public ::testing::TestWithParam<UntickCase> {};

TEST_P(SelectionCases, CollectsExactlyTheTickedFolders) {
  FolderTree t(SmallFile());
  for (const std::string& text : GetParam().untick) t.tree.SetItemCheck(t.Find(text), false);
  for (const std::string& text : GetParam().tick) t.tree.SetItemCheck(t.Find(text), true);
  EXPECT_EQ(t.Collect(), GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, SelectionCases,
    ::testing::Values(
        // A leaf alone: exactly its path.
        UntickCase{"LeafAlone", {"Mail"}, {"2023[2]"}, {"\\\\Mail\\Top\\Inbox\\2023"}},
        // A ticked parent contributes only its own folder, each folder below
        // its own entry.
        UntickCase{"SubtreeOfInbox",
                   {"Mail"},
                   {"Inbox[3]"},
                   {"\\\\Mail\\Top\\Inbox", "\\\\Mail\\Top\\Inbox\\2023", "\\\\Mail\\Top\\Inbox\\2024"}},
        // A partly ticked parent contributes nothing.
        UntickCase{"PartlyTickedParentsLeftOut",
                   {"2024"},
                   {},
                   {"\\\\Mail\\Top\\Inbox\\2023", "\\\\Mail\\Top\\Sent Items", "\\\\Mail\\Search Root"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FolderTree, CollectingAppendsToWhatTheCallerEmptied) {
  FolderTree t(SmallFile());
  t.tree.SetItemCheck(t.Find("Mail"), false);
  std::vector<std::string> notices;
  EXPECT_TRUE(t.Collect(&notices).empty());
  EXPECT_EQ(t.lastResult, 0);
  EXPECT_EQ(notices.size(), 1u);
}

// The loader's view, recording only what the tree needs.
class CollectingView : public PreviewView {
 public:
  void SetFileSizeText(const std::string&) override {}
  void SetFileTypeText(const std::string&) override {}
  void SetTotalMailsText(const std::string&) override {}
  void SetTotalFolderText(const std::string&) override {}
  void SetProgressVisible(bool) override {}
  void SetProgressPosition(int) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void AddFolderToTree(size_t index) override { indices.push_back(index); }
  void EndPage(int) override {}
  std::vector<std::string> messages;
  std::vector<size_t> indices;
};

std::vector<FolderRecord> LoadFile(const std::string& path) {
  store::LibpffSessionFactory sessions;
  RunSettings settings;
  settings.m_currentFile = path;
  CollectingView view;
  PreviewLoader loader(sessions, settings, view);
  EXPECT_EQ(loader.LoadPreview(), 1) << path;
  return settings.m_folders;
}

std::vector<FolderRecord> LoadSample(const char* file) {
  const std::string path = std::string(QM_SAMPLES_DIR) + "/" + file;
  if (!std::filesystem::exists(path)) return {};
  return LoadFile(path);
}

// A small file of our own, read back through libpff: two sibling folders of
// the same name (each with a sub folder), names differing only in case, and
// counts, in both file formats.
class FolderTreeOnMadeFiles : public ::testing::TestWithParam<pst::FileFormat> {
 protected:
  void TearDown() override { std::filesystem::remove(m_path); }
  std::string Write() {
    m_path = std::filesystem::temp_directory_path() /
             ("qm-folder-tree-" + std::to_string(::getpid()) + "-" + std::to_string(int(GetParam())) + ".pst");
    pst::PstWriter writer(m_path, {GetParam(), "Made", 3});
    const auto top = writer.TopOfPersonalFolders();
    const auto first = writer.AddFolder(top, "Projects");
    writer.AddFolder(first, "2024");
    const auto second = writer.AddFolder(top, "Projects");
    const auto later = writer.AddFolder(second, "2025");
    writer.AddFolder(top, "projects");
    const auto inbox = writer.AddFolder(top, "INBOX");
    pst::Message message;
    message.subject = "Hello";
    for (int i = 0; i < 3; ++i) writer.AddMessage(inbox, message);
    writer.AddMessage(second, message);
    writer.AddMessage(later, message);
    writer.Finish();
    return m_path;
  }
  std::string m_path;
};

TEST_P(FolderTreeOnMadeFiles, SameNamedSiblingsShareTheirItem) {
  FolderTree t(LoadFile(Write()));
  const std::string picture = t.Picture();
  // The second Projects adds no item; its sub folder goes under the first,
  // whose text keeps the first record's count.
  EXPECT_NE(picture.find("    Projects #10 ticked open\n"
                         "      2024 #10 ticked\n"
                         "      2025[1] #10 bold ticked\n"
                         "    projects #10 ticked\n"
                         "    INBOX[3] #3 bold ticked\n"),
            std::string::npos)
      << picture;
  EXPECT_EQ(t.tree.GetCount(), t.folders.size() - 1);
  // Every item hands on its own record: all paths but the second Projects
  // (the same text as the first), in list order.
  std::vector<std::string> expected;
  int projects = 0;
  for (const FolderRecord& record : t.folders)
    if (record.name != "Projects" || ++projects == 1) expected.push_back(record.path);
  EXPECT_EQ(projects, 2);
  EXPECT_EQ(t.Collect(), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, FolderTreeOnMadeFiles,
                         ::testing::Values(pst::FileFormat::kUnicode, pst::FileFormat::kAnsi),
                         [](const auto& info) {
                           return std::string(info.param == pst::FileFormat::kAnsi ? "Ansi" : "Unicode");
                         });

TEST(FolderTreeOnSamples, OutlookFileShowsEveryFolderTickedAndOpen) {
  auto folders = LoadSample("outlook.pst");
  if (folders.empty()) GTEST_SKIP() << "sample missing";
  FolderTree t(std::move(folders));
  EXPECT_EQ(t.Picture(),
            "Personal Folders #10 ticked open\n"
            "  Content.Filter #10 ticked\n"
            "  Top of Personal Folders #10 ticked open\n"
            "    Deleted Items #16 ticked\n"
            "    \xE6\x94\xB6\xE4\xBB\xB6\xE7\xAE\xB1 #10 ticked\n"
            "    Outbox #6 ticked\n"
            "    Sent Items #7 ticked\n"
            "    Content.Filter #10 ticked\n"
            "    Inbox[1] #3 bold ticked\n"
            "    Calendar #1 ticked\n"
            "    Contacts #11 ticked\n"
            "    Journal #4 ticked\n"
            "    Notes #5 ticked\n"
            "    Tasks #8 ticked\n"
            "    Drafts #2 ticked\n"
            "    Junk E-mail #14 ticked\n"
            "    Reminders #10 ticked\n"
            "    Recovered_Group2[1] #10 bold ticked open\n"
            "      Inbox #3 ticked\n"
            "  Search Root #15 ticked\n"
            "  IPM_VIEWS #10 ticked\n"
            "  IPM_COMMON_VIEWS #10 ticked\n");
  EXPECT_EQ(t.Collect(), PathsOf(t.folders));
}

TEST(FolderTreeOnSamples, EnronFileCountsAndSearchFolders) {
  auto folders = LoadSample("enron.pst");
  if (folders.empty()) GTEST_SKIP() << "sample missing";
  FolderTree t(std::move(folders));
  // One item per folder, the root included.
  EXPECT_EQ(t.tree.GetCount(), t.folders.size());
  for (const char* text : {"Personal[47]", "TW-Commercial Group[14]", "Systems[7]", "Sent Items[2]"}) {
    const TreeItem item = t.Find(text);
    ASSERT_NE(item, kNoItem) << text << "\n" << t.Picture();
    EXPECT_TRUE(t.tree.FindRecord(item)->bold) << text;
  }
  EXPECT_EQ(t.Collect(), PathsOf(t.folders));
}

TEST(FolderTreeOnSamples, EmptyFileSearchFoldersGetTheMagnifier) {
  auto folders = LoadSample("Empty.pst");
  if (folders.empty()) GTEST_SKIP() << "sample missing";
  FolderTree t(std::move(folders));
  EXPECT_EQ(t.tree.GetItemImage(t.Find("Search Root")), 15) << t.Picture();
  EXPECT_EQ(t.tree.GetItemImage(t.Find("SPAM Search Folder 2")), 15);
  EXPECT_EQ(t.tree.GetItemImage(t.Find("Deleted Items")), 16);
}

}  // namespace
}  // namespace quillmere::preview
