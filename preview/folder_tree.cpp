#include "preview/folder_tree.h"

#include <cctype>

#include "preview/token.h"

namespace quillmere::preview {

using controls::TickTree;
using controls::TreeItem;

namespace {

// Equal when only the letters A-Z and a-z differ in case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

struct NamedImage {
  const char* name;
  int image;
};

// Tried top to bottom before and after the "Search" substring test.
constexpr NamedImage kBeforeSearch[] = {
    {"Junk E-mail", 14}, {"Inbox", 3},          {"Outbox", 6},          {"RSS Feeds", 17},
    {"Sent Items", 7},   {"Drafts", 2},         {"Deleted Items", 16},  {"Large Mail", 15},
    {"Unread Mail", 15}, {"Categorized Mail", 15}, {"Search Folders", 15},
};
constexpr NamedImage kAfterSearch[] = {
    {"Calendar", 1}, {"Tasks", 8}, {"Journal", 4}, {"Notes", 5}, {"Contacts", 11},
};
constexpr int kPlainFolderImage = 10;
constexpr int kSearchImage = 15;

// Every pair of backslashes becomes one (left to right, without overlap);
// then leading white space goes.
std::string PreparePath(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    out.push_back(path[i]);
    if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') ++i;
  }
  size_t start = 0;
  while (start < out.size() && std::isspace(static_cast<unsigned char>(out[start]))) ++start;
  return out.substr(start);
}

}  // namespace

int FolderImage(std::string_view name) {
  for (const NamedImage& entry : kBeforeSearch)
    if (EqualsIgnoringAsciiCase(name, entry.name)) return entry.image;
  if (name.find("Search") != std::string_view::npos) return kSearchImage;
  for (const NamedImage& entry : kAfterSearch)
    if (EqualsIgnoringAsciiCase(name, entry.name)) return entry.image;
  return kPlainFolderImage;
}

std::string FolderItemText(std::string_view name, int32_t itemCount) {
  std::string text(name);
  if (itemCount != 0) text += "[" + std::to_string(itemCount) + "]";
  return text;
}

TreeItem FindChildByName(const std::vector<FolderRecord>& folders, const TickTree& tree, std::string_view name,
                         TreeItem parent) {
  for (TreeItem child = tree.GetChildItem(parent); child != controls::kNoItem;
       child = tree.GetNextSiblingItem(child)) {
    const int64_t index = tree.GetItemData(child);
    if (index >= 0 && static_cast<size_t>(index) < folders.size() &&
        folders[static_cast<size_t>(index)].name == name)
      return child;
  }
  return controls::kNoItem;
}

void AddFolderToTree(const std::vector<FolderRecord>& folders, size_t index, TickTree& tree) {
  if (index >= folders.size()) return;
  const FolderRecord& record = folders[index];
  CToken tokens(PreparePath(record.path), "\\");
  TreeItem parent = controls::kTreeRoot;
  while (tokens.HasMoreTokens()) {
    const std::string component = tokens.NextToken();
    if (component.empty()) continue;
    if (TreeItem found = FindChildByName(folders, tree, component, parent); found != controls::kNoItem) {
      parent = found;
      continue;
    }
    const int image = FolderImage(component);
    controls::InsertRecord insert;
    insert.parent = parent;
    insert.insertAfter = controls::kInsertLast;
    insert.text = FolderItemText(component, record.itemCount);
    insert.image = image;
    insert.selectedImage = image;
    const TreeItem item = tree.AddItem(insert);
    if (item == controls::kNoItem) return;
    if (record.itemCount != 0) tree.SetItemBold(item, true);
    tree.SetItemData(item, static_cast<int64_t>(index));
    if (parent != controls::kTreeRoot) {
      tree.SetItemCheck(parent, true);
      tree.ExpandItem(parent, controls::ExpandAction::kExpand);
    }
    parent = item;
  }
}

int CollectCheckedFolders(const std::vector<FolderRecord>& folders, const TickTree& tree,
                          std::vector<std::string>& selected,
                          const std::function<void(const std::string&)>& notice) {
  TreeItem item = tree.FirstCheckedItem();
  if (item == controls::kNoItem) {
    if (notice) notice(kSelectFoldersText);
    return 0;
  }
  // A folder can stand behind two items (a parent inserted on the way, a
  // name holding a backslash); it is handed on once, or the run would scan
  // it twice.
  std::vector<bool> taken(folders.size(), false);
  for (; item != controls::kNoItem; item = tree.NextItemInOrder(item)) {
    if (!tree.IsItemChecked(item)) continue;
    const int64_t index = tree.GetItemData(item);
    if (index < 0 || static_cast<size_t>(index) >= folders.size() || taken[static_cast<size_t>(index)]) continue;
    taken[static_cast<size_t>(index)] = true;
    selected.push_back(folders[static_cast<size_t>(index)].path);
  }
  return 1;
}

}  // namespace quillmere::preview
