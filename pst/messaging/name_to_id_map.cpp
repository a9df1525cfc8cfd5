#include "pst/messaging/name_to_id_map.h"

#include <cstdio>

#include "pst/ndb/crc.h"

namespace quillmere::pst {

Guid GuidFromText(const char* text) {
  unsigned a, b, c, d[8];
  std::sscanf(text, "%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &a, &b, &c, &d[0], &d[1], &d[2], &d[3], &d[4], &d[5],
              &d[6], &d[7]);
  Guid g{};
  Put32(g.data(), a);
  Put16(g.data() + 4, uint16_t(b));
  Put16(g.data() + 6, uint16_t(c));
  for (int i = 0; i < 8; ++i) g[8 + i] = uint8_t(d[i]);
  return g;
}

const Guid kPsetidCommon = GuidFromText("00062008-0000-0000-C000-000000000046");
const Guid kPsetidAddress = GuidFromText("00062004-0000-0000-C000-000000000046");
const Guid kPsInternetHeaders = GuidFromText("00020386-0000-0000-C000-000000000046");
const Guid kPsPublicStrings = GuidFromText("00020329-0000-0000-C000-000000000046");
static const Guid kPsMapi = GuidFromText("00020328-0000-0000-C000-000000000046");

namespace {
constexpr uint32_t kBucketCount = 251;
}

NameToIdMap::NameToIdMap(FileFormat format) : format_(format) {
  // PidLidCurrentVersion, PidLidCurrentVersionName, PidLidPrivate,
  // PidLidReminderSet, PidLidFileUnder, and the X-Mailer header.
  IdFor({kPsetidCommon, 0x8552, {}});
  IdFor({kPsetidCommon, 0x8554, {}});
  IdFor({kPsetidCommon, 0x8506, {}});
  IdFor({kPsetidCommon, 0x8503, {}});
  IdFor({kPsetidAddress, 0x8005, {}});
  IdFor({kPsInternetHeaders, 0, "x-mailer"});
}

uint16_t NameToIdMap::IdFor(const PropertyName& name) {
  auto it = ids_.find(name);
  if (it != ids_.end()) return it->second;
  if (ids_.size() >= 0x7FFE) throw FormatError("name-to-id map: no property IDs left");
  const uint16_t id = uint16_t(0x8000 + ids_.size());
  ids_.emplace(name, id);
  order_.push_back(name);
  return id;
}

ltp::WrittenNode NameToIdMap::Write(ndb::NdbWriter& ndb) const {
  Bytes guids, entries, strings;
  std::map<Guid, uint16_t> guidIndex;
  std::map<uint32_t, Bytes> buckets;
  for (size_t i = 0; i < order_.size(); ++i) {
    const PropertyName& n = order_[i];
    uint16_t wGuid;
    if (n.guid == kPsMapi) {
      wGuid = 1;
    } else if (n.guid == kPsPublicStrings) {
      wGuid = 2;
    } else {
      auto [it, added] = guidIndex.emplace(n.guid, uint16_t(3 + guidIndex.size()));
      if (added) guids.insert(guids.end(), n.guid.begin(), n.guid.end());
      wGuid = it->second;
    }
    const bool isString = !n.name.empty();
    uint32_t propertyId = n.lid;
    uint32_t hashKey = n.lid;
    if (isString) {
      // UTF-16LE name, prefixed by its length in bytes, padded to 4 bytes.
      const std::u16string u = ltp::Utf8ToUtf16(n.name);
      Bytes name(u.size() * 2);
      for (size_t k = 0; k < u.size(); ++k) Put16(name.data() + 2 * k, u[k]);
      propertyId = uint32_t(strings.size());
      const size_t at = strings.size();
      strings.resize(at + 4);
      Put32(strings.data() + at, uint32_t(name.size()));
      strings.insert(strings.end(), name.begin(), name.end());
      strings.resize(ndb::AlignUp(strings.size(), 4), 0);
      hashKey = ndb::ComputeCrc(0, name.data(), name.size());
    }
    const uint16_t guidAndKind = uint16_t((wGuid << 1) | (isString ? 1 : 0));
    auto putNameId = [&](Bytes& out, uint32_t dwPropertyId) {
      const size_t at = out.size();
      out.resize(at + 8);
      Put32(out.data() + at, dwPropertyId);
      Put16(out.data() + at + 4, guidAndKind);
      Put16(out.data() + at + 6, uint16_t(i));
    };
    putNameId(entries, propertyId);
    putNameId(buckets[(hashKey ^ guidAndKind) % kBucketCount], hashKey);
  }
  ltp::PcWriter pc;
  pc.Set(0x0001, ltp::PropValue::Int32(int32_t(kBucketCount)));
  pc.Set(0x0002, ltp::PropValue::Binary(guids));
  pc.Set(0x0003, ltp::PropValue::Binary(entries));
  pc.Set(0x0004, ltp::PropValue::Binary(strings));
  for (const auto& [bucket, bytes] : buckets) pc.Set(uint16_t(0x1000 + bucket), ltp::PropValue::Binary(bytes));
  return pc.Write(ndb);
}

}  // namespace quillmere::pst
