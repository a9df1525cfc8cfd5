#pragma once
// Folder path texts: "\\" + display name for the root, "\" + name below it.
#include <memory>
#include <string>
#include <string_view>

#include "store/mail_store.h"

namespace quillmere::store {

std::string RootFolderPath(std::string_view displayName);
std::string ChildFolderPath(std::string_view parentPath, std::string_view name);
// The text after the last backslash.
std::string FolderNameOfPath(std::string_view path);

// Walks down from the root to the folder whose path text is exactly `path`.
// Names may themselves hold backslashes, so every child whose path is a
// prefix of the wanted one is tried. No object when nothing matches.
std::unique_ptr<MailFolder> FindFolderByPath(std::unique_ptr<MailFolder> root, const std::string& path);

}  // namespace quillmere::store
