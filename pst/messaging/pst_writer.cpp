#include "pst/messaging/pst_writer.h"

#include <map>

#include "pst/ltp/ltp_writers.h"
#include "pst/messaging/name_to_id_map.h"
#include "pst/messaging/nids.h"
#include "pst/messaging/table_columns.h"
#include "pst/ndb/crc.h"
#include "pst/ndb/ndb_writer.h"

namespace quillmere::pst {

using ltp::PropValue;
using ltp::TcWriter;

namespace {

// Message flags.
constexpr int32_t kMsgFlagRead = 0x01;
constexpr int32_t kMsgFlagHasAttach = 0x10;
constexpr int32_t kAttachByValue = 1;

struct FolderState {
  uint32_t nid = 0;
  uint32_t parent = 0;
  std::string name;
  std::string containerClass;
  std::vector<uint32_t> children;
  int32_t contentCount = 0;
  std::unique_ptr<TcWriter> contents;
};

Guid RecordKeyFor(const WriterOptions& o) {
  // Deterministic: the same options give the same file.
  Guid g{};
  uint64_t x = o.recordKeySeed ^ 0x9E3779B97F4A7C15ull;
  const uint32_t crc = ndb::ComputeCrc(0, o.displayName.data(), o.displayName.size());
  x ^= uint64_t(crc) << 17;
  for (size_t i = 0; i < 16; ++i) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    g[i] = uint8_t(x);
  }
  return g;
}

std::string ShortFileName(const std::string& name) {
  // An 8.3 form for PR_ATTACH_FILENAME.
  std::string base = name, ext;
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) {
    base = name.substr(0, dot);
    ext = name.substr(dot + 1);
  }
  auto clean = [](std::string s, size_t n) {
    std::string out;
    for (char c : s)
      if (static_cast<unsigned char>(c) < 0x80 && c != ' ' && c != '.') out.push_back(char(std::toupper(c)));
    if (out.empty()) out = "ATTACH";
    return out.size() > n ? out.substr(0, n - 2) + "~1" : out;
  };
  std::string s = clean(base, 8);
  if (!ext.empty()) s += "." + clean(ext, 3).substr(0, 3);
  return s;
}

}  // namespace

class PstWriter::Impl {
 public:
  Impl(const std::string& path, const WriterOptions& options)
      : options_(options), ndb_(path, options.format, options.compressBlocks), recordKey_(RecordKeyFor(options)) {
    AddFolderState(nids::kRootFolder, nids::kRootFolder, "", "");
    AddFolderState(nids::kTopOfPersonalFolders, nids::kRootFolder, "Top of Personal Folders", "");
    AddFolderState(nids::kSearchRoot, nids::kRootFolder, "Search Root", "");
    AddFolderState(nids::kDeletedItems, nids::kTopOfPersonalFolders, "Deleted Items", "IPF.Note");
  }

  FileFormat format() const { return options_.format; }
  bool unicode() const { return options_.format != FileFormat::kAnsi; }
  PropValue Str(const std::string& s) const { return PropValue::String(s, options_.format); }
  uint32_t StrTag(uint16_t id) const { return columns::StringTag(id, options_.format); }

  FolderId AddFolder(FolderId parent, const std::string& name, const std::string& containerClass) {
    if (finished_) throw FormatError("the file is already finished");
    if (!folders_.count(parent) || parent == nids::kRootFolder || parent == nids::kSearchRoot)
      throw FormatError("no folder " + std::to_string(parent) + " to add a folder to");
    const uint32_t nid = nids::Make(nids::kTypeNormalFolder, nextFolderIndex_++);
    AddFolderState(nid, parent, name, containerClass);
    return nid;
  }

