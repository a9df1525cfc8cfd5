// The libpff store on the real sample files: statistics, folder paths, the
// round trip of path texts, a cross-check against readpst, item reads, and
// files that are not readable PST files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/ole_date.h"
#include "store/folder_path.h"
#include "store/libpff/libpff_store.h"
#include "tests/store/sample_files.h"

namespace quillmere::store {
namespace {

namespace fs = std::filesystem;
using quillmere::testing::SamplePath;

const auto* const kSamplesGuard = ::testing::AddGlobalTestEnvironment(new quillmere::testing::SamplesUnchanged);

struct WalkedFolder {
  std::string path;
  int32_t itemCount = 0;
  int32_t childCount = 0;
};

void Walk(MailFolder& folder, std::vector<WalkedFolder>& out) {
  WalkedFolder record{folder.GetFolderPath(), 0, 0};
  if (auto items = folder.GetItems()) record.itemCount = items->GetCount();
  auto children = folder.GetFolders();
  record.childCount = children ? children->GetCount() : 0;
  out.push_back(record);
  for (int32_t j = 1; j <= record.childCount; ++j)
    if (auto child = children->GetItem(j)) Walk(*child, out);
}

struct Opened {
  std::unique_ptr<StoreSession> session;
  std::unique_ptr<PstStore> store;
};

Opened Open(const std::string& path) {
  LibpffSessionFactory factory;
  Opened o{factory.CreateStoreSession(), nullptr};
  o.store = o.session->OpenPstStore(path);
  return o;
}

std::vector<WalkedFolder> WalkFile(const std::string& path) {
  auto o = Open(path);
  EXPECT_TRUE(o.store) << path;
  std::vector<WalkedFolder> folders;
  if (o.store)
    if (auto root = o.store->GetRootFolder()) Walk(*root, folders);
  return folders;
}

// ---- statistics of each sample -------------------------------------------

struct SampleStatistics {
  const char* file;
  int32_t pstType;
  size_t folders;  // the root included
  int64_t items;
  const char* rootPath;
};

class SampleStatisticsTest : public ::testing::TestWithParam<SampleStatistics> {};

TEST_P(SampleStatisticsTest, TypeFolderCountAndItemTotal) {
  const auto& s = GetParam();
  auto o = Open(SamplePath(s.file));
  ASSERT_TRUE(o.store);
  EXPECT_EQ(o.store->GetPstType(), s.pstType);
  EXPECT_TRUE(o.session->GetLoggedOn());
  std::vector<WalkedFolder> folders;
  Walk(*o.store->GetRootFolder(), folders);
  int64_t items = 0;
  for (const auto& f : folders) items += f.itemCount;
  EXPECT_EQ(folders.size(), s.folders);
  EXPECT_EQ(items, s.items);
  ASSERT_FALSE(folders.empty());
  EXPECT_EQ(folders.front().path, s.rootPath);
}

// enron.pst: the root, SPAM Search Folder 2, Top of Personal Folders, Deleted
// Items, lokay-m, MLOKAY (Non-Privileged) with its four sub folders, Search
// Root: 11 folder nodes (the file's node table holds exactly these eleven
// folder nodes, and pffexport shows the same tree).
// Empty.pst's message store has no display name: its root takes the file's
// base name.
INSTANTIATE_TEST_SUITE_P(
    Samples, SampleStatisticsTest,
    ::testing::Values(SampleStatistics{"Empty.pst", kPstTypeUnicode, 6, 0, "\\\\Empty"},
                      SampleStatistics{"dist-list.pst", kPstTypeUnicode, 24, 4, "\\\\Personal Folders"},
                      SampleStatistics{"enron.pst", kPstTypeUnicode, 11, 71, "\\\\Personal folders"},
                      SampleStatistics{"outlook.pst", kPstTypeUnicode, 22, 2, "\\\\Personal Folders"},
                      SampleStatistics{"passworded.pst", kPstTypeUnicode, 24, 3, "\\\\Personal Folders"}),
    [](const auto& info) {
      std::string name = info.param.file;
      name.resize(name.find('.'));
      for (char& c : name)
        if (c == '-') c = '_';
      return name;
    });

TEST(LibpffStoreTest, MailClientVersionNamesTheReader) {
  LibpffSessionFactory factory;
  auto session = factory.CreateStoreSession();
  EXPECT_EQ(session->GetMailClientVersion().rfind("libpff 2", 0), 0u) << session->GetMailClientVersion();
  EXPECT_FALSE(session->GetLoggedOn());
}

TEST(LibpffStoreTest, OutlookFolderListWithNonLatinNameAndNestedInbox) {
  const auto folders = WalkFile(SamplePath("outlook.pst"));
  std::map<std::string, int32_t> counts;
  std::vector<std::string> order;
  for (const auto& f : folders) {
    counts[f.path] = f.itemCount;
    order.push_back(f.path);
  }
  const std::string top = "\\\\Personal Folders\\Top of Personal Folders";
  ASSERT_TRUE(counts.count(top + "\\收件箱"));
  ASSERT_TRUE(counts.count(top + "\\Inbox"));
  ASSERT_TRUE(counts.count(top + "\\Recovered_Group2\\Inbox"));
  EXPECT_EQ(counts[top + "\\Inbox"], 1);
  EXPECT_EQ(counts[top + "\\Recovered_Group2"], 1);
  EXPECT_EQ(counts[top + "\\Recovered_Group2\\Inbox"], 0);
  // "Content.Filter" sits both under the root and under the top folder.
  EXPECT_TRUE(counts.count("\\\\Personal Folders\\Content.Filter"));
  EXPECT_TRUE(counts.count(top + "\\Content.Filter"));
  // Pre-order: every folder comes after its parent.
  for (size_t i = 1; i < order.size(); ++i) {
    const auto parent = order[i].substr(0, order[i].rfind('\\'));
    const auto it = std::find(order.begin(), order.end(), parent);
    EXPECT_TRUE(it != order.end() && it < order.begin() + static_cast<long>(i)) << order[i];
  }
}

// Every path the walk gives resolves back to a folder with that path and the
// same count, in every sample; paths that are not there give no folder.
TEST(LibpffStoreTest, EveryFolderPathResolvesBack) {
  for (const char* file : {"Empty.pst", "dist-list.pst", "enron.pst", "outlook.pst", "passworded.pst"}) {
    auto o = Open(SamplePath(file));
    ASSERT_TRUE(o.store) << file;
    std::vector<WalkedFolder> folders;
    Walk(*o.store->GetRootFolder(), folders);
    for (const auto& f : folders) {
      auto found = o.session->GetFolderFromPath(f.path);
      ASSERT_TRUE(found) << file << " " << f.path;
      EXPECT_EQ(found->GetFolderPath(), f.path);
      EXPECT_EQ(found->GetItems()->GetCount(), f.itemCount) << f.path;
    }
    for (const std::string& missing :
         {folders.front().path + "\\No Such Folder", folders.front().path + "\\", std::string("\\\\Other"),
          folders.front().path.substr(0, folders.front().path.size() - 1)})
      EXPECT_FALSE(o.session->GetFolderFromPath(missing)) << file << " " << missing;
  }
}

TEST(LibpffStoreTest, FoldersStayUsableAfterLogOff) {
  auto o = Open(SamplePath("enron.pst"));
  ASSERT_TRUE(o.store);
  auto folder = o.session->GetFolderFromPath(
      "\\\\Personal folders\\Top of Personal Folders\\lokay-m\\MLOKAY (Non-Privileged)\\Systems");
  ASSERT_TRUE(folder);
  o.session->LogOff();
  EXPECT_FALSE(o.session->GetLoggedOn());
  EXPECT_FALSE(o.session->GetFolderFromPath(folder->GetFolderPath()));
  o.store.reset();
  auto items = folder->GetItems();
  ASSERT_EQ(items->GetCount(), 7);
  EXPECT_FALSE(items->GetItem(7)->GetItemClass().empty());
  EXPECT_FALSE(items->GetItem(8));
  EXPECT_FALSE(items->GetItem(0));
}

// ---- cross-check against readpst -----------------------------------------

struct ReadpstView {
  std::map<std::string, int> filesPerFolder;  // folder below the top, "/"-separated
  // Per folder name, the "skipped" figures readpst prints (it skips items it
  // cannot export, such as distribution lists).
  std::multimap<std::string, std::pair<int, int>> doneSkipped;
};

ReadpstView RunReadpst(const std::string& pst) {
  ReadpstView view;
  char dirTemplate[] = "/tmp/qm-readpst-XXXXXX";
  const std::string dir = ::mkdtemp(dirTemplate);
  const std::string command = "readpst -e -D -o '" + dir + "' '" + pst + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return view;
  char line[4096];
  const std::regex summary("^\\s*\"(.*)\" - (\\d+) items done, (\\d+) items skipped\\.");
  while (std::fgets(line, sizeof line, pipe)) {
    std::cmatch m;
    if (std::regex_search(line, m, summary))
      view.doneSkipped.insert({m[1].str(), {std::stoi(m[2].str()), std::stoi(m[3].str())}});
  }
  ::pclose(pipe);
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    // <dir>/<display name>/<folders below the top>/<n>.eml
    const auto rel = fs::relative(entry.path().parent_path(), dir).string();
    const auto slash = rel.find('/');
    view.filesPerFolder[slash == std::string::npos ? "" : rel.substr(slash + 1)]++;
  }
  fs::remove_all(dir);
  return view;
}

class ReadpstCrossCheck : public ::testing::TestWithParam<const char*> {};

// The folders below "Top of ..." and their item counts, against readpst's
// own reading: one file per message under a folder tree, plus the items it
// says it skipped. readpst leaves out the folders beside the top folder.
TEST_P(ReadpstCrossCheck, FolderItemCountsAgree) {
  if (std::system("command -v readpst >/dev/null 2>&1") != 0) GTEST_SKIP() << "readpst is not installed";
  const auto folders = WalkFile(SamplePath(GetParam()));
  ASSERT_GT(folders.size(), 2u);
  const ReadpstView readpst = RunReadpst(SamplePath(GetParam()));

  std::string topPrefix;
  for (const auto& f : folders)
    if (FolderNameOfPath(f.path).rfind("Top of ", 0) == 0) topPrefix = f.path + "\\";
  ASSERT_FALSE(topPrefix.empty());

  std::map<std::string, int> ours;
  for (const auto& f : folders) {
    if (f.path.rfind(topPrefix, 0) != 0) continue;
    std::string rel = f.path.substr(topPrefix.size());
    for (char& c : rel)
      if (c == '\\') c = '/';
    ours[rel] = f.itemCount;
    const auto it = readpst.filesPerFolder.find(rel);
    const int files = it == readpst.filesPerFolder.end() ? 0 : it->second;
    // readpst counts each sub folder as an item done; the line that belongs
    // to this folder is the one whose "done" is its files and sub folders.
    // Its "skipped" mixes messages it cannot export (distribution lists)
    // with the folder's associated contents, which are not the folder's
    // messages: so with skipped items the count lies between the two.
    int skipped = 0;
    const auto [begin, end] = readpst.doneSkipped.equal_range(FolderNameOfPath(f.path));
    for (auto s = begin; s != end; ++s)
      if (s->second.first == files + f.childCount) skipped = s->second.second;
    if (skipped == 0) {
      EXPECT_EQ(f.itemCount, files) << f.path;
    } else {
      EXPECT_GE(f.itemCount, files) << f.path;
      EXPECT_LE(f.itemCount, files + skipped) << f.path;
    }
  }
  for (const auto& [rel, files] : readpst.filesPerFolder)
    EXPECT_TRUE(ours.count(rel)) << "readpst found " << files << " items in '" << rel << "', which we do not see";
}

INSTANTIATE_TEST_SUITE_P(Samples, ReadpstCrossCheck,
                         ::testing::Values("enron.pst", "outlook.pst", "dist-list.pst", "passworded.pst",
                                           "Empty.pst"));

// ---- item reads ----------------------------------------------------------

TEST(LibpffStoreTest, EnronItemReads) {
  auto o = Open(SamplePath("enron.pst"));
  ASSERT_TRUE(o.store);
  auto folder = o.session->GetFolderFromPath(
      "\\\\Personal folders\\Top of Personal Folders\\lokay-m\\MLOKAY (Non-Privileged)\\TW-Commercial Group");
  ASSERT_TRUE(folder);
  auto items = folder->GetItems();
  ASSERT_EQ(items->GetCount(), 14);
  // The fourth message: "EOL Confirmation -Transwestern Pipeline Company",
  // sent 2001-10-25 16:46:49 UTC by Craig.Buehler@ENRON.com, 11,658 bytes.
  auto item = items->GetItem(4);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->GetItemClass(), "IPM.Note");
  EXPECT_EQ(item->GetSubject(), "EOL Confirmation -Transwestern Pipeline Company");
  EXPECT_EQ(item->GetSenderEmailAddress(), "Craig.Buehler@ENRON.com");
  EXPECT_EQ(item->GetSize(), 11658);
  EXPECT_EQ(item->GetAttachmentCount(), 0);
  const auto sent = item->GetSentTime().ToCivil();  // the tests run with TZ=UTC
  ASSERT_TRUE(sent);
  EXPECT_EQ((std::vector<int>{sent->year, sent->month, sent->day, sent->hour, sent->minute, sent->second}),
            (std::vector<int>{2001, 10, 25, 16, 46, 49}));
  EXPECT_EQ(FormatDateLong(item->GetSentTime()), "Thursday, October 25, 2001");
  EXPECT_NE(item->ReadInternetHeader().find("Message-ID:"), std::string::npos);
  EXPECT_FALSE(item->GetBodyText().empty());
  // Identifiers: stable between openings, distinct within the folder.
  const std::string id = item->GetItemId();
  auto again = Open(SamplePath("enron.pst"));
  auto sameItem = again.session->GetFolderFromPath(folder->GetFolderPath())->GetItems()->GetItem(4);
  EXPECT_EQ(sameItem->GetItemId(), id);
  std::set<std::string> ids;
  for (int32_t i = 1; i <= 14; ++i) ids.insert(items->GetItem(i)->GetItemId());
  EXPECT_EQ(ids.size(), 14u);
}

