// The scan of one very large folder: items come one at a time from the list,
// and the screen hears of the progress in batches.
#include "detect/folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "detect/report.h"
#include "tests/fakes/recording_run_sink.h"

namespace quillmere::detect {
namespace {

// Items made when asked for, so the folder can hold a million of them; it
// counts how many are alive at once.
struct Liveness {
  int alive = 0;
  int mostAlive = 0;
};

class MadeItem final : public store::MailItem {
 public:
  MadeItem(int32_t index, Liveness& live) : m_index(index), m_live(live) {
    m_live.mostAlive = std::max(m_live.mostAlive, ++m_live.alive);
  }
  ~MadeItem() override { --m_live.alive; }

  std::string GetItemClass() override { return "IPM.Note"; }
  OleDate GetSentTime() override { return OleDate::FromUnixUtc(1709715600); }
  std::string GetBodyText() override { return ""; }
  std::string GetAlternateBodyText() override { return ""; }
  // A thousand distinct subjects: every later item repeats one of them.
  std::string GetSubject() override { return "subject " + std::to_string(m_index % 1000); }
  std::string GetSenderEmailAddress() override { return "a@example.com"; }
  std::string GetSenderName() override { return ""; }
  std::string GetReceiverName() override { return ""; }
  std::string ReadInternetHeader() override { return ""; }
  std::string GetItemId() override { return std::to_string(m_index); }
  int32_t GetSize() override { return 10; }

 protected:
  int32_t DoGetAttachmentCount() override { return 0; }

 private:
  int32_t m_index;
  Liveness& m_live;
};

class MadeList final : public store::ItemList {
 public:
  MadeList(int32_t count, Liveness& live) : m_count(count), m_live(live) {}

 protected:
  int32_t DoGetCount() override { return m_count; }
  std::unique_ptr<store::MailItem> DoGetItem(int32_t index) override {
    return std::make_unique<MadeItem>(index, m_live);
  }

 private:
  int32_t m_count;
  Liveness& m_live;
};

class MadeFolder final : public store::MailFolder {
 public:
  MadeFolder(int32_t count, Liveness& live) : m_count(count), m_live(live) {}

 protected:
  std::string DoGetFolderPath() override { return "\\\\Mail\\Big"; }
  std::unique_ptr<store::FolderList> DoGetFolders() override { return nullptr; }
  std::unique_ptr<store::ItemList> DoGetItems() override { return std::make_unique<MadeList>(m_count, m_live); }

 private:
  int32_t m_count;
  Liveness& m_live;
};

TEST(FolderScanTest, AMillionItemFolderIsReadOneItemAtATimeWithBatchedProgress) {
  struct Case {
    int32_t items;
    size_t mostUpdates;  // the first and last positions besides the batches
  };
  const Case cases[] = {{1'000'000, 203}, {999, 403}, {1, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.items);
    fakes::RecordingRunSink sink;
    std::vector<int64_t> positions;
    sink.onProgress = [&](int64_t position) { positions.push_back(position); };
    Reporter reporter(sink, nullptr);
    std::atomic<int> running{1};
    ComparisonCriteria criteria;
    criteria.subject = criteria.senderEmail = criteria.attachments = 1;
    const std::vector<DateRange> allTime;
    FingerprintSet seen;
    ScanTotals totals;
    ScanContext ctx{reporter, running, criteria, allTime, seen, totals};
    Liveness live;
    MadeFolder folder(c.items, live);

    const FolderOutcome outcome = ScanFolder(ctx, folder, "\\\\Mail\\Big");

    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.itemsRead, c.items);
    EXPECT_EQ(outcome.duplicates, std::max(0, c.items - 1000));
    EXPECT_EQ(live.mostAlive, 1);
    EXPECT_LE(positions.size(), c.mostUpdates);
    ASSERT_FALSE(positions.empty());
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.back(), c.items);
  }
}

}  // namespace
}  // namespace quillmere::detect
