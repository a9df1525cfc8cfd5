#pragma once
// The file-system side of the main window's file list: the folder search
// behind Search Files and the path repair of Add Files.
#include <atomic>
#include <functional>
#include <string>

namespace quillmere::gui {

// True when the text after the last "." of the path's last component
// equals `extension` without regard to letter case: "A.PST" and ".pst"
// match "pst"; "c.pst.bak" and "pst" do not.
bool HasExtension(const std::string& path, const std::string& extension);

// Collapses every run of "/" into one, as a chosen file's path may carry
// a doubled separator.
std::string RepairSelectedPath(const std::string& path);

// Depth first through `folder`, hidden entries included, calling `onMatch`
// with the full path of every file with `extension`, while `running` is 1
// (tested before each entry). Symbolic links to folders are not followed.
// A folder that cannot be read, or fails while it is read, is left silently
// with everything below it.
void SearchFolder(const std::string& folder, const std::string& extension, const std::atomic<int>& running,
                  const std::function<void(const std::string&)>& onMatch);

}  // namespace quillmere::gui
