#pragma once
// A property value as the lists, tables and properties layer stores it: the
// property type and the value's bytes in their on-disk form.
#include <cstdint>
#include <string>

#include "pst/ndb/bytes.h"
#include "pst/ndb/format.h"

namespace quillmere::pst::ltp {

enum PropType : uint16_t {
  kPtypInteger16 = 0x0002,
  kPtypInteger32 = 0x0003,
  kPtypFloating64 = 0x0005,
  kPtypErrorCode = 0x000A,
  kPtypBoolean = 0x000B,
  kPtypInteger64 = 0x0014,
  kPtypString8 = 0x001E,
  kPtypString = 0x001F,
  kPtypTime = 0x0040,
  kPtypGuid = 0x0048,
  kPtypBinary = 0x0102,
};

struct PropValue {
  uint16_t type = kPtypBinary;
  Bytes data;

  static PropValue Int32(int32_t v);
  static PropValue Bool(bool v);
  static PropValue Int64(int64_t v);
  static PropValue Time(int64_t unixSeconds);  // stored as FILETIME
  static PropValue Binary(const Bytes& v) { return {kPtypBinary, v}; }
  static PropValue Binary(const std::string& v) { return {kPtypBinary, Bytes(v.begin(), v.end())}; }
  // UTF-8 text: UTF-16LE (PtypString) in Unicode files, 8-bit Windows-1252
  // (PtypString8) in ANSI files, characters it lacks written as '?'.
  static PropValue String(const std::string& utf8, FileFormat format);
};

// Whether the value lives inside the 4 bytes of a PC entry.
bool IsInlineInPc(uint16_t type);
// The bytes a value takes in a table row: its own size for fixed types up
// to 8 bytes, 4 (an HNID) for the rest.
size_t RowCellSize(uint16_t type);
bool IsVariableSize(uint16_t type);

std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf8ToCp1252(const std::string& utf8);

}  // namespace quillmere::pst::ltp
