#pragma once
// The columns of the tables every folder and message carries, as the
// templates list them. String columns take the file's string type.
#include <cstdint>
#include <vector>

#include "pst/ndb/format.h"

namespace quillmere::pst::columns {

inline uint32_t StringTag(uint16_t id, FileFormat f) {
  return (uint32_t(id) << 16) | (f != FileFormat::kAnsi ? 0x001F : 0x001E);
}

namespace detail {
// Tags with 0x001F stand for "a string in the file's string type".
inline std::vector<uint32_t> Adapt(std::vector<uint32_t> tags, FileFormat f) {
  for (uint32_t& t : tags)
    if ((t & 0xFFFF) == 0x001F) t = StringTag(uint16_t(t >> 16), f);
  return tags;
}
}  // namespace detail

inline std::vector<uint32_t> Hierarchy(FileFormat f) {
  return detail::Adapt({0x0E300003, 0x0E330014, 0x0E340102, 0x0E380003, 0x3001001F, 0x36020003, 0x36030003,
                        0x360A000B, 0x3613001F, 0x66350003, 0x66360003, 0x67F20003, 0x67F30003},
                       f);
}

inline std::vector<uint32_t> Contents(FileFormat f) {
  return detail::Adapt({0x00170003, 0x001A001F, 0x00360003, 0x0037001F, 0x00390040, 0x0042001F, 0x0057000B,
                        0x0058000B, 0x0070001F, 0x00710102, 0x0E03001F, 0x0E04001F, 0x0E060040, 0x0E070003,
                        0x0E080003, 0x0E170003, 0x0E300003, 0x0E330014, 0x0E340102, 0x0E380003, 0x0E3C0102,
                        0x0E3D0102, 0x10970003, 0x30080040, 0x65C60003, 0x67F20003, 0x67F30003},
                       f);
}

inline std::vector<uint32_t> AssociatedContents(FileFormat f) {
  return detail::Adapt({0x001A001F, 0x0E070003, 0x0E170003, 0x3001001F, 0x67F20003, 0x67F30003}, f);
}

inline std::vector<uint32_t> SearchContents(FileFormat f) {
  return detail::Adapt({0x00170003, 0x001A001F, 0x00360003, 0x0037001F, 0x00390040, 0x0042001F, 0x0057000B,
                        0x0058000B, 0x0070001F, 0x00710102, 0x0E03001F, 0x0E04001F, 0x0E060040, 0x0E070003,
                        0x0E080003, 0x0E170003, 0x30080040, 0x67F20003, 0x67F30003},
                       f);
}

inline std::vector<uint32_t> Recipients(FileFormat f) {
  return detail::Adapt({0x0C150003, 0x0E0F000B, 0x0FF90102, 0x0FFE0003, 0x0FFF0102, 0x3001001F, 0x3002001F,
                        0x3003001F, 0x300B0102, 0x39000003, 0x39FF001F, 0x3A40000B, 0x67F20003, 0x67F30003},
                       f);
}

inline std::vector<uint32_t> Attachments(FileFormat f) {
  return detail::Adapt({0x0E200003, 0x3704001F, 0x37050003, 0x370B0003, 0x67F20003, 0x67F30003}, f);
}

}  // namespace quillmere::pst::columns
