#pragma once
// The folder tree of the preview page: one check-box tree item per folder of
// m_folders, named with its item count, bold when it holds items, with the
// picture its name calls for; and back from the ticked items to the list of
// selected folder paths.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_settings.h"
#include "controls/tick_tree.h"

namespace quillmere::preview {

// The indices of the folder image strip.
inline constexpr int kFolderImageCount = 18;
inline constexpr int kFolderImageWidth = 16;

// The image index for a folder name.
int FolderImage(std::string_view name);

// "Inbox[25]" for 25 items; the bare name for none.
std::string FolderItemText(std::string_view name, int32_t itemCount);

// The first child of `parent` (an item or kTreeRoot) whose folder record is
// named exactly `name`; kNoItem when none is.
controls::TreeItem FindChildByName(const std::vector<FolderRecord>& folders, const controls::TickTree& tree,
                                   std::string_view name, controls::TreeItem parent);

// Adds the folder m_folders[index] under its parent folder's item; the
// parent is ticked and expanded.
void AddFolderToTree(const std::vector<FolderRecord>& folders, size_t index, controls::TickTree& tree);

inline constexpr const char* kSelectFoldersText = "Please select folder(s) to continue the process.";

// Appends the path of every ticked item's folder to `selected`, in tree
// order, each folder once even when two items stand for it. Without any ticked item, `notice` is shown kSelectFoldersText and
// 0 is returned; 1 otherwise.
int CollectCheckedFolders(const std::vector<FolderRecord>& folders, const controls::TickTree& tree,
                          std::vector<std::string>& selected,
                          const std::function<void(const std::string&)>& notice);

}  // namespace quillmere::preview
