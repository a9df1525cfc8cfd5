#pragma once
// The user's desktop folder, where the run log goes.
#include <string>

namespace quillmere::platform {

class DesktopFolder {
 public:
  virtual ~DesktopFolder() = default;
  // The folder's full path, created when it is missing; empty when the
  // system names none.
  virtual std::string Path() = 0;
};

// The XDG desktop folder: XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs
// (or ~/.config/user-dirs.dirs), else $HOME/Desktop.
class XdgDesktopFolder final : public DesktopFolder {
 public:
  std::string Path() override;
};

// The path XdgDesktopFolder uses, without creating anything. `userDirsText`
// is the content of user-dirs.dirs (empty when there is none).
std::string ResolveXdgDesktopPath(const std::string& home, const std::string& userDirsText);

}  // namespace quillmere::platform
