#include "store/folder_path.h"

namespace quillmere::store {

std::string RootFolderPath(std::string_view displayName) {
  return "\\\\" + std::string(displayName);
}

std::string ChildFolderPath(std::string_view parentPath, std::string_view name) {
  return std::string(parentPath) + "\\" + std::string(name);
}

std::string FolderNameOfPath(std::string_view path) {
  const auto slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

namespace {

std::unique_ptr<MailFolder> Descend(std::unique_ptr<MailFolder> folder, const std::string& folderPath,
                                    const std::string& wanted, int depth) {
  if (folderPath == wanted) return folder;
  // A corrupt file may loop its hierarchy; real trees are far shallower.
  if (depth > 4096) return nullptr;
  auto children = folder->GetFolders();
  if (!children) return nullptr;
  const int32_t count = children->GetCount();
  for (int32_t j = 1; j <= count; ++j) {
    auto child = children->GetItem(j);
    if (!child) continue;
    std::string childPath = child->GetFolderPath();
    if (childPath.empty() || childPath.size() > wanted.size()) continue;
    const bool prefix = wanted.compare(0, childPath.size(), childPath) == 0 &&
                        (childPath.size() == wanted.size() || wanted[childPath.size()] == '\\');
    if (!prefix) continue;
    if (auto found = Descend(std::move(child), childPath, wanted, depth + 1)) return found;
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<MailFolder> FindFolderByPath(std::unique_ptr<MailFolder> root, const std::string& path) {
  if (!root) return nullptr;
  std::string rootPath = root->GetFolderPath();
  if (path.compare(0, rootPath.size(), rootPath) != 0) return nullptr;
  return Descend(std::move(root), rootPath, path, 0);
}

}  // namespace quillmere::store
