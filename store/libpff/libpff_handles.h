#pragma once
// The one place that includes libpff.h: owned handles, and the translation of
// libpff's 1 / 0 / -1 results into found / not found / StoreError.
#include <libpff.h>

#include <memory>
#include <optional>
#include <string>

#include "store/store_error.h"

namespace quillmere::store::libpff {

struct ErrorDeleter {
  void operator()(libpff_error_t* error) const { libpff_error_free(&error); }
};
struct FileDeleter {
  void operator()(libpff_file_t* file) const {
    libpff_file_close(file, nullptr);
    libpff_file_free(&file, nullptr);
  }
};
struct ItemDeleter {
  void operator()(libpff_item_t* item) const { libpff_item_free(&item, nullptr); }
};

struct RecordSetDeleter {
  void operator()(libpff_record_set_t* set) const { libpff_record_set_free(&set, nullptr); }
};
struct RecordEntryDeleter {
  void operator()(libpff_record_entry_t* entry) const { libpff_record_entry_free(&entry, nullptr); }
};

using FileHandle = std::unique_ptr<libpff_file_t, FileDeleter>;
using ItemHandle = std::unique_ptr<libpff_item_t, ItemDeleter>;
using RecordSetHandle = std::unique_ptr<libpff_record_set_t, RecordSetDeleter>;
using RecordEntryHandle = std::unique_ptr<libpff_record_entry_t, RecordEntryDeleter>;

// Collects the error a libpff call may leave and turns a -1 into StoreError
// carrying what we were doing and libpff's own backtrace.
class ErrorSlot {
 public:
  ErrorSlot() = default;
  ErrorSlot(const ErrorSlot&) = delete;
  ErrorSlot& operator=(const ErrorSlot&) = delete;
  ~ErrorSlot() { Clear(); }

  libpff_error_t** Out() {
    Clear();
    return &m_error;
  }
  // 1 found, 0 not found; -1 raises.
  bool Found(int result, const char* what);
  [[noreturn]] void Raise(const char* what);
  std::string Text() const;

 private:
  void Clear() {
    if (m_error) libpff_error_free(&m_error);
    m_error = nullptr;
  }
  libpff_error_t* m_error = nullptr;
};

// Property reads of an item. std::nullopt: the item has no such property.
std::optional<std::string> ReadMessageString(libpff_item_t* item, uint32_t entryType);
std::optional<std::string> ReadItemString(libpff_item_t* item, uint32_t entryType);
std::optional<uint32_t> ReadItem32(libpff_item_t* item, uint32_t entryType);

}  // namespace quillmere::store::libpff
