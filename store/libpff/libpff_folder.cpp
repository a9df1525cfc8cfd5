// Folders, their sub-folder lists and message lists over libpff.
#include "store/folder_path.h"
#include "store/libpff/libpff_objects.h"

namespace quillmere::store::libpff {

namespace {

std::string FolderName(libpff_item_t* folder) {
  ErrorSlot error;
  size_t size = 0;
  if (!error.Found(libpff_folder_get_utf8_name_size(folder, &size, error.Out()), "reading a folder name") ||
      size == 0)
    return "";
  std::string name(size, '\0');
  if (!error.Found(libpff_folder_get_utf8_name(folder, reinterpret_cast<uint8_t*>(name.data()), size,
                                               error.Out()),
                   "reading a folder name"))
    return "";
  name.resize(std::char_traits<char>::length(name.c_str()));
  return name;
}

class Folder : public MailFolder {
 public:
  Folder(std::shared_ptr<Node> node, std::string path) : m_node(std::move(node)), m_path(std::move(path)) {}

 protected:
  std::string DoGetFolderPath() override { return m_path; }
  std::unique_ptr<FolderList> DoGetFolders() override;
  std::unique_ptr<ItemList> DoGetItems() override;

 private:
  std::shared_ptr<Node> m_node;
  std::string m_path;
};

class SubFolderList : public FolderList {
 public:
  SubFolderList(std::shared_ptr<Node> folder, std::string path)
      : m_folder(std::move(folder)), m_path(std::move(path)) {}

 protected:
  int32_t DoGetCount() override {
    ErrorSlot error;
    int count = 0;
    if (libpff_folder_get_number_of_sub_folders(m_folder->item.get(), &count, error.Out()) != 1)
      error.Raise("counting the sub folders");
    return count;
  }
  std::unique_ptr<MailFolder> DoGetItem(int32_t index) override {
    if (index < 1) throw StoreError("sub folder index out of range");
    ErrorSlot error;
    libpff_item_t* raw = nullptr;
    if (libpff_folder_get_sub_folder(m_folder->item.get(), index - 1, &raw, error.Out()) != 1)
      error.Raise("reading a sub folder");
    auto node = std::make_shared<Node>(Node{m_folder->file, m_folder, ItemHandle(raw)});
    std::string path = ChildFolderPath(m_path, FolderName(raw));
    return std::make_unique<Folder>(std::move(node), std::move(path));
  }

 private:
  std::shared_ptr<Node> m_folder;
  std::string m_path;
};

class MessageList : public ItemList {
 public:
  explicit MessageList(std::shared_ptr<Node> folder) : m_folder(std::move(folder)) {}

 protected:
  int32_t DoGetCount() override {
    ErrorSlot error;
    int count = 0;
    if (libpff_folder_get_number_of_sub_messages(m_folder->item.get(), &count, error.Out()) != 1)
      error.Raise("counting the folder's items");
    return count;
  }
  std::unique_ptr<MailItem> DoGetItem(int32_t index) override {
    if (index < 1) throw StoreError("item index out of range");
    ErrorSlot error;
    libpff_item_t* raw = nullptr;
    if (libpff_folder_get_sub_message(m_folder->item.get(), index - 1, &raw, error.Out()) != 1)
      error.Raise("reading an item of the folder");
    return MakeItem(std::make_shared<Node>(Node{m_folder->file, m_folder, ItemHandle(raw)}));
  }

 private:
  std::shared_ptr<Node> m_folder;
};

std::unique_ptr<FolderList> Folder::DoGetFolders() { return std::make_unique<SubFolderList>(m_node, m_path); }

std::unique_ptr<ItemList> Folder::DoGetItems() { return std::make_unique<MessageList>(m_node); }

}  // namespace

std::unique_ptr<MailFolder> MakeRootFolder(const std::shared_ptr<OpenFile>& file) {
  ErrorSlot error;
  libpff_item_t* raw = nullptr;
  if (!error.Found(libpff_file_get_root_folder(file->file.get(), &raw, error.Out()), "reading the root folder"))
    throw StoreError("the file has no root folder");
  auto node = std::make_shared<Node>(Node{file, nullptr, ItemHandle(raw)});
  return std::make_unique<Folder>(std::move(node), RootFolderPath(file->displayName));
}

}  // namespace quillmere::store::libpff
