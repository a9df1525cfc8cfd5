#pragma once
#include <memory>
#include <string>
#include <vector>

#include "store/mail_store.h"

namespace quillmere::detect {

// The path texts of the root and every folder below it, depth first, each
// folder before its sub folders, sub folders in the store's order.
// `unreadable`, when given, gets the number of places where the hierarchy
// could not be read (no root, a sub folder list that cannot be had or
// counted, a sub folder that cannot be had, a hierarchy too deep): the
// folders below them are missing from the list.
std::vector<std::string> CollectFolderPathsInWalkOrder(std::unique_ptr<store::MailFolder> root,
                                                       int32_t* unreadable = nullptr);

}  // namespace quillmere::detect
