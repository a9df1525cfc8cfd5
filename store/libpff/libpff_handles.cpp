#include "store/libpff/libpff_handles.h"

#include <vector>

namespace quillmere::store::libpff {

bool ErrorSlot::Found(int result, const char* what) {
  if (result == -1) Raise(what);
  return result == 1;
}

void ErrorSlot::Raise(const char* what) {
  std::string text = what;
  const std::string detail = Text();
  if (!detail.empty()) text += ": " + detail;
  throw StoreError(text);
}

std::string ErrorSlot::Text() const {
  if (!m_error) return "";
  std::vector<char> buffer(4096, '\0');
  if (libpff_error_backtrace_sprint(m_error, buffer.data(), buffer.size()) < 0 &&
      libpff_error_sprint(m_error, buffer.data(), buffer.size()) < 0)
    return "";
  std::string text(buffer.data());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

namespace {

template <class SizeCall, class ReadCall>
std::optional<std::string> ReadUtf8(SizeCall&& sizeCall, ReadCall&& readCall, const char* what) {
  ErrorSlot error;
  size_t size = 0;
  if (!error.Found(sizeCall(&size, error.Out()), what)) return std::nullopt;
  if (size == 0) return std::string();
  std::vector<uint8_t> buffer(size, 0);
  if (!error.Found(readCall(buffer.data(), buffer.size(), error.Out()), what)) return std::nullopt;
  buffer.back() = 0;
  return std::string(reinterpret_cast<const char*>(buffer.data()));
}

}  // namespace

std::optional<std::string> ReadMessageString(libpff_item_t* item, uint32_t entryType) {
  return ReadUtf8(
      [&](size_t* size, libpff_error_t** error) {
        return libpff_message_get_entry_value_utf8_string_size(item, entryType, size, error);
      },
      [&](uint8_t* data, size_t size, libpff_error_t** error) {
        return libpff_message_get_entry_value_utf8_string(item, entryType, data, size, error);
      },
      "reading a text property of the item");
}

namespace {

// The item's first record set entry of that property, of any value type;
// none when the item has no such property.
RecordEntryHandle FindEntry(libpff_item_t* item, uint32_t entryType) {
  ErrorSlot error;
  int sets = 0;
  if (libpff_item_get_number_of_record_sets(item, &sets, error.Out()) != 1) error.Raise("reading the item's properties");
  if (sets <= 0) return nullptr;
  libpff_record_set_t* setRaw = nullptr;
  if (libpff_item_get_record_set_by_index(item, 0, &setRaw, error.Out()) != 1)
    error.Raise("reading the item's properties");
  RecordSetHandle set(setRaw);
  libpff_record_entry_t* entryRaw = nullptr;
  if (!error.Found(libpff_record_set_get_entry_by_type(set.get(), entryType, 0, &entryRaw,
                                                       LIBPFF_ENTRY_VALUE_FLAG_MATCH_ANY_VALUE_TYPE, error.Out()),
                   "reading a property"))
    return nullptr;
  return RecordEntryHandle(entryRaw);
}

}  // namespace

std::optional<std::string> ReadItemString(libpff_item_t* item, uint32_t entryType) {
  auto entry = FindEntry(item, entryType);
  if (!entry) return std::nullopt;
  ErrorSlot error;
  size_t size = 0;
  if (libpff_record_entry_get_data_as_utf8_string_size(entry.get(), &size, error.Out()) != 1)
    error.Raise("reading a text property");
  if (size == 0) return std::string();
  std::vector<uint8_t> buffer(size, 0);
  if (libpff_record_entry_get_data_as_utf8_string(entry.get(), buffer.data(), buffer.size(), error.Out()) != 1)
    error.Raise("reading a text property");
  buffer.back() = 0;
  return std::string(reinterpret_cast<const char*>(buffer.data()));
}

std::optional<uint32_t> ReadItem32(libpff_item_t* item, uint32_t entryType) {
  auto entry = FindEntry(item, entryType);
  if (!entry) return std::nullopt;
  ErrorSlot error;
  uint32_t value = 0;
  if (libpff_record_entry_get_data_as_32bit_integer(entry.get(), &value, error.Out()) != 1)
    error.Raise("reading a number property");
  return value;
}

}  // namespace quillmere::store::libpff
