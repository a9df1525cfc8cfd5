#include "store/memory/memory_store.h"

#include <cstdio>
#include <vector>

#include "store/folder_path.h"

namespace quillmere::store {

struct MemoryItem {
  ItemDescription fields;
  std::string id;
  int32_t size = 0;
};

struct MemoryFolderNode {
  std::string path;
  std::vector<MemoryItem> items;
  std::vector<std::unique_ptr<MemoryFolderNode>> children;
};

struct MemoryFile {
  int32_t pstType = kPstTypeUnicode;
  std::unique_ptr<MemoryFolderNode> root;
};

namespace {

using Faults = std::shared_ptr<FaultPlan>;
using File = std::shared_ptr<const MemoryFile>;

int32_t ComputedSize(const ItemDescription& d) {
  if (d.sizeHint > 0) return d.sizeHint;
  size_t size = 256 + d.subject.size() + d.body.size() + d.htmlBody.size() + d.transportHeaders.size() +
                d.senderEmail.size() + d.senderName.size() + d.receivedByName.size();
  for (const auto& a : d.attachments) size += a.size ? *a.size : a.bytes.size();
  return static_cast<int32_t>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size);
}

void AddFolder(MemoryFolderNode& parent, const FolderDescription& d, int& nextId) {
  auto node = std::make_unique<MemoryFolderNode>();
  node->path = ChildFolderPath(parent.path, d.name);
  for (const auto& item : d.items) {
    for (int32_t c = 0; c < item.copies; ++c) {
      char id[32];
      std::snprintf(id, sizeof id, "m%06d", nextId++);
      node->items.push_back({item, id, ComputedSize(item)});
    }
  }
  for (const auto& child : d.folders) AddFolder(*node, child, nextId);
  parent.children.push_back(std::move(node));
}

class MemoryItemObject final : public MailItem {
 public:
  MemoryItemObject(File file, const MemoryItem& item, Faults faults)
      : m_file(std::move(file)), m_item(item), m_faults(std::move(faults)) {}

  std::string GetItemClass() override { return Read("GetItemClass", m_item.fields.messageClass); }
  OleDate GetSentTime() override {
    Check("GetSentTime");
    return m_item.fields.sentTimeUtc ? OleDate::FromUnixUtc(*m_item.fields.sentTimeUtc) : OleDate();
  }
  std::string GetBodyText() override { return Read("GetBodyText", m_item.fields.body); }
  std::string GetAlternateBodyText() override { return Read("GetAlternateBodyText", m_item.fields.htmlBody); }
  std::string GetSubject() override { return Read("GetSubject", m_item.fields.subject); }
  std::string GetSenderEmailAddress() override {
    return Read("GetSenderEmailAddress", m_item.fields.senderEmail);
  }
  std::string GetSenderName() override { return Read("GetSenderName", m_item.fields.senderName); }
  std::string GetReceiverName() override { return Read("GetReceiverName", m_item.fields.receivedByName); }
  std::string ReadInternetHeader() override {
    return Read("ReadInternetHeader", m_item.fields.transportHeaders);
  }
  std::string GetItemId() override { return Read("GetItemId", m_item.id); }
  int32_t GetSize() override {
    Check("GetSize");
    return m_item.size;
  }

 protected:
  int32_t DoGetAttachmentCount() override {
    Check("GetAttachments");
    return static_cast<int32_t>(m_item.fields.attachments.size());
  }

 private:
  void Check(const char* operation) { m_faults->Check(operation, m_item.fields.subject); }
  std::string Read(const char* operation, const std::string& value) {
    Check(operation);
    return value;
  }

  File m_file;
  const MemoryItem& m_item;
  Faults m_faults;
};

class MemoryItemList final : public ItemList {
 public:
  MemoryItemList(File file, const MemoryFolderNode& folder, Faults faults)
      : m_file(std::move(file)), m_folder(folder), m_faults(std::move(faults)) {}

 protected:
  int32_t DoGetCount() override {
    m_faults->Check("GetCount", m_folder.path);
    return static_cast<int32_t>(m_folder.items.size());
  }
  std::unique_ptr<MailItem> DoGetItem(int32_t index) override {
    m_faults->Check("GetItem", m_folder.path);
    if (index < 1 || index > static_cast<int32_t>(m_folder.items.size()))
      throw StoreError("item index out of range");
    return std::make_unique<MemoryItemObject>(m_file, m_folder.items[index - 1], m_faults);
  }

 private:
  File m_file;
  const MemoryFolderNode& m_folder;
  Faults m_faults;
};

class MemoryFolderObject;

class MemoryFolderList final : public FolderList {
 public:
  MemoryFolderList(File file, const MemoryFolderNode& folder, Faults faults)
      : m_file(std::move(file)), m_folder(folder), m_faults(std::move(faults)) {}

 protected:
  int32_t DoGetCount() override {
    m_faults->Check("GetCount", m_folder.path);
    return static_cast<int32_t>(m_folder.children.size());
  }
  std::unique_ptr<MailFolder> DoGetItem(int32_t index) override;

