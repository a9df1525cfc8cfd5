// Files written by our PST writer, read back by independent readers:
// libpff's pffinfo and pffexport, readpst, and our own libpff store. Each
// case is a small mailbox; every reader must see the same folders, the same
// item counts and, through the store, the same field values.
#include <gtest/gtest.h>

#include <functional>

#include "pst/messaging/pst_writer.h"
#include "pst/ndb/ndb_verifier.h"
#include "tests/pst/pst_test_support.h"
#ifdef QM_HAVE_LIBPFF_STORE
#include "store/libpff/libpff_store.h"
#endif

namespace quillmere::pst {
namespace {

using test_support::HasTool;
using test_support::Quote;
using test_support::RunCommand;
using test_support::TempDir;

// What a case wrote: folder path ('/'-joined below "Top of Personal
// Folders") to its messages, in the order written.
struct Expected {
  std::map<std::string, std::vector<Message>> folders = {{"Deleted Items", {}}};
};

struct Builder {
  PstWriter& writer;
  Expected& expected;
  FolderId Folder(FolderId parent, const std::string& parentPath, const std::string& name) {
    expected.folders[parentPath.empty() ? name : parentPath + "/" + name];
    return writer.AddFolder(parent, name);
  }
  void Add(FolderId folder, const std::string& path, const Message& m) {
    writer.AddMessage(folder, m);
    expected.folders[path].push_back(m);
  }
};

Message Simple(const std::string& subject, size_t bodySize = 60) {
  Message m;
  m.subject = subject;
  m.senderName = "Alice Moreau";
  m.senderEmail = "alice@example.com";
  m.receivedByName = "Dana Whitfield";
  m.body = std::string(bodySize, 'b');
  for (size_t i = 0; i < m.body.size(); i += 37) m.body[i] = char('a' + i % 26);
  m.submitTimeUtc = 1709543700;  // 2024-03-04 09:15 UTC
  m.transportHeaders = "Message-ID: <" + subject + "@example.com>\r\n";
  m.recipients.push_back({"Dana Whitfield", "dana@example.com", 1});
  return m;
}

// One folder of `items` small messages.
std::function<void(Builder&)> BulkFolder(int items) {
  return [items](Builder& b) {
    const FolderId bulk = b.Folder(b.writer.TopOfPersonalFolders(), "", "Bulk");
    for (int i = 0; i < items; ++i) b.Add(bulk, "Bulk", Simple("Bulk item " + std::to_string(i), 40));
  };
}

struct RoundTripCase {
  const char* name;
  FileFormat format;
  std::function<void(Builder&)> build;
  int minNbtLevels = 1;
  int dataTreeDepth = -1;  // deepest XBLOCK level expected, -1: any
};

const RoundTripCase kCases[] = {
    {"EmptyStore", FileFormat::kUnicode, [](Builder&) {}},
    {"OneFolder", FileFormat::kUnicode,
     [](Builder& b) {
       const FolderId inbox = b.Folder(b.writer.TopOfPersonalFolders(), "", "Inbox");
       for (int i = 0; i < 3; ++i) b.Add(inbox, "Inbox", Simple("Message " + std::to_string(i)));
     }},
    {"DeepTree", FileFormat::kUnicode,
     [](Builder& b) {
       FolderId parent = b.writer.TopOfPersonalFolders();
       std::string path;
       for (int level = 1; level <= 8; ++level) {
         const std::string name = "Level " + std::to_string(level);
         parent = b.Folder(parent, path, name);
         path = path.empty() ? name : path + "/" + name;
         b.Add(parent, path, Simple("At level " + std::to_string(level)));
       }
     }},
    {"TwentyThousandItems", FileFormat::kUnicode, BulkFolder(20000), 3, 1},
    {"BodiesPastOneBlockAndOneXBlock", FileFormat::kUnicode,
     [](Builder& b) {
       const FolderId big = b.Folder(b.writer.TopOfPersonalFolders(), "", "Big");
       b.Add(big, "Big", Simple("Two blocks", 9000));
       b.Add(big, "Big", Simple("Past one XBLOCK", 4'500'000));  // UTF-16: 9 MB
     },
     1, 2},
    {"Attachments", FileFormat::kUnicode,
     [](Builder& b) {
       const FolderId f = b.Folder(b.writer.TopOfPersonalFolders(), "", "With files");
       Message m = Simple("Three attachments");
       m.attachments = {{"notes.txt", "plain text\n"}, {"image.bin", std::string(100000, '\x7f')}, {"empty.dat", ""}};
       b.Add(f, "With files", m);
       Message html = Simple("HTML body");
       html.htmlBody = "<html><body><p>Hello</p></body></html>";
       html.attachments = {{"r\xC3\xA9sum\xC3\xA9.pdf", "%PDF-1.4"}};
       b.Add(f, "With files", html);
     }},
    {"SubjectsInSeveralScripts", FileFormat::kUnicode,
     [](Builder& b) {
       const char* subjects[] = {"Отчёт за квартал", "Σύσκεψη αύριο", "季度报告", "会議の議事録", "تقرير الربع",
                                 "회의 일정", "Emoji \xF0\x9F\x93\x8E attached"};
       const FolderId f = b.Folder(b.writer.TopOfPersonalFolders(), "", "收件箱");
       const FolderId g = b.Folder(f, "收件箱", "Входящие");
       for (const char* s : subjects) {
         b.Add(f, "收件箱", Simple(s));
         b.Add(g, "收件箱/Входящие", Simple(s));
       }
     }},
    // 4 KB pages: 126 NBT entries a leaf page, 64 KB blocks, bodies
    // deflated, and table heaps over several blocks (whose HIDs carry the
    // block index higher up).
    {"Ost4kFiveThousandItems", FileFormat::kUnicode4k, BulkFolder(5000), 2, 1},
    {"Ost4kBodiesAttachmentsAndScripts", FileFormat::kUnicode4k,
     [](Builder& b) {
       const FolderId f = b.Folder(b.writer.TopOfPersonalFolders(), "", "收件箱");
       b.Add(f, "收件箱", Simple("Past one 64 KB block", 100000));
       Message m = Simple("Σύσκεψη αύριο");
       m.attachments = {{"notes.txt", "plain text\n"}, {"image.bin", std::string(100000, '\x7f')}, {"empty.dat", ""}};
       b.Add(f, "收件箱", m);
       const FolderId g = b.Folder(f, "收件箱", "Входящие");
       for (int i = 0; i < 30; ++i) b.Add(g, "收件箱/Входящие", Simple("会議の議事録 " + std::to_string(i)));
     },
     1, 1},
    {"AnsiFile", FileFormat::kAnsi,
     [](Builder& b) {
       const FolderId inbox = b.Folder(b.writer.TopOfPersonalFolders(), "", "Bo\xC3\xAEte");
       const FolderId sub = b.Folder(inbox, "Bo\xC3\xAEte", "Archive");
       for (int i = 0; i < 40; ++i) b.Add(inbox, "Bo\xC3\xAEte", Simple("Caf\xC3\xA9 d\xC3\xA9j\xC3\xA0 vu " + std::to_string(i)));
       Message m = Simple("Big ANSI body", 20000);
       m.attachments = {{"data.csv", "a,b\n1,2\n"}};
       b.Add(sub, "Bo\xC3\xAEte/Archive", m);
     }},
};

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {
 protected:
  void SetUp() override {
    WriterOptions o;
    o.format = GetParam().format;
    o.displayName = "Round Trip";
    path_ = dir_.File("out.pst");
    PstWriter writer(path_, o);
    Builder b{writer, expected_};
    GetParam().build(b);
    writer.Finish();
  }

  std::map<std::string, int> ExpectedCounts(bool withEmpty) const {
    std::map<std::string, int> counts;
    for (const auto& [path, items] : expected_.folders)
      if (withEmpty || !items.empty()) counts[path] = int(items.size());
    return counts;
  }

  TempDir dir_;
  std::string path_;
  Expected expected_;
};

TEST_P(RoundTripTest, OurVerifierFindsEveryCrcTrailerAndMapRight) {
  const ndb::VerifyReport r = ndb::VerifyFile(path_);
  EXPECT_GE(r.nbtLevels, GetParam().minNbtLevels);
  if (GetParam().dataTreeDepth >= 0) {
    EXPECT_EQ(r.deepestDataTree, GetParam().dataTreeDepth);
  }
}

TEST_P(RoundTripTest, PffinfoReadsItWithoutError) {
  if (!HasTool(QM_PFFINFO)) GTEST_SKIP() << "pffinfo is not installed";
  const auto r = RunCommand(std::string(QM_PFFINFO) + " " + Quote(path_));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output.find("rror"), std::string::npos) << r.output;
  const char* type = GetParam().format == FileFormat::kAnsi ? "32-bit" : GetParam().format == FileFormat::kUnicode4k ? "64-bit with 4k page" : "64-bit";
  EXPECT_NE(r.output.find(type), std::string::npos) << r.output;
}

TEST_P(RoundTripTest, PffexportSeesTheSameFoldersAndItems) {
  if (!HasTool(QM_PFFEXPORT)) GTEST_SKIP() << "pffexport is not installed";
  const std::string target = dir_.File("x");
  const auto r = RunCommand(std::string(QM_PFFEXPORT) + " -q -t " + Quote(target) + " " + Quote(path_));
  EXPECT_EQ(r.status, 0) << r.output;
  for (const char* bad : {"rror", "nable", "arning"}) EXPECT_EQ(r.output.find(bad), std::string::npos) << r.output;
  EXPECT_EQ(test_support::PffexportCounts(target + ".export"), ExpectedCounts(true));
}

TEST_P(RoundTripTest, ReadpstSeesTheSameFoldersAndItems) {
  if (!HasTool(QM_READPST)) GTEST_SKIP() << "readpst is not installed";
  const std::string out = dir_.File("mbox");
  test_support::fs::create_directory(out);
  const auto r = RunCommand(std::string(QM_READPST) + " -r -q -o " + Quote(out) + " " + Quote(path_));
  EXPECT_EQ(r.status, 0) << r.output;
  for (const char* bad : {"rror", "arning"}) EXPECT_EQ(r.output.find(bad), std::string::npos) << r.output;
  EXPECT_EQ(test_support::ReadpstCounts(out), ExpectedCounts(false));
}

#ifdef QM_HAVE_LIBPFF_STORE
bool HasSupplementary(const std::string& utf8) {
  for (unsigned char c : utf8)
    if (c >= 0xF0) return true;
  return false;
}

void CollectItems(store::MailFolder& folder, const std::string& prefix,
                  std::map<std::string, std::vector<std::unique_ptr<store::MailItem>>>& out) {
  std::string path = folder.GetFolderPath();
  if (path.rfind(prefix, 0) == 0) {
    std::string rel = path.substr(prefix.size());
    for (char& c : rel) {
      if (c == '\\') c = '/';
    }
    auto& items = out[rel];
    if (auto list = folder.GetItems())
      for (int32_t i = 1; i <= list->GetCount(); ++i) items.push_back(list->GetItem(i));
  }
  if (auto children = folder.GetFolders())
    for (int32_t i = 1; i <= children->GetCount(); ++i)
      if (auto child = children->GetItem(i)) CollectItems(*child, prefix, out);
}

TEST_P(RoundTripTest, OurStoreReadsBackEveryFieldWritten) {
  store::LibpffSessionFactory factory;
  auto session = factory.CreateStoreSession();
  auto pst = session->OpenPstStore(path_);
  ASSERT_TRUE(pst);
  EXPECT_EQ(pst->GetPstType(), GetParam().format == FileFormat::kAnsi ? store::kPstTypeAnsi : store::kPstTypeUnicode);
  auto root = pst->GetRootFolder();
  ASSERT_TRUE(root);
  std::map<std::string, std::vector<std::unique_ptr<store::MailItem>>> seen;
  CollectItems(*root, "\\\\Round Trip\\Top of Personal Folders\\", seen);
  ASSERT_EQ(seen.size(), expected_.folders.size());
  for (const auto& [path, messages] : expected_.folders) {
    ASSERT_EQ(seen[path].size(), messages.size()) << path;
    // Field by field on a sample of each folder (every item of small ones).
    const size_t step = messages.size() > 50 ? messages.size() / 25 : 1;
    for (size_t i = 0; i < messages.size(); i += step) {
      const Message& m = messages[i];
      store::MailItem& item = *seen[path][i];
      // libpff decodes UTF-16 surrogate pairs to the wrong code point (readpst
      // reads the same bytes right), so text past the BMP is not compared here.
      if (HasSupplementary(m.subject)) continue;
      EXPECT_EQ(item.GetSubject(), m.subject) << path << " #" << i;
      EXPECT_EQ(item.GetSenderName(), m.senderName);
      EXPECT_EQ(item.GetSenderEmailAddress(), m.senderEmail);
      EXPECT_EQ(item.GetReceiverName(), m.receivedByName);
      EXPECT_EQ(item.GetItemClass(), m.messageClass);
      EXPECT_EQ(item.GetBodyText(), m.body);
      EXPECT_EQ(item.ReadInternetHeader(), m.transportHeaders);
      EXPECT_EQ(item.GetSentTime(), OleDate::FromUnixUtc(*m.submitTimeUtc));
      EXPECT_EQ(item.GetAttachmentCount(), int32_t(m.attachments.size()));
    }
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(Specs, RoundTripTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillmere::pst
