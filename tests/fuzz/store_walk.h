#pragma once
// Opens a file through a store backend and reads it the way the preview and
// the scan do: the preview load with its whole folder walk, then a run over
// every folder with every comparison criterion, which reads every field of
// every item, and the identifier of each first item and the identifier and
// size of each duplicate; then every field of every item of every folder,
// also the items after a read error that ended a folder's scan.
// Shared by the fuzz targets and their replay.
#include <cstdint>
#include <string>

#include "store/mail_store.h"

namespace quillmere::fuzz {

struct WalkFigures {
  bool opened = false;
  int64_t folders = 0;
  int64_t items = 0;
  int64_t itemsUnreadable = 0;
};

WalkFigures WalkStoreLikePreviewAndScan(store::StoreSessionFactory& sessions, const std::string& path);

// Runs the walk over bytes held in memory, through an anonymous file.
WalkFigures WalkBytes(store::StoreSessionFactory& sessions, const uint8_t* data, size_t size);

}  // namespace quillmere::fuzz