 private:
  File m_file;
  const MemoryFolderNode& m_folder;
  Faults m_faults;
};

class MemoryFolderObject final : public MailFolder {
 public:
  MemoryFolderObject(File file, const MemoryFolderNode& folder, Faults faults)
      : m_file(std::move(file)), m_folder(folder), m_faults(std::move(faults)) {}

 protected:
  std::string DoGetFolderPath() override {
    m_faults->Check("GetFolderPath", m_folder.path);
    return m_folder.path;
  }
  std::unique_ptr<FolderList> DoGetFolders() override {
    m_faults->Check("GetFolders", m_folder.path);
    return std::make_unique<MemoryFolderList>(m_file, m_folder, m_faults);
  }
  std::unique_ptr<ItemList> DoGetItems() override {
    m_faults->Check("GetItems", m_folder.path);
    return std::make_unique<MemoryItemList>(m_file, m_folder, m_faults);
  }

 private:
  File m_file;
  const MemoryFolderNode& m_folder;
  Faults m_faults;
};

std::unique_ptr<MailFolder> MemoryFolderList::DoGetItem(int32_t index) {
  m_faults->Check("GetItem", m_folder.path);
  if (index < 1 || index > static_cast<int32_t>(m_folder.children.size()))
    throw StoreError("folder index out of range");
  return std::make_unique<MemoryFolderObject>(m_file, *m_folder.children[index - 1], m_faults);
}

class MemoryPstStore final : public PstStore {
 public:
  MemoryPstStore(File file, Faults faults) : m_file(std::move(file)), m_faults(std::move(faults)) {}
  std::string ReaderName() const override { return "memory"; }

 protected:
  int32_t DoGetPstType() override {
    m_faults->Check("GetPstType", m_file->root->path);
    return m_file->pstType;
  }
  std::unique_ptr<MailFolder> DoGetRootFolder() override {
    m_faults->Check("GetRootFolder", m_file->root->path);
    return std::make_unique<MemoryFolderObject>(m_file, *m_file->root, m_faults);
  }

 private:
  File m_file;
  Faults m_faults;
};

class MemorySession final : public StoreSession {
 public:
  MemorySession(const std::map<std::string, File>& files, Faults faults, std::string version)
      : m_files(files), m_faults(std::move(faults)), m_version(std::move(version)) {}

 protected:
  std::string DoGetMailClientVersion() override {
    m_faults->Check("GetMailClientVersion", "");
    return m_version;
  }
  std::unique_ptr<PstStore> DoOpenPstStore(const std::string& path) override {
    m_faults->Check("OpenPstStore", path);
    auto it = m_files.find(path);
    if (it == m_files.end()) throw StoreError("no such file: " + path);
    m_open = it->second;
    return std::make_unique<MemoryPstStore>(m_open, m_faults);
  }
  std::unique_ptr<MailFolder> DoGetFolderFromPath(const std::string& path) override {
    m_faults->Check("GetFolderFromPath", path);
    if (!m_open) throw StoreError("no store is open");
    return FindFolderByPath(std::make_unique<MemoryFolderObject>(m_open, *m_open->root, m_faults), path);
  }
  bool DoGetLoggedOn() override {
    m_faults->Check("GetLoggedOn", "");
    return m_loggedOn;
  }
  void DoLogOff() override {
    m_faults->Check("LogOff", "");
    m_loggedOn = false;
  }

 private:
  const std::map<std::string, File>& m_files;
  Faults m_faults;
  std::string m_version;
  File m_open;
  bool m_loggedOn = true;
};

}  // namespace

MemoryStoreFactory::MemoryStoreFactory() : m_faults(std::make_shared<FaultPlan>()) {}
MemoryStoreFactory::~MemoryStoreFactory() = default;

void MemoryStoreFactory::AddFile(const std::string& path, const MailboxDescription& box) {
  auto file = std::make_shared<MemoryFile>();
  file->pstType = box.format == PstFormat::kAnsi ? kPstTypeAnsi : kPstTypeUnicode;
  file->root = std::make_unique<MemoryFolderNode>();
  file->root->path = RootFolderPath(box.displayName);
  int nextId = 1;
  FolderDescription top{"Top of Personal Folders", "", {}, {}};
  bool hasDeletedItems = false;
  for (const auto& f : box.folders) hasDeletedItems |= f.name == "Deleted Items";
  if (!hasDeletedItems) top.folders.push_back({"Deleted Items", "IPF.Note", {}, {}});
  top.folders.insert(top.folders.end(), box.folders.begin(), box.folders.end());
  AddFolder(*file->root, top, nextId);
  AddFolder(*file->root, {"Search Root", "", {}, {}}, nextId);
  m_files[path] = std::move(file);
}

std::unique_ptr<StoreSession> MemoryStoreFactory::CreateStoreSession() {
  try {
    m_faults->Check("CreateStoreSession", "");
  } catch (const StoreError&) {
    return nullptr;
  }
  ++m_sessions;
  return std::make_unique<MemorySession>(m_files, m_faults, m_version);
}

}  // namespace quillmere::store
