#include "detect/walk_order.h"

#include <exception>
#include <optional>
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

// The sub folder count under the general rule (one repeat), except that a
// list that cannot be counted is told apart from an empty one.
std::optional<int32_t> CountOf(store::FolderList& list) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      return list.GetCountOrRaise();
    } catch (const std::exception&) {
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> CollectFolderPathsInWalkOrder(std::unique_ptr<store::MailFolder> root,
                                                       int32_t* unreadable) {
  int32_t lost = 0;
  std::vector<std::string> paths;
  if (!root) {
    if (unreadable) *unreadable = 1;
    return paths;
  }
  paths.push_back(root->GetFolderPath());
  std::vector<Level> stack;
  auto descend = [&](store::MailFolder& folder) {
    if (stack.size() >= kMaxDepth) {
      ++lost;
      return;
    }
    Level level;
    level.children = folder.GetFolders();
    const std::optional<int32_t> count = level.children ? CountOf(*level.children) : std::nullopt;
    if (!count) ++lost;
    level.count = count.value_or(0);
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
    if (!child) {
      ++lost;
      continue;
    }
    paths.push_back(child->GetFolderPath());
    descend(*child);
  }
  if (unreadable) *unreadable = lost;
  return paths;
}

}  // namespace quillmere::detect
