// The fast reader with its fallback: a file the fast reader cannot open is
// opened through the other reader's session, which then serves the paths,
// and the caller is told once per file.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <fstream>
#include <functional>

#include "pst/messaging/pst_writer.h"
#include "pst/ndb/structures.h"
#include "store/fast/fast_store.h"
#include "store/memory/memory_store.h"
#include "tests/pst/pst_test_support.h"
#include "tests/store/sample_files.h"

namespace quillmere::store {
namespace {

using quillmere::testing::SamplePath;

class FallbackTest : public ::testing::Test {
 protected:
  FallbackTest() : factory(memory, [this](const std::string& path, const std::string& reason) {
                     notices.emplace_back(path, reason);
                   }) {
    MailboxDescription box;
    box.displayName = "Kept";
    FolderDescription inbox;
    inbox.name = "Inbox";
    box.folders.push_back(inbox);
    memory.AddFile(kOnlyInMemory, box);
  }

  const std::string kOnlyInMemory = "/nonexistent/only-in-memory.pst";
  MemoryStoreFactory memory;
  std::vector<std::pair<std::string, std::string>> notices;
  FastWithFallbackSessionFactory factory;
};

TEST_F(FallbackTest, AFileTheFastReaderCannotOpenIsReadThroughTheFallback) {
  auto session = factory.CreateStoreSession();
  auto store = session->OpenPstStore(kOnlyInMemory);
  ASSERT_TRUE(store);
  EXPECT_NE(store->ReaderName(), "fast");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].first, kOnlyInMemory);
  EXPECT_NE(notices[0].second.find("cannot open"), std::string::npos) << notices[0].second;
  auto inbox = session->GetFolderFromPath("\\\\Kept\\Top of Personal Folders\\Inbox");
  ASSERT_TRUE(inbox);
  EXPECT_EQ(inbox->GetFolderPath(), "\\\\Kept\\Top of Personal Folders\\Inbox");
  EXPECT_TRUE(session->GetLoggedOn());

  // Opened again in the same session: no second notice.
  EXPECT_TRUE(session->OpenPstStore(kOnlyInMemory));
  EXPECT_EQ(notices.size(), 1u);
}

TEST_F(FallbackTest, AFileTheFastReaderOpensStaysWithIt) {
  auto session = factory.CreateStoreSession();
  ASSERT_TRUE(session->OpenPstStore(kOnlyInMemory));
  // The next file is one the fast reader reads: its paths are served by it.
  auto store = session->OpenPstStore(SamplePath("outlook.pst"));
  ASSERT_TRUE(store);
  EXPECT_EQ(store->ReaderName(), "fast");
  EXPECT_EQ(notices.size(), 1u);
  EXPECT_FALSE(session->GetFolderFromPath("\\\\Kept\\Top of Personal Folders\\Inbox"));
  auto root = store->GetRootFolder();
  ASSERT_TRUE(root);
  EXPECT_TRUE(session->GetFolderFromPath(root->GetFolderPath()));
  session->LogOff();
  EXPECT_FALSE(session->GetLoggedOn());
}

TEST_F(FallbackTest, AFileNeitherReaderOpensGivesNoStoreAndNoNotice) {
  auto session = factory.CreateStoreSession();
  EXPECT_FALSE(session->OpenPstStore("/nonexistent/neither.pst"));
  EXPECT_TRUE(notices.empty());
  EXPECT_FALSE(session->GetLoggedOn());
}

// What the fast reader leaves to the other one: files with 4 KB pages and
// files in an encoding other than none or "compressible". Each is refused
// at open with the reason, which the fallback notice passes on.
struct LeftCase {
  const char* name;
  std::function<void(pst::ndb::Header&)> change;
  const char* reason;
};

class LeftToTheOtherReaderTest : public ::testing::TestWithParam<LeftCase> {};

TEST_P(LeftToTheOtherReaderTest, IsRefusedWithTheReason) {
  pst::test_support::TempDir dir;
  const std::string path = dir.File("made.pst");
  {
    pst::PstWriter w(path, {});
    w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
    w.Finish();
  }
  ASSERT_NO_THROW(OpenFastStore(path));
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  pst::Bytes head(pst::ndb::kHeaderSizeUnicode);
  f.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
  pst::ndb::Header h = pst::ndb::DecodeHeader(head.data(), head.size());
  GetParam().change(h);
  head = pst::ndb::EncodeHeader(h);
  f.seekp(0);
  f.write(reinterpret_cast<const char*>(head.data()), std::streamsize(head.size()));
  f.close();
  try {
    OpenFastStore(path);
    FAIL() << "opened";
  } catch (const StoreError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, LeftToTheOtherReaderTest,
    ::testing::Values(LeftCase{"VersionPastTheKnownOnes", [](pst::ndb::Header& h) { h.wVer = 37; }, "unknown wVer 37"},
                      LeftCase{"CyclicEncoding", [](pst::ndb::Header& h) { h.crypt = pst::CryptMethod(2); },
                               "bCryptMethod 2"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillmere::store
