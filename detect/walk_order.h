#pragma once
#include <memory>
#include <string>
#include <vector>

#include "store/mail_store.h"

namespace quillmere::detect {

// The path texts of the root and every folder below it, depth first, each
// folder before its sub folders, sub folders in the store's order.
std::vector<std::string> CollectFolderPathsInWalkOrder(std::unique_ptr<store::MailFolder> root);

}  // namespace quillmere::detect
