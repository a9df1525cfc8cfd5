// The preview load: statistics lines, fields, progress, the folder list in
// walk order and the tree additions, on the real samples and on a mailbox in
// memory with planned faults; the three failure messages.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_texts.h"
#include "app/run_log.h"
#include "app/utf.h"
#include "preview/preview_loader.h"
#include "store/libpff/libpff_store.h"
#include "store/memory/memory_store.h"
#include "tests/store/sample_files.h"

namespace quillmere::preview {
namespace {

using quillmere::testing::SamplePath;
using store::FaultPlan;

const auto* const kSamplesGuard = ::testing::AddGlobalTestEnvironment(new quillmere::testing::SamplesUnchanged);

// Records what the page was told, in order.
class SpyView final : public PreviewView {
 public:
  void SetFileSizeText(const std::string& t) override { calls.push_back("size " + t); }
  void SetFileTypeText(const std::string& t) override { calls.push_back("type " + t); }
  void SetTotalMailsText(const std::string& t) override { calls.push_back("mails " + t); }
  void SetTotalFolderText(const std::string& t) override { calls.push_back("folders " + t); }
  void SetProgressVisible(bool v) override { calls.push_back(v ? "progress shown" : "progress hidden"); }
  void SetProgressPosition(int p) override { calls.push_back("progress " + std::to_string(p)); }
  void ShowMessage(const std::string& t) override { calls.push_back("message " + t); }
  void AddFolderToTree(size_t i) override {
    if (!tree.empty() || i != 0) EXPECT_EQ(i, tree.size()) << "tree additions out of order";
    tree.push_back(i);
  }
  void EndPage(int result) override { calls.push_back("end " + std::to_string(result)); }

