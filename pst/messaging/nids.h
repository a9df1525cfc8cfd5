#pragma once
// NIDs: the node types and the NIDs the format reserves.
#include <cstdint>

namespace quillmere::pst::nids {

enum NidType : uint32_t {
  kTypeHid = 0x00,
  kTypeInternal = 0x01,
  kTypeNormalFolder = 0x02,
  kTypeSearchFolder = 0x03,
  kTypeNormalMessage = 0x04,
  kTypeAttachment = 0x05,
  kTypeAssocMessage = 0x08,
  kTypeHierarchyTable = 0x0D,
  kTypeContentsTable = 0x0E,
  kTypeAssocContentsTable = 0x0F,
  kTypeSearchContentsTable = 0x10,
  kTypeAttachmentTable = 0x11,
  kTypeRecipientTable = 0x12,
  kTypeLtp = 0x1F,
};

constexpr uint32_t Make(uint32_t type, uint32_t index) { return (index << 5) | type; }
constexpr uint32_t WithType(uint32_t nid, uint32_t type) { return (nid & ~0x1Fu) | type; }
constexpr uint32_t TypeOf(uint32_t nid) { return nid & 0x1F; }

constexpr uint32_t kMessageStore = 0x21;
constexpr uint32_t kNameToIdMap = 0x61;
constexpr uint32_t kRootFolder = 0x122;
constexpr uint32_t kSearchManagementQueue = 0x1E1;
constexpr uint32_t kSearchActivityList = 0x201;
constexpr uint32_t kSearchDomainObject = 0x261;
constexpr uint32_t kHierarchyTableTemplate = 0x60D;
constexpr uint32_t kContentsTableTemplate = 0x60E;
constexpr uint32_t kAssocContentsTableTemplate = 0x60F;
constexpr uint32_t kSearchContentsTableTemplate = 0x610;
constexpr uint32_t kAttachmentTableTemplate = 0x671;
constexpr uint32_t kRecipientTableTemplate = 0x692;
// Inside a message, its tables are subnodes with these NIDs.
constexpr uint32_t kAttachmentTable = 0x671;
constexpr uint32_t kRecipientTable = 0x692;

// The mandatory folders.
constexpr uint32_t kTopOfPersonalFolders = 0x8022;
constexpr uint32_t kSearchRoot = 0x8042;
constexpr uint32_t kDeletedItems = 0x8062;
constexpr uint32_t kFirstUserFolderIndex = 0x404;
constexpr uint32_t kFirstMessageIndex = 0x10000;

}  // namespace quillmere::pst::nids