  void AddMessage(FolderId folderNid, const Message& m) {
    if (finished_) throw FormatError("the file is already finished");
    auto it = folders_.find(folderNid);
    if (it == folders_.end() || folderNid == nids::kRootFolder || folderNid == nids::kSearchRoot)
      throw FormatError("no folder " + std::to_string(folderNid) + " to add a message to");
    FolderState& folder = it->second;
    const uint32_t nid = nids::Make(nids::kTypeNormalMessage, nextMessageIndex_++);

    ltp::PcWriter pc;
    pc.Set(0x001A, Str(m.messageClass.empty() ? "IPM.Note" : m.messageClass));
    pc.Set(0x0017, PropValue::Int32(1));  // importance: normal
    pc.Set(0x0036, PropValue::Int32(0));  // sensitivity: none
    auto setText = [&](uint16_t id, const std::string& s) {
      if (!s.empty()) pc.Set(id, Str(s));
    };
    setText(0x0037, m.subject);
    setText(0x0070, m.subject);  // conversation topic
    setText(0x0040, m.receivedByName);
    setText(0x007D, m.transportHeaders);
    setText(0x0C1A, m.senderName);
    setText(0x0042, m.senderName);  // sent representing name
    if (!m.senderEmail.empty()) {
      setText(0x0C1F, m.senderEmail);
      setText(0x0C1E, "SMTP");
      setText(0x0065, m.senderEmail);  // sent representing e-mail
      setText(0x0064, "SMTP");
    }
    setText(0x1000, m.body);
    if (!m.htmlBody.empty()) pc.Set(0x1013, PropValue::Binary(m.htmlBody));
    if (m.submitTimeUtc) {
      pc.Set(0x0039, PropValue::Time(*m.submitTimeUtc));
      pc.Set(0x0E06, PropValue::Time(*m.submitTimeUtc));  // delivery time
      pc.Set(0x3007, PropValue::Time(*m.submitTimeUtc));  // creation time
      pc.Set(0x3008, PropValue::Time(*m.submitTimeUtc));  // last modification
    }
    std::string displayTo;
    for (const auto& r : m.recipients)
      if (r.type == 1) displayTo += (displayTo.empty() ? "" : "; ") + r.name;
    setText(0x0E04, displayTo);
    const int32_t flags = kMsgFlagRead | (m.attachments.empty() ? 0 : kMsgFlagHasAttach);
    pc.Set(0x0E07, PropValue::Int32(flags));
    pc.Set(0x0E1B, PropValue::Bool(!m.attachments.empty()));
    for (const auto& [name, value] : m.named) pc.Set(names_.IdFor(name), value);

    // Recipients.
    TcWriter recipients(ndb_, columns::Recipients(format()));
    for (size_t i = 0; i < m.recipients.size(); ++i) {
      const auto& r = m.recipients[i];
      std::map<uint32_t, PropValue> cells = {
          {0x0C150003, PropValue::Int32(r.type)}, {0x0E0F000B, PropValue::Bool(true)},
          {0x0FFE0003, PropValue::Int32(6)},      {0x39000003, PropValue::Int32(0)},
          {StrTag(0x3001), Str(r.name)},          {StrTag(0x3002), Str("SMTP")},
          {StrTag(0x3003), Str(r.email)},         {StrTag(0x39FF), Str(r.name)},
      };
      recipients.AddRow(uint32_t(i), cells);
    }
    const auto rw = recipients.Write();
    pc.subnodes().Add({nids::kRecipientTable, rw.bidData, rw.bidSub});

    // Attachments: each one an object of its own under the message, listed
    // in the attachment table.
    uint64_t attachBytes = 0;
    if (!m.attachments.empty()) {
      TcWriter table(ndb_, columns::Attachments(format()));
      for (const auto& a : m.attachments) {
        const uint32_t attNid = pc.subnodes().NextNid(nids::kTypeAttachment);
        ltp::PcWriter apc;
        apc.Set(0x0E20, PropValue::Int32(int32_t(a.bytes.size())));
        apc.Set(0x3705, PropValue::Int32(kAttachByValue));
        apc.Set(0x370B, PropValue::Int32(-1));
        apc.Set(0x3701, PropValue::Binary(a.bytes));
        apc.Set(0x3001, Str(a.fileName));
        apc.Set(0x3704, Str(ShortFileName(a.fileName)));
        apc.Set(0x3707, Str(a.fileName));
        const auto aw = apc.Write(ndb_);
        pc.subnodes().Add({attNid, aw.bidData, aw.bidSub});
        table.AddRow(attNid, {{0x0E200003, PropValue::Int32(int32_t(a.bytes.size()))},
                              {StrTag(0x3704), Str(ShortFileName(a.fileName))},
                              {0x37050003, PropValue::Int32(kAttachByValue)},
                              {0x370B0003, PropValue::Int32(-1)}});
        attachBytes += a.bytes.size();
      }
      const auto tw = table.Write();
      pc.subnodes().Add({nids::kAttachmentTable, tw.bidData, tw.bidSub});
    }

    int32_t size = m.sizeHint;
    if (size == 0) {
      const uint64_t approx = 512 + m.subject.size() + m.body.size() + m.htmlBody.size() + m.transportHeaders.size() +
                              m.senderName.size() + m.senderEmail.size() + attachBytes;
      size = int32_t(std::min<uint64_t>(approx, INT32_MAX));
    }
    pc.Set(0x0E08, PropValue::Int32(size));
    const auto written = pc.Write(ndb_);
    ndb_.AddNode({nid, written.bidData, written.bidSub, folder.nid});

    if (!folder.contents) folder.contents = std::make_unique<TcWriter>(ndb_, columns::Contents(format()), true);
    std::map<uint32_t, PropValue> row = {
        {StrTag(0x001A), Str(m.messageClass.empty() ? "IPM.Note" : m.messageClass)},
        {0x00170003, PropValue::Int32(1)},
        {0x00360003, PropValue::Int32(0)},
        {0x0E070003, PropValue::Int32(flags)},
        {0x0E080003, PropValue::Int32(size)},
        {0x0E170003, PropValue::Int32(0)},
    };
    if (!m.subject.empty()) {
      row[StrTag(0x0037)] = Str(m.subject);
      row[StrTag(0x0070)] = Str(m.subject);
    }
    if (!m.senderName.empty()) row[StrTag(0x0042)] = Str(m.senderName);
    if (!displayTo.empty()) row[StrTag(0x0E04)] = Str(displayTo);
    if (m.submitTimeUtc) {
      row[0x00390040] = PropValue::Time(*m.submitTimeUtc);
      row[0x0E060040] = PropValue::Time(*m.submitTimeUtc);
      row[0x30080040] = PropValue::Time(*m.submitTimeUtc);
    }
    folder.contents->AddRow(nid, row);
    ++folder.contentCount;
  }

