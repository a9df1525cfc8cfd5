#pragma once
// Opens a file through a store backend and reads it the way the preview and
// the scan do: the statistics and the whole folder walk, then every item of
// every folder with every field the comparison criteria can use, and the
// identifier and size that duplicates need. Shared by the fuzz targets and
// their regression runner.
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