// The free/busy item beside the top folder of dist-list.pst has no sent
// time: an invalid date, which the long date format shows as "Invalid DateTime".
TEST(LibpffStoreTest, ItemWithoutSentTimeGivesInvalidDate) {
  auto o = Open(SamplePath("dist-list.pst"));
  ASSERT_TRUE(o.store);
  auto freebusy = o.session->GetFolderFromPath("\\\\Personal Folders\\Freebusy Data");
  ASSERT_TRUE(freebusy);
  auto item = freebusy->GetItems()->GetItem(1);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->GetItemClass(), "IPM.Microsoft.ScheduleData.FreeBusy");
  EXPECT_FALSE(item->GetSentTime().IsValid());
  EXPECT_EQ(FormatDateLong(item->GetSentTime()), "Invalid DateTime");
  EXPECT_EQ(item->ReadInternetHeader(), "");
}

// The folder's messages include a distribution list, which readpst skips.
TEST(LibpffStoreTest, ContactsFolderHoldsContactAndDistributionList) {
  auto o = Open(SamplePath("dist-list.pst"));
  ASSERT_TRUE(o.store);
  auto contacts = o.session->GetFolderFromPath("\\\\Personal Folders\\Top of Personal Folders\\Contacts");
  ASSERT_TRUE(contacts);
  auto items = contacts->GetItems();
  ASSERT_EQ(items->GetCount(), 2);
  std::set<std::string> classes;
  for (int32_t i = 1; i <= 2; ++i) classes.insert(items->GetItem(i)->GetItemClass());
  EXPECT_EQ(classes, (std::set<std::string>{"IPM.Contact", "IPM.DistList"}));
}

