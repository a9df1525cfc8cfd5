#pragma once
// A mail store held in memory, built from mailbox descriptions: the store the
// command-line demo runs on, and the store tests use to plan failures.
//
// Each described file looks like a written PST file: the root folder (named
// by the display name), below it "Top of Personal Folders" with "Deleted
// Items" and the described folders, and "Search Root".
#include <map>
#include <memory>
#include <string>

#include "store/description/mailbox_description.h"
#include "store/mail_store.h"
#include "store/memory/fault_plan.h"

namespace quillmere::store {

struct MemoryFile;

class MemoryStoreFactory final : public StoreSessionFactory {
 public:
  MemoryStoreFactory();
  ~MemoryStoreFactory() override;

  // Makes `path` openable with the described content.
  void AddFile(const std::string& path, const MailboxDescription& box);
  // Operations that may be planned to fail: "CreateStoreSession",
  // "GetMailClientVersion", "OpenPstStore", "GetFolderFromPath", "GetLoggedOn",
  // "LogOff", "GetPstType", "GetRootFolder", "GetFolderPath", "GetFolders",
  // "GetItems", "GetCount", "GetItem", and the item reads "GetItemClass",
  // "GetSentTime", "GetBodyText", "GetAlternateBodyText", "GetSubject",
  // "GetSenderEmailAddress", "GetSenderName", "GetReceiverName",
  // "ReadInternetHeader", "GetItemId", "GetSize", "GetAttachments".
  FaultPlan& Faults() { return *m_faults; }
  void SetMailClientVersion(std::string version) { m_version = std::move(version); }
  int SessionsCreated() const { return m_sessions; }

  std::unique_ptr<StoreSession> CreateStoreSession() override;

 private:
  std::map<std::string, std::shared_ptr<const MemoryFile>> m_files;
  std::shared_ptr<FaultPlan> m_faults;
  std::string m_version = "Velmora Quillmere memory store 1.0";
  int m_sessions = 0;
};

}  // namespace quillmere::store