  void Finish() {
    if (finished_) throw FormatError("the file is already finished");
    finished_ = true;
    for (auto& [nid, f] : folders_) WriteFolder(f);
    WriteStore();
    const auto nameMap = names_.Write(ndb_);
    ndb_.AddNode({nids::kNameToIdMap, nameMap.bidData, nameMap.bidSub, 0});
    WriteTemplates();
    for (uint32_t nid : {nids::kSearchManagementQueue, nids::kSearchActivityList, nids::kSearchDomainObject})
      ndb_.AddNode({nid, 0, 0, 0});
    ndb_.Finish(NextNids());
  }

  uint64_t bytesWritten() const { return ndb_.bytesWritten(); }

 private:
  void AddFolderState(uint32_t nid, uint32_t parent, const std::string& name, const std::string& cls) {
    FolderState f;
    f.nid = nid;
    f.parent = parent;
    f.name = name;
    f.containerClass = cls;
    folders_[nid] = std::move(f);
    if (nid != parent) folders_[parent].children.push_back(nid);
  }

  void AddTable(uint32_t nid, TcWriter& tc) {
    const auto w = tc.Write();
    ndb_.AddNode({nid, w.bidData, w.bidSub, 0});
  }

  void WriteFolder(FolderState& f) {
    ltp::PcWriter pc;
    pc.Set(0x3001, Str(f.name));
    pc.Set(0x3602, PropValue::Int32(f.contentCount));
    pc.Set(0x3603, PropValue::Int32(0));
    pc.Set(0x360A, PropValue::Bool(!f.children.empty()));
    if (!f.containerClass.empty()) pc.Set(0x3613, Str(f.containerClass));
    const auto w = pc.Write(ndb_);
    ndb_.AddNode({f.nid, w.bidData, w.bidSub, f.parent});

    TcWriter hierarchy(ndb_, columns::Hierarchy(format()));
    for (uint32_t child : f.children) {
      const FolderState& c = folders_.at(child);
      std::map<uint32_t, PropValue> row = {
          {StrTag(0x3001), Str(c.name)},
          {0x36020003, PropValue::Int32(c.contentCount)},
          {0x36030003, PropValue::Int32(0)},
          {0x360A000B, PropValue::Bool(!c.children.empty())},
      };
      if (!c.containerClass.empty()) row[StrTag(0x3613)] = Str(c.containerClass);
      hierarchy.AddRow(child, row);
    }
    AddTable(nids::WithType(f.nid, nids::kTypeHierarchyTable), hierarchy);
    if (!f.contents) f.contents = std::make_unique<TcWriter>(ndb_, columns::Contents(format()));
    AddTable(nids::WithType(f.nid, nids::kTypeContentsTable), *f.contents);
    f.contents.reset();
    TcWriter associated(ndb_, columns::AssociatedContents(format()));
    AddTable(nids::WithType(f.nid, nids::kTypeAssocContentsTable), associated);
  }