// ---- files that are not readable PST files --------------------------------

class UnreadableFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dirTemplate[] = "/tmp/qm-store-XXXXXX";
    m_dir = ::mkdtemp(dirTemplate);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = m_dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string m_dir;
};

TEST_F(UnreadableFileTest, OpenGivesNoStoreAndLeavesTheSessionLoggedOff) {
  std::ifstream in(SamplePath("outlook.pst"), std::ios::binary);
  const std::string pst((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> paths = {m_dir + "/missing.pst", m_dir, Write("empty.pst", ""),
                                    Write("text.pst", "This is not a PST file.\n")};
  for (size_t length : {size_t{1}, size_t{100}, size_t{512}, size_t{4096}, size_t{20000}, pst.size() / 2})
    paths.push_back(Write("cut-" + std::to_string(length) + ".pst", pst.substr(0, length)));
  LibpffSessionFactory factory;
  for (const auto& path : paths) {
    auto session = factory.CreateStoreSession();
    EXPECT_FALSE(session->OpenPstStore(path)) << path;
    EXPECT_FALSE(session->GetLoggedOn()) << path;
    EXPECT_FALSE(session->GetFolderFromPath("\\\\Personal Folders")) << path;
  }
}

// A session that opened a file and then fails to open another no longer
// answers for the first one.
TEST_F(UnreadableFileTest, FailedOpenDropsTheEarlierStore) {
  LibpffSessionFactory factory;
  auto session = factory.CreateStoreSession();
  ASSERT_TRUE(session->OpenPstStore(SamplePath("outlook.pst")));
  EXPECT_FALSE(session->OpenPstStore(Write("text.pst", "not a pst")));
  EXPECT_FALSE(session->GetFolderFromPath("\\\\Personal Folders"));
}

}  // namespace
}  // namespace quillmere::store
