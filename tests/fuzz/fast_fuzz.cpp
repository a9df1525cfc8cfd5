// Fuzz target: bytes opened as a PST file through our own reader's store
// backend (no fallback to libpff) and read the way the preview and the scan do.
#include <cstddef>
#include <cstdint>

#include "store/fast/fast_store.h"
#include "tests/fuzz/store_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quillmere::store::FastSessionFactory sessions;
  quillmere::fuzz::WalkBytes(sessions, data, size);
  return 0;
}
