// The fast reader with its fallback: a file the fast reader cannot open is
// opened through the other reader's session, which then serves the paths,
// and the caller is told once per file.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "store/fast/fast_store.h"
#include "store/memory/memory_store.h"
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

}  // namespace
}  // namespace quillmere::store