  Bytes EntryId(uint32_t nid) const {
    Bytes id(24, 0);
    std::memcpy(id.data() + 4, recordKey_.data(), 16);
    Put32(id.data() + 20, nid);
    return id;
  }

  void WriteStore() {
    ltp::PcWriter pc;
    pc.Set(0x0FF9, PropValue::Binary(Bytes(recordKey_.begin(), recordKey_.end())));
    pc.Set(0x3001, Str(options_.displayName));
    pc.Set(0x35E0, PropValue::Binary(EntryId(nids::kTopOfPersonalFolders)));
    pc.Set(0x35E3, PropValue::Binary(EntryId(nids::kDeletedItems)));
    pc.Set(0x35E7, PropValue::Binary(EntryId(nids::kSearchRoot)));
    pc.Set(0x35DF, PropValue::Int32(0x89));  // valid folders: subtree, wastebasket, finder
    if (options_.storeCodePage != 0) pc.Set(0x3FFD, PropValue::Int32(options_.storeCodePage));
    const auto w = pc.Write(ndb_);
    ndb_.AddNode({nids::kMessageStore, w.bidData, w.bidSub, 0});
  }

  void WriteTemplates() {
    const struct {
      uint32_t nid;
      std::vector<uint32_t> columns;
    } templates[] = {
        {nids::kHierarchyTableTemplate, columns::Hierarchy(format())},
        {nids::kContentsTableTemplate, columns::Contents(format())},
        {nids::kAssocContentsTableTemplate, columns::AssociatedContents(format())},
        {nids::kSearchContentsTableTemplate, columns::SearchContents(format())},
        {nids::kAttachmentTableTemplate, columns::Attachments(format())},
        {nids::kRecipientTableTemplate, columns::Recipients(format())},
    };
    for (const auto& t : templates) {
      TcWriter tc(ndb_, t.columns);
      AddTable(t.nid, tc);
    }
  }

  std::array<uint32_t, 32> NextNids() const {
    std::array<uint32_t, 32> rgnid;
    rgnid.fill(0x400);
    rgnid[nids::kTypeNormalFolder] = std::max<uint32_t>(0x400, nextFolderIndex_);
    rgnid[nids::kTypeHierarchyTable] = rgnid[nids::kTypeContentsTable] = rgnid[nids::kTypeAssocContentsTable] =
        rgnid[nids::kTypeNormalFolder];
    rgnid[nids::kTypeSearchFolder] = 0x4000;
    rgnid[nids::kTypeNormalMessage] = nextMessageIndex_;
    rgnid[nids::kTypeAssocMessage] = 0x8000;
    return rgnid;
  }

  WriterOptions options_;
  ndb::NdbWriter ndb_;
  Guid recordKey_;
  std::map<uint32_t, FolderState> folders_;
  uint32_t nextFolderIndex_ = nids::kFirstUserFolderIndex;
  uint32_t nextMessageIndex_ = nids::kFirstMessageIndex;
  NameToIdMap names_{options_.format};
  bool finished_ = false;
};

PstWriter::PstWriter(const std::string& path, const WriterOptions& options)
    : impl_(std::make_unique<Impl>(path, options)) {}
PstWriter::~PstWriter() = default;
FolderId PstWriter::TopOfPersonalFolders() const { return nids::kTopOfPersonalFolders; }
FolderId PstWriter::DeletedItems() const { return nids::kDeletedItems; }
FolderId PstWriter::AddFolder(FolderId parent, const std::string& name, const std::string& containerClass) {
  return impl_->AddFolder(parent, name, containerClass);
}
void PstWriter::AddMessage(FolderId folder, const Message& message) { impl_->AddMessage(folder, message); }
void PstWriter::Finish() { impl_->Finish(); }
uint64_t PstWriter::bytesWritten() const { return impl_->bytesWritten(); }

}  // namespace quillmere::pst