  std::vector<std::string> calls;
  std::vector<size_t> tree;
};

struct Load {
  int exit = -1;
  std::vector<std::string> log;
  SpyView view;
  RunSettings settings;
  int runningAfter = -1;
};

void RunLoad(store::StoreSessionFactory& factory, const std::string& path, Load& load) {
  load.settings.m_currentFile = path;
  PreviewLoader loader(factory, load.settings, load.view, [&](const std::string& l) { load.log.push_back(l); });
  load.exit = loader.LoadPreview();
  load.runningAfter = loader.Running().load();
}

// ---- the samples ------------------------------------------------------------

struct SampleCase {
  const char* file;
  const char* size;
  const char* mails;
  const char* folders;
};

class SamplePreviewTest : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SamplePreviewTest, FourStatisticsLinesFieldsAndTree) {
  const auto& c = GetParam();
  store::LibpffSessionFactory factory;
  Load load;
  RunLoad(factory, SamplePath(c.file), load);
  ASSERT_EQ(load.exit, 1);
  EXPECT_EQ(load.log, (std::vector<std::string>{std::string("PST file size: ") + c.size, "PST file type: UNICODE",
                                                std::string("Total number of emails in selected pst file: ") + c.mails,
                                                std::string("Total number of folders in selected pst file: ") +
                                                    c.folders}));
  EXPECT_EQ(load.view.calls,
            (std::vector<std::string>{"progress shown", "progress 0", std::string("size ") + c.size, "type UNICODE",
                                      std::string("mails ") + c.mails, std::string("folders ") + c.folders,
                                      "progress hidden"}));
  const auto& folders = load.settings.m_folders;
  ASSERT_EQ(std::to_string(folders.size()), c.folders);
  EXPECT_EQ(load.view.tree.size(), folders.size());
  EXPECT_EQ(load.runningAfter, 0);
  // Depth-first pre-order: the root first; each folder right after its
  // parent or after a folder of its parent's subtree.
  uint64_t sum = 0;
  for (size_t i = 0; i < folders.size(); ++i) {
    sum += static_cast<uint64_t>(folders[i].itemCount);
    EXPECT_EQ(folders[i].name, folders[i].path.substr(folders[i].path.rfind('\\') + 1));
    if (i == 0) continue;
    const std::string parent = folders[i].path.substr(0, folders[i].path.rfind('\\'));
    const std::string& previous = folders[i - 1].path;
    EXPECT_TRUE(previous == parent || previous.rfind(parent + "\\", 0) == 0)
        << folders[i].path << " follows " << previous;
  }
  EXPECT_EQ(std::to_string(sum), c.mails);
}

INSTANTIATE_TEST_SUITE_P(Samples, SamplePreviewTest,
                         ::testing::Values(SampleCase{"Empty.pst", "271360", "0", "6"},
                                           SampleCase{"dist-list.pst", "271360", "4", "24"},
                                           SampleCase{"enron.pst", "13984768", "71", "11"},
                                           SampleCase{"outlook.pst", "271360", "2", "22"},
                                           SampleCase{"passworded.pst", "271360", "3", "24"}));

// The same lines reach the run log file, UTF-16LE with CR LF.
TEST(PreviewLoaderTest, StatisticsReachTheRunLog) {
  const std::string dir = std::filesystem::temp_directory_path() / ("qm-preview-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto log = std::make_shared<RunLog>();
  ASSERT_TRUE(log->Create(dir + "/log.txt"));
  store::LibpffSessionFactory factory;
  RunSettings settings;
  settings.m_logFile = log;
  settings.m_currentFile = SamplePath("enron.pst");
  SpyView view;
  PreviewLoader loader(factory, settings, view);
  ASSERT_EQ(loader.LoadPreview(), 1);
  log.reset();
  settings.m_logFile.reset();
  std::ifstream in(dir + "/log.txt", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  const std::string expected =
      "PST file size: 13984768\r\nPST file type: UNICODE\r\n"
      "Total number of emails in selected pst file: 71\r\n"
      "Total number of folders in selected pst file: 11\r\n";
  const std::string got = Utf16ToUtf8(text);
  ASSERT_GE(got.size(), expected.size());
  EXPECT_EQ(got.substr(got.size() - expected.size()), expected);
  std::filesystem::remove_all(dir);
}

// ---- a mailbox in memory ------------------------------------------------------

store::MailboxDescription SmallMailbox(store::PstFormat format) {
  store::MailboxDescription box;
  box.format = format;
  box.displayName = "Mailbox";
  store::FolderDescription inbox{"Inbox", "IPF.Note", {}, {}};
  inbox.items.resize(3);
  store::FolderDescription project{"Project", "IPF.Note", {}, {}};
  project.items.resize(2);
  inbox.folders.push_back(project);
  store::FolderDescription calendar{"Calendar", "IPF.Appointment", {}, {}};
  calendar.items.resize(1);
  calendar.items[0].messageClass = "IPM.Appointment";
  box.folders = {inbox, calendar};
  return box;
}

const std::string kRoot = "\\\\Mailbox";
const std::string kTop = kRoot + "\\Top of Personal Folders";

std::vector<std::string> Paths(const RunSettings& s) {
  std::vector<std::string> paths;
  for (const auto& f : s.m_folders) paths.push_back(f.path + " " + std::to_string(f.itemCount));
  return paths;
}

TEST(PreviewLoaderTest, WalkOrderAndTotalsOfAMailboxInMemory) {
  store::MemoryStoreFactory factory;
  factory.AddFile("/m.pst", SmallMailbox(store::PstFormat::kUnicode));
  Load load;
  RunLoad(factory, "/m.pst", load);
  ASSERT_EQ(load.exit, 1);
  EXPECT_EQ(Paths(load.settings),
            (std::vector<std::string>{kRoot + " 0", kTop + " 0", kTop + "\\Deleted Items 0", kTop + "\\Inbox 3",
                                      kTop + "\\Inbox\\Project 2", kTop + "\\Calendar 1", kRoot + "\\Search Root 0"}));
  // Calendar items count as mails too.
  EXPECT_EQ(load.log[2], "Total number of emails in selected pst file: 6");
  EXPECT_EQ(load.log[3], "Total number of folders in selected pst file: 7");
}

struct TypeCase {
  store::PstFormat format;
  bool failType;
  const char* field;  // empty: the field is not set
  const char* line;
};

class PstTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(PstTypeTest, FieldAndLogLine) {
  const auto& c = GetParam();
  store::MemoryStoreFactory factory;
  factory.AddFile("/m.pst", SmallMailbox(c.format));
  if (c.failType) factory.Faults().Fail("GetPstType", FaultPlan::Mode::kAlways);
  Load load;
  RunLoad(factory, "/m.pst", load);
  ASSERT_EQ(load.exit, 1);
  EXPECT_EQ(load.log.at(1), c.line);
  EXPECT_NE(std::find(load.view.calls.begin(), load.view.calls.end(), std::string("type ") + c.field),
            load.view.calls.end());
}

// A type that cannot be read (after one repeat) is 0: "UNKNOWN".
INSTANTIATE_TEST_SUITE_P(Types, PstTypeTest,
                         ::testing::Values(TypeCase{store::PstFormat::kAnsi, false, "ANSI", "PST file type: ANSI"},
                                           TypeCase{store::PstFormat::kUnicode, false, "UNICODE",
                                                    "PST file type: UNICODE"},
                                           TypeCase{store::PstFormat::kUnicode, true, "UNKNOWN",
                                                    "PST file type: UNKNOWN"}));

struct WalkFaultCase {
  const char* name;
  const char* operation;
  std::string target;
  std::vector<std::string> paths;
  const char* mails;
};

class WalkFaultTest : public ::testing::TestWithParam<WalkFaultCase> {};

// Errors inside the walk show no message: a failing call is repeated once
// and then gives its empty value.
TEST_P(WalkFaultTest, WalkGoesOnWithTheEmptyValue) {
  const auto& c = GetParam();
  store::MemoryStoreFactory factory;
  factory.AddFile("/m.pst", SmallMailbox(store::PstFormat::kUnicode));
  factory.Faults().Fail(c.operation, FaultPlan::Mode::kAlways, c.target);
  Load load;
  RunLoad(factory, "/m.pst", load);
  ASSERT_EQ(load.exit, 1);
  EXPECT_EQ(Paths(load.settings), c.paths);
  EXPECT_EQ(load.log.at(2), std::string("Total number of emails in selected pst file: ") + c.mails);
  EXPECT_EQ(load.view.tree.size(), c.paths.size());
  for (const auto& call : load.view.calls) EXPECT_NE(call.rfind("message", 0), 0u) << call;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WalkFaultTest,
    ::testing::Values(
        // The count fails for Inbox's item list and sub folder list alike.
        WalkFaultCase{"CountOfInbox", "GetCount", kTop + "\\Inbox",
                      {kRoot + " 0", kTop + " 0", kTop + "\\Deleted Items 0", kTop + "\\Inbox 0", kTop + "\\Calendar 1",
                       kRoot + "\\Search Root 0"},
                      "1"},
        // Sub folders of the top folder cannot be had: skipped with everything below them.
        WalkFaultCase{"SubFoldersOfTop", "GetItem", kTop,
                      {kRoot + " 0", kTop + " 0", kRoot + "\\Search Root 0"}, "0"},
        // No sub folder list at the root: one folder.
        WalkFaultCase{"NoFoldersBelowRoot", "GetFolders", kRoot, {kRoot + " 0"}, "0"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- failures A, B, C ------------------------------------------------------------

struct FailureCase {
  const char* name;
  const char* operation;  // planned to fail always; empty: none
  bool noMailClient;
  bool addFile;
  std::string message;
  std::vector<std::string> log;
};

class LoadFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LoadFailureTest, MessageEndsThePage) {
  const auto& c = GetParam();
  store::MemoryStoreFactory factory;
  if (c.addFile) factory.AddFile("/m.pst", SmallMailbox(store::PstFormat::kUnicode));
  if (*c.operation) factory.Faults().Fail(c.operation, FaultPlan::Mode::kAlways);
  if (c.noMailClient) factory.SetMailClientVersion("");
  Load load;
  load.settings.m_folders.push_back({"\\\\earlier", 5, "earlier"});
  RunLoad(factory, "/m.pst", load);
  EXPECT_EQ(load.exit, 0);
  EXPECT_EQ(load.runningAfter, 0);
  EXPECT_EQ(load.log, c.log);
  ASSERT_GE(load.view.calls.size(), 2u);
  EXPECT_EQ(load.view.calls[load.view.calls.size() - 2], "message " + c.message);
  EXPECT_EQ(load.view.calls.back(), "end 1");
  EXPECT_TRUE(load.view.tree.empty());
  for (const auto& call : load.view.calls) EXPECT_NE(call.rfind("mails", 0), 0u);
}

// The file at /m.pst does not exist on disk, so its size text is empty.
INSTANTIATE_TEST_SUITE_P(
    Failures, LoadFailureTest,
    ::testing::Values(FailureCase{"A_NoSession", "CreateStoreSession", false, true, WrongConfigurationText(), {}},
                      FailureCase{"B_NoMailClient", "", true, true, kInstallMailClientText, {}},
                      FailureCase{"C_FileMissing", "", false, false, kCorruptFileText, {"PST file size: "}},
                      FailureCase{"C_OpenFails", "OpenPstStore", false, true, kCorruptFileText, {"PST file size: "}},
                      // A file whose root folder cannot be had is not shown as an empty file.
                      FailureCase{"C_NoRootFolder", "GetRootFolder", false, true, kCorruptFileText,
                                  {"PST file size: ", "PST file type: UNICODE"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreviewLoaderTest, MessageATextEndsWithTheSupportAddress) {
  EXPECT_EQ(WrongConfigurationText(),
            "Wrong configuration is detected.\r\nPlease make sure that MS outlook 64-bit is installed and configured "
            "on your system\r\n. If ms outlook is 64 bit then select x64 version of software otherwise select x86 "
            "version of software\r\n or contact support@example.com ");
}

// Not a PST file on disk: message C after the size line, which has the size.
TEST(PreviewLoaderTest, TextFileGivesCorruptFileMessage) {
  const std::string path = std::filesystem::temp_directory_path() / ("qm-text-" + std::to_string(::getpid()) + ".pst");
  std::ofstream(path) << "plain text, not a PST file\n";
  store::LibpffSessionFactory factory;
  Load load;
  RunLoad(factory, path, load);
  std::filesystem::remove(path);
  EXPECT_EQ(load.exit, 0);
  EXPECT_EQ(load.log, (std::vector<std::string>{"PST file size: 27"}));
  EXPECT_EQ(load.view.calls.back(), "end 1");
}

}  // namespace
}  // namespace quillmere::preview
