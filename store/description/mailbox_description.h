#pragma once
// A mailbox described as data: the folders of a PST file and the items in
// them. The in-memory store is built from it, and the PST writer writes it.
// The JSON form is documented in the README ("Describing a mailbox").
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmere::store {

struct AttachmentDescription {
  std::string fileName;
  std::string bytes;                 // the contents, when given
  std::optional<uint64_t> size;      // generated contents of this size otherwise
};

struct ItemDescription {
  std::string messageClass = "IPM.Note";
  std::string subject;
  std::string senderEmail;
  std::string senderName;
  std::string receivedByName;
  std::string body;
  std::string htmlBody;
  std::string transportHeaders;
  std::optional<int64_t> sentTimeUtc;  // seconds since 1970-01-01 UTC; none: no sent time
  int32_t sizeHint = 0;                // PR_MESSAGE_SIZE; 0 lets the writer compute it
  std::vector<AttachmentDescription> attachments;
  int32_t copies = 1;
};

struct FolderDescription {
  std::string name;
  std::string containerClass = "IPF.Note";
  std::vector<ItemDescription> items;
  std::vector<FolderDescription> folders;
};

// kUnicode4k: the 4 KB-page format of offline files, written as "ost4k".
enum class PstFormat { kUnicode, kAnsi, kUnicode4k };

struct MailboxDescription {
  PstFormat format = PstFormat::kUnicode;
  std::string displayName = "Personal Folders";
  // The folders of "Top of Personal Folders", the tree the user sees.
  std::vector<FolderDescription> folders;
};

// Parses the JSON form; throws std::runtime_error naming the field at fault.
MailboxDescription ParseMailboxDescription(const std::string& jsonText);
MailboxDescription LoadMailboxDescription(const std::string& path);
// "2024-03-06T10:00:00Z" (or without the Z, still UTC) to seconds since the epoch.
std::optional<int64_t> ParseUtcTimestamp(const std::string& text);

}  // namespace quillmere::store
