#pragma once
// The store objects over libpff handles. Every object keeps what it was
// reached from alive (the file, the parent item), so a folder or an item
// stays usable after the session has logged off.
#include <memory>
#include <string>

#include "store/libpff/libpff_handles.h"
#include "store/mail_store.h"

namespace quillmere::store::libpff {

struct OpenFile {
  FileHandle file;
  std::string displayName;  // the store's, or the file's base name
  int32_t pstType = kPstTypeUnknown;
};

// One libpff item and what it depends on; members go in reverse order, so
// the item is freed before its parent and before the file is closed.
struct Node {
  std::shared_ptr<OpenFile> file;
  std::shared_ptr<Node> parent;
  ItemHandle item;
};

std::shared_ptr<OpenFile> OpenPstFile(const std::string& path);
std::unique_ptr<MailFolder> MakeRootFolder(const std::shared_ptr<OpenFile>& file);
std::unique_ptr<MailItem> MakeItem(std::shared_ptr<Node> node);

}  // namespace quillmere::store::libpff
