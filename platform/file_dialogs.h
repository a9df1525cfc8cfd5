#pragma once
// The open-file dialog and the folder browser as a port.
#include <optional>
#include <string>
#include <vector>

namespace quillmere::platform {

struct OpenFilesRequest {
  std::string title;
  std::string filterName;  // "PST File(s)"
  std::string pattern;     // "*.pst"
  std::string defaultSuffix;
  const void* owner = nullptr;
};

struct BrowseFolderRequest {
  std::string title;
  std::string startFolder;  // where the browser opens (the desktop)
  const void* owner = nullptr;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen files' full paths in the dialog's order; nullopt when cancelled.
  virtual std::optional<std::vector<std::string>> OpenFiles(const OpenFilesRequest& request) = 0;
  // The chosen folder's path; nullopt when cancelled or when the choice is
  // not a folder of the file system.
  virtual std::optional<std::string> BrowseFolder(const BrowseFolderRequest& request) = 0;
};

}  // namespace quillmere::platform
