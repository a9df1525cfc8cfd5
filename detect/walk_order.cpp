#include "detect/walk_order.h"

#include <utility>

namespace quillmere::detect {
namespace {

// A damaged file may loop its hierarchy; no real tree is this deep.
constexpr size_t kMaxDepth = 1024;

struct Level {
  std::unique_ptr<store::FolderList> children;
  int32_t count = 0;
  int32_t next = 1;
};

}  // namespace

std::vector<std::string> CollectFolderPathsInWalkOrder(std::unique_ptr<store::MailFolder> root) {
  std::vector<std::string> paths;
  if (!root) return paths;
  paths.push_back(root->GetFolderPath());
  std::vector<Level> stack;
  auto descend = [&](store::MailFolder& folder) {
    if (stack.size() >= kMaxDepth) return;
    Level level;
    level.children = folder.GetFolders();
    level.count = level.children ? level.children->GetCount() : 0;
    stack.push_back(std::move(level));
  };
  descend(*root);
  while (!stack.empty()) {
    Level& top = stack.back();
    if (top.next > top.count) {
      stack.pop_back();
      continue;
    }
    auto child = top.children->GetItem(top.next++);
    if (!child) continue;
    paths.push_back(child->GetFolderPath());
    descend(*child);
  }
  return paths;
}

}  // namespace quillmere::detect
