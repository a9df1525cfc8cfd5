#pragma once
// The mail store: sessions, stores, folders, items. Callers use the public
// operations, which apply the failure rules; backends implement the Do...
// operations and raise StoreError when one fails.
//
//   session, store, folder, list and profile operations: a failing call is
//   repeated once, then the empty value (no object, 0, false, "");
//   item reads (class, dates, texts, header, identifier, size): raise.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/ole_date.h"
#include "store/store_error.h"

namespace quillmere::store {

class MailItem;
class MailFolder;

class ItemList {
 public:
  virtual ~ItemList() = default;
  int32_t GetCount() { return RepeatOnceOr<int32_t>(0, [&] { return DoGetCount(); }); }
  // The count for the folder scan, where a failure reaches the caller.
  int32_t GetCountOrRaise() { return DoGetCount(); }
  // index from 1; no object when the item cannot be had after one repeat.
  std::unique_ptr<MailItem> GetItem(int32_t index) {
    return RepeatOnceOr<std::unique_ptr<MailItem>>(nullptr, [&] { return DoGetItem(index); });
  }

 protected:
  virtual int32_t DoGetCount() = 0;
  virtual std::unique_ptr<MailItem> DoGetItem(int32_t index) = 0;
};

class FolderList {
 public:
  virtual ~FolderList() = default;
  int32_t GetCount() { return RepeatOnceOr<int32_t>(0, [&] { return DoGetCount(); }); }
  // The count for the folder walk, which tells an unreadable list from an empty one.
  int32_t GetCountOrRaise() { return DoGetCount(); }
  std::unique_ptr<MailFolder> GetItem(int32_t index) {
    return RepeatOnceOr<std::unique_ptr<MailFolder>>(nullptr, [&] { return DoGetItem(index); });
  }

 protected:
  virtual int32_t DoGetCount() = 0;
  virtual std::unique_ptr<MailFolder> DoGetItem(int32_t index) = 0;
};

class MailFolder {
 public:
  virtual ~MailFolder() = default;
  // "\\" + the store's display name for the root, then "\" + each folder name.
  std::string GetFolderPath() { return RepeatOnceOr<std::string>("", [&] { return DoGetFolderPath(); }); }
  std::unique_ptr<FolderList> GetFolders() {
    return RepeatOnceOr<std::unique_ptr<FolderList>>(nullptr, [&] { return DoGetFolders(); });
  }
  // The folder's messages (not its associated contents), under the general rule.
  std::unique_ptr<ItemList> GetItems() {
    return RepeatOnceOr<std::unique_ptr<ItemList>>(nullptr, [&] { return DoGetItems(); });
  }
  // The same list for the folder scan, where a failure reaches the caller.
  std::unique_ptr<ItemList> GetItemsOrRaise() { return DoGetItems(); }

 protected:
  virtual std::string DoGetFolderPath() = 0;
  virtual std::unique_ptr<FolderList> DoGetFolders() = 0;
  virtual std::unique_ptr<ItemList> DoGetItems() = 0;
};

class MailItem {
 public:
  virtual ~MailItem() = default;
  // Item reads: a failure raises StoreError to the caller.
  virtual std::string GetItemClass() = 0;
  // Invalid when the item has no sent time.
  virtual OleDate GetSentTime() = 0;
  virtual std::string GetBodyText() = 0;
  virtual std::string GetAlternateBodyText() = 0;
  // The body text in pieces that join to what GetBodyText gives; false,
  // with nothing fed, when the body is empty. A backend that holds a body
  // in blocks feeds it block by block, so a body of any size is hashed
  // without being held whole.
  virtual bool FeedBodyText(const std::function<void(std::string_view)>& feed) {
    const std::string body = GetBodyText();
    if (body.empty()) return false;
    feed(body);
    return true;
  }
  virtual std::string GetSubject() = 0;
  virtual std::string GetSenderEmailAddress() = 0;
  virtual std::string GetSenderName() = 0;
  virtual std::string GetReceiverName() = 0;
  // The transport message headers; empty when the item has none or they
  // cannot be read. Raises only when the item itself cannot be reached.
  virtual std::string ReadInternetHeader() = 0;
  // A text that identifies the item within its file, stable between runs.
  virtual std::string GetItemId() = 0;
  virtual int32_t GetSize() = 0;

  // The attachment count under the general rule: a failure counts as none.
  int32_t GetAttachmentCount() { return RepeatOnceOr<int32_t>(0, [&] { return DoGetAttachmentCount(); }); }

 protected:
  virtual int32_t DoGetAttachmentCount() = 0;
};

// File formats as the store reports them.
enum PstType : int32_t { kPstTypeUnknown = 0, kPstTypeAnsi = 1, kPstTypeUnicode = 2 };

class PstStore {
 public:
  virtual ~PstStore() = default;
  int32_t GetPstType() { return RepeatOnceOr<int32_t>(kPstTypeUnknown, [&] { return DoGetPstType(); }); }
  std::unique_ptr<MailFolder> GetRootFolder() {
    return RepeatOnceOr<std::unique_ptr<MailFolder>>(nullptr, [&] { return DoGetRootFolder(); });
  }
  // Which reader serves this store, for reports ("libpff", "fast").
  virtual std::string ReaderName() const { return ""; }

 protected:
  virtual int32_t DoGetPstType() = 0;
  virtual std::unique_ptr<MailFolder> DoGetRootFolder() = 0;
};

class StoreSession {
 public:
  virtual ~StoreSession() = default;
  // The reader's name and version; empty means no reader is available.
  std::string GetMailClientVersion() {
    return RepeatOnceOr<std::string>("", [&] { return DoGetMailClientVersion(); });
  }
  // Opens a file for reading only; no object when it is not a readable PST.
  // The store stays open in the session, so folders can be found by path.
  std::unique_ptr<PstStore> OpenPstStore(const std::string& path) {
    return RepeatOnceOr<std::unique_ptr<PstStore>>(nullptr, [&] { return DoOpenPstStore(path); });
  }
  // Resolves a folder path text of an opened store back to its folder.
  std::unique_ptr<MailFolder> GetFolderFromPath(const std::string& path) {
    return RepeatOnceOr<std::unique_ptr<MailFolder>>(nullptr, [&] { return DoGetFolderFromPath(path); });
  }
  std::string GetProfileName() { return RepeatOnceOr<std::string>("", [&] { return DoGetProfileName(); }); }
  bool GetLoggedOn() { return RepeatOnceOr<bool>(false, [&] { return DoGetLoggedOn(); }); }
  void LogOff() {
    RepeatOnceOr<bool>(false, [&] {
      DoLogOff();
      return true;
    });
  }

 protected:
  virtual std::string DoGetMailClientVersion() = 0;
  virtual std::unique_ptr<PstStore> DoOpenPstStore(const std::string& path) = 0;
  virtual std::unique_ptr<MailFolder> DoGetFolderFromPath(const std::string& path) = 0;
  virtual std::string DoGetProfileName() { return ""; }
  virtual bool DoGetLoggedOn() = 0;
  virtual void DoLogOff() = 0;
};

// Makes sessions; gives no object when no session can be created.
class StoreSessionFactory {
 public:
  virtual ~StoreSessionFactory() = default;
  virtual std::unique_ptr<StoreSession> CreateStoreSession() = 0;
};

}  // namespace quillmere::store
