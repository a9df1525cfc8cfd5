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

namespace {

bool IsValidUtf8(const uint8_t* data, size_t size) {
  size_t i = 0;
  while (i < size) {
    const uint8_t lead = data[i];
    size_t extra = 0;
    uint32_t min = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (i + extra >= size) return false;
    uint32_t cp = lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
      if ((data[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (data[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

// windows-1252 0x80..0x9F; 0 where the code page leaves a byte undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string BytesAsText(const uint8_t* data, size_t size) {
  while (size > 0 && data[size - 1] == 0) --size;
  if (IsValidUtf8(data, size)) return std::string(reinterpret_cast<const char*>(data), size);
  std::string out;
  out.reserve(size + size / 4);
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    uint32_t cp = b;
    if (b >= 0x80 && b <= 0x9F) cp = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace quillmere::store::libpff
