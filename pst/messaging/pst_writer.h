#pragma once
// The messaging layer: writes a whole PST file - message store, name-to-id
// map, the mandatory folders and tables, and the folders and messages the
// caller adds - streaming, in one pass.
//
//   PstWriter w(path, {FileFormat::kUnicode, "Personal Folders"});
//   FolderId inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
//   w.AddMessage(inbox, message);
//   w.Finish();
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "pst/ltp/prop_value.h"
#include "pst/ndb/format.h"

namespace quillmere::pst {

using Guid = std::array<uint8_t, 16>;
Guid GuidFromText(const char* text);  // "00062008-0000-0000-C000-000000000046"

// Well-known property sets of named properties.
extern const Guid kPsetidCommon;
extern const Guid kPsetidAddress;
extern const Guid kPsInternetHeaders;
extern const Guid kPsPublicStrings;

// A named property: a property set and a numeric ID or a name.
struct PropertyName {
  Guid guid{};
  uint32_t lid = 0;  // used when name is empty
  std::string name;
  bool operator<(const PropertyName& o) const {
    return std::tie(guid, name, lid) < std::tie(o.guid, o.name, o.lid);
  }
};

struct Recipient {
  std::string name;
  std::string email;
  int32_t type = 1;  // MAPI_TO 1, MAPI_CC 2, MAPI_BCC 3
};

struct Attachment {
  std::string fileName;
  std::string bytes;
};

struct Message {
  std::string messageClass = "IPM.Note";
  std::string subject;
  std::string senderEmail;
  std::string senderName;
  std::string receivedByName;
  std::string body;
  std::string htmlBody;
  std::string transportHeaders;
  std::optional<int64_t> submitTimeUtc;  // seconds since 1970 UTC
  int32_t sizeHint = 0;                  // PR_MESSAGE_SIZE; 0: computed
  std::vector<Recipient> recipients;
  std::vector<Attachment> attachments;
  std::vector<std::pair<PropertyName, ltp::PropValue>> named;
};

struct WriterOptions {
  FileFormat format = FileFormat::kUnicode;
  std::string displayName = "Personal Folders";
  uint64_t recordKeySeed = 0;  // the store's record key is derived from it
  // PR_MESSAGE_CODEPAGE on the message store when not 0: the code page an
  // ANSI file's readers take its 8-bit strings in (the writer still writes
  // them in windows-1252).
  int32_t storeCodePage = 0;
  // 4 KB-page files: deflate the data blocks that get smaller for it.
  bool compressBlocks = true;
};

using FolderId = uint32_t;  // the folder's NID

class PstWriter {
 public:
  PstWriter(const std::string& path, const WriterOptions& options);
  ~PstWriter();
  PstWriter(const PstWriter&) = delete;
  PstWriter& operator=(const PstWriter&) = delete;

  FolderId TopOfPersonalFolders() const;
  FolderId DeletedItems() const;

  FolderId AddFolder(FolderId parent, const std::string& name, const std::string& containerClass = "IPF.Note");
  void AddMessage(FolderId folder, const Message& message);
  // Writes the folders, the tables, the maps and the header; the file is
  // complete only after this.
  void Finish();

  uint64_t bytesWritten() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillmere::pst
