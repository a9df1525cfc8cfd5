// The store's failure rules, shown on the in-memory store: every operation
// but the item reads survives one failure and gives its empty value after
// two; item reads raise to the caller.
#include <gtest/gtest.h>

#include <functional>

#include "store/memory/memory_store.h"

namespace quillmere::store {
namespace {

constexpr const char* kFile = "/mail/a.pst";
constexpr const char* kInbox = "\\\\Mail\\Top of Personal Folders\\Inbox";

class FailureRulesTest : public testing::Test {
 protected:
  FailureRulesTest() {
    MailboxDescription box;
    box.displayName = "Mail";
    ItemDescription item;
    item.subject = "Hello";
    item.attachments = {{"a.txt", "x", std::nullopt}};
    box.folders.push_back({"Inbox", "IPF.Note", {item, item}, {{"Sub", "IPF.Note", {}, {}}}});
    m_sessions.AddFile(kFile, box);
  }

  std::unique_ptr<StoreSession> OpenSession() {
    auto session = m_sessions.CreateStoreSession();
    EXPECT_TRUE(session->OpenPstStore(kFile));
    return session;
  }

  MemoryStoreFactory m_sessions;
};

// Reads the value that one operation gives, as text. The folder is found
// before any fault is planned, so only the operation itself fails.
using Observe = std::function<std::string(StoreSession&, MailFolder&)>;

struct GuardedCase {
  const char* operation;
  Observe observe;
  const char* empty;  // what the caller sees after a second failure
};

TEST_F(FailureRulesTest, OneFailureIsRepeatedAwayTwoGiveTheEmptyValue) {
  const GuardedCase cases[] = {
      {"GetMailClientVersion", [](StoreSession& s, MailFolder&) { return s.GetMailClientVersion(); }, ""},
      {"GetLoggedOn", [](StoreSession& s, MailFolder&) { return std::string(s.GetLoggedOn() ? "yes" : "no"); }, "no"},
      {"GetFolderFromPath",
       [](StoreSession& s, MailFolder&) { return std::string(s.GetFolderFromPath(kInbox) ? "folder" : "none"); }, "none"},
      {"GetFolderPath", [](StoreSession&, MailFolder& f) { return f.GetFolderPath(); }, ""},
      {"GetFolders", [](StoreSession&, MailFolder& f) { return std::string(f.GetFolders() ? "list" : "none"); }, "none"},
      {"GetItems", [](StoreSession&, MailFolder& f) { return std::string(f.GetItems() ? "list" : "none"); }, "none"},
      {"GetCount", [](StoreSession&, MailFolder& f) { return std::to_string(f.GetItems()->GetCount()); }, "0"},
      {"GetItem", [](StoreSession&, MailFolder& f) { return std::string(f.GetItems()->GetItem(1) ? "item" : "none"); }, "none"},
      {"GetAttachments",
       [](StoreSession&, MailFolder& f) { return std::to_string(f.GetItems()->GetItem(1)->GetAttachmentCount()); }, "0"},
  };
  for (const auto& c : cases) {
    auto session = OpenSession();
    auto folder = session->GetFolderFromPath(kInbox);
    ASSERT_NE(folder, nullptr);
    const std::string healthy = c.observe(*session, *folder);
    ASSERT_NE(healthy, c.empty) << c.operation;
    m_sessions.Faults().Fail(c.operation, FaultPlan::Mode::kOnce);
    EXPECT_EQ(c.observe(*session, *folder), healthy) << c.operation << " failing once";
    m_sessions.Faults().Fail(c.operation, FaultPlan::Mode::kOnce);
    m_sessions.Faults().Fail(c.operation, FaultPlan::Mode::kOnce);
    EXPECT_EQ(c.observe(*session, *folder), c.empty) << c.operation << " failing twice";
  }
}

TEST_F(FailureRulesTest, OpeningAFileThatIsNotThereGivesNoStore) {
  auto session = m_sessions.CreateStoreSession();
  EXPECT_EQ(session->OpenPstStore("/mail/other.pst"), nullptr);
  m_sessions.Faults().Fail("OpenPstStore", FaultPlan::Mode::kOnce);
  EXPECT_NE(session->OpenPstStore(kFile), nullptr);
}

TEST_F(FailureRulesTest, ItemReadsRaiseEvenOnTheFirstFailure) {
  const char* reads[] = {"GetItemClass", "GetSentTime", "GetBodyText", "GetSubject", "GetSenderEmailAddress",
                         "GetItemId",    "GetSize",     "ReadInternetHeader"};
  for (const char* read : reads) {
    auto session = OpenSession();
    auto item = session->GetFolderFromPath(kInbox)->GetItems()->GetItem(1);
    m_sessions.Faults().Fail(read, FaultPlan::Mode::kOnce);
    auto call = [&] {
      const std::string r = read;
      if (r == "GetItemClass") item->GetItemClass();
      if (r == "GetSentTime") item->GetSentTime();
      if (r == "GetBodyText") item->GetBodyText();
      if (r == "GetSubject") item->GetSubject();
      if (r == "GetSenderEmailAddress") item->GetSenderEmailAddress();
      if (r == "GetItemId") item->GetItemId();
      if (r == "GetSize") item->GetSize();
      if (r == "ReadInternetHeader") item->ReadInternetHeader();
    };
    EXPECT_THROW(call(), StoreError) << read;
    EXPECT_NO_THROW(call()) << read << " failed once only";
  }
}

TEST_F(FailureRulesTest, SessionCreationCanFail) {
  m_sessions.Faults().Fail("CreateStoreSession", FaultPlan::Mode::kOnce);
  EXPECT_EQ(m_sessions.CreateStoreSession(), nullptr);
  EXPECT_NE(m_sessions.CreateStoreSession(), nullptr);
}

TEST_F(FailureRulesTest, PathsResolveExactlyAndNamesMayHoldBackslashes) {
  MailboxDescription box;
  box.displayName = "Mail";
  box.folders.push_back({"a\\b", "IPF.Note", {}, {{"c", "IPF.Note", {}, {}}}});
  box.folders.push_back({"a", "IPF.Note", {}, {{"b", "IPF.Note", {}, {{"c", "IPF.Note", {}, {}}}}}});
  m_sessions.AddFile("/mail/b.pst", box);
  auto session = m_sessions.CreateStoreSession();
  ASSERT_TRUE(session->OpenPstStore("/mail/b.pst"));
  for (const char* path : {"\\\\Mail\\Top of Personal Folders\\a\\b\\c", "\\\\Mail\\Top of Personal Folders\\a\\b",
                           "\\\\Mail\\Top of Personal Folders\\a", "\\\\Mail"}) {
    auto folder = session->GetFolderFromPath(path);
    ASSERT_NE(folder, nullptr) << path;
    EXPECT_EQ(folder->GetFolderPath(), path);
  }
  for (const char* path : {"\\\\Mail\\Top of Personal Folders\\A", "\\\\Mail\\Top of Personal Folders\\a\\",
                           "\\\\Mai", "\\\\Mail\\Top of Personal Folders\\a\\b\\c\\d", ""}) {
    EXPECT_EQ(session->GetFolderFromPath(path), nullptr) << path;
  }
}

}  // namespace
}  // namespace quillmere::store
