// Sessions, stores, folders and items over our own PST reader. Every read
// raises StoreError on a format fault; objects keep the open file alive,
// so they stay usable after the session has logged off.
#include "store/fast/fast_store.h"

#include <cinttypes>
#include <cstdio>
#include <algorithm>
#include <optional>
#include <vector>

#include "app/utf.h"
#include "pst/ltp/prop_value.h"
#include "pst/messaging/pst_reader.h"
#include "store/fast/fast_text.h"
#include "store/folder_path.h"

namespace quillmere::store {

namespace fast {
namespace {

using pst::Bytes;

constexpr uint16_t kMessageClass = 0x001A;
constexpr uint16_t kSubject = 0x0037;
constexpr uint16_t kClientSubmitTime = 0x0039;
constexpr uint16_t kReceivedByName = 0x0040;
constexpr uint16_t kTransportHeaders = 0x007D;
constexpr uint16_t kSenderName = 0x0C1A;
constexpr uint16_t kSenderEmailAddress = 0x0C1F;
constexpr uint16_t kMessageSize = 0x0E08;
constexpr uint16_t kBody = 0x1000;
constexpr uint16_t kHtml = 0x1013;
constexpr uint16_t kDisplayName = 0x3001;
constexpr uint16_t kMessageCodepage = 0x3FFD;
constexpr uint16_t kCodePageId = 0x66C3;
constexpr int kWindows1252 = 1252;
// The streams of the name-to-id map.
constexpr uint16_t kNameidStreamGuid = 0x0002;
constexpr uint16_t kNameidStreamEntry = 0x0003;
constexpr uint16_t kNameidStreamString = 0x0004;

// FILETIME: 100-nanosecond ticks since 1601-01-01 UTC.
constexpr int64_t kFiletimeTicksPerSecond = 10'000'000;
constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;

struct OpenFile {
  explicit OpenFile(const std::string& path) : reader(path) {}
  pst::PstReader reader;
  std::string displayName;
  int32_t pstType = kPstTypeUnknown;
  int codepage = kWindows1252;
};

// Runs a read of the format library; its faults become StoreError.
template <typename Call>
auto Guard(const char* what, Call&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const pst::FormatError& e) {
    throw StoreError(std::string(what) + ": " + e.what());
  } catch (const std::bad_alloc&) {
    throw StoreError(std::string(what) + ": out of memory");
  }
}

// A text property; none when the object has no such property or it is
// not text.
// A text property as UTF-8 handed to feed in pieces: long texts (bodies)
// are converted block by block and never joined, except 8-bit text in a
// code page that needs iconv. False when the item has no such text.
template <typename Feed>
bool FeedText(const OpenFile& file, pst::ltp::PropertyContextReader& pc, uint16_t id, Feed&& feed) {
  const pst::ltp::PcEntry* e = pc.Find(id);
  if (!e) return false;
  std::string piece;
  const auto handOn = [&] {
    if (!piece.empty()) feed(std::string_view(piece));
    piece.clear();
  };
  if (e->type == pst::ltp::kPtypString) {
    Utf16Decoder decoder(piece);
    pc.ForEachValuePiece(*e, [&](const uint8_t* data, size_t size) {
      decoder.Feed(data, size);
      handOn();
    });
    decoder.Finish();
    handOn();
    return true;
  }
  if (e->type == pst::ltp::kPtypString8 && file.codepage == kWindows1252) {
    Cp1252Decoder decoder(piece);
    pc.ForEachValuePiece(*e, [&](const uint8_t* data, size_t size) {
      decoder.Feed(data, size);
      handOn();
    });
    return true;
  }
  if (e->type == pst::ltp::kPtypString8) {
    const Bytes v = pc.ReadValue(*e);
    piece = CodePageToUtf8(v.data(), v.size(), file.codepage);
    handOn();
    return true;
  }
  return false;
}

std::optional<std::string> ReadText(const OpenFile& file, pst::ltp::PropertyContextReader& pc, uint16_t id) {
  std::string text;
  if (!FeedText(file, pc, id, [&](std::string_view piece) { text.append(piece); })) return std::nullopt;
  return text;
}

std::optional<uint32_t> ReadInt32(pst::ltp::PropertyContextReader& pc, uint16_t id) {
  const pst::ltp::PcEntry* e = pc.Find(id);
  if (!e || e->type != pst::ltp::kPtypInteger32) return std::nullopt;
  return e->value;
}

std::string BaseNameWithoutExtension(const std::string& path) {
  std::string name = path;
  if (const auto slash = name.rfind('/'); slash != std::string::npos) name = name.substr(slash + 1);
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::shared_ptr<OpenFile> OpenPstFile(const std::string& path) {
  return Guard("cannot open the file with the fast reader", [&] {
    auto file = std::make_shared<OpenFile>(path);
    file->pstType = file->reader.format() == pst::FileFormat::kAnsi ? kPstTypeAnsi : kPstTypeUnicode;
    // A message store that cannot be read leaves windows-1252 and the
    // file's name, as with the other reader.
    try {
      auto store = file->reader.OpenProperties(pst::nids::kMessageStore);
      if (file->pstType == kPstTypeAnsi)
        for (uint16_t id : {kMessageCodepage, kCodePageId})
          if (auto cp = ReadInt32(*store, id); cp && *cp != 0 && IsKnownCodePage(int(*cp))) {
            file->codepage = int(*cp);
            break;
          }
      if (auto name = ReadText(*file, *store, kDisplayName)) file->displayName = *name;
    } catch (const pst::FormatError&) {
    }
    if (file->displayName.empty()) file->displayName = BaseNameWithoutExtension(path);
    // The name-to-id map is never resolved here, but a file whose map
    // cannot be read is not a readable file for the other reader either.
    if (file->reader.ndb().FindNode(pst::nids::kNameToIdMap)) {
      auto map = file->reader.OpenProperties(pst::nids::kNameToIdMap);
      for (uint16_t stream : {kNameidStreamGuid, kNameidStreamEntry, kNameidStreamString})
        if (const pst::ltp::PcEntry* e = map->Find(stream)) map->ForEachValuePiece(*e, [](const uint8_t*, size_t) {});
    }
    // The root folder must be in the file; what it holds is read as asked for.
    return file;
  });
}

// A subject may begin with U+0001 and one character giving the length of
// its prefix ("RE: "); the subject as the user sees it has neither.
std::string StripSubjectPrefixMarker(std::string subject) {
  if (subject.size() >= 2 && subject[0] == '\x01') {
    const auto lead = static_cast<unsigned char>(subject[1]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    subject.erase(0, std::min(subject.size(), 1 + length));
  }
  return subject;
}

class Item : public MailItem {
 public:
  // The item's properties are read on the first field read, so an item
  // whose node cannot be read is still listed and its reads raise.
  Item(std::shared_ptr<OpenFile> file, const pst::ndb::NbtEntry& node)
      : m_file(std::move(file)), m_node(node) {}

  std::string GetItemClass() override { return Text(kMessageClass); }
  OleDate GetSentTime() override {
    return Guard("reading the item's sent time", [&] {
      const pst::ltp::PcEntry* e = Pc().Find(kClientSubmitTime);
      if (!e || e->type != pst::ltp::kPtypTime) return OleDate();
      const Bytes v = Pc().ReadValue(*e);
      if (v.size() < 8) throw pst::FormatError("PtypTime value shorter than 8 bytes");
      const uint64_t filetime = pst::Get64(v.data());
      const int64_t seconds = static_cast<int64_t>(filetime / kFiletimeTicksPerSecond) - kSecondsFrom1601To1970;
      return OleDate::FromUnixUtc(seconds);
    });
  }
  std::string GetBodyText() override { return Text(kBody); }
  bool FeedBodyText(const std::function<void(std::string_view)>& feed) override {
    return Guard("reading a text property of the item", [&] {
      bool fed = false;
      FeedText(*m_file, Pc(), kBody, [&](std::string_view piece) {
        fed = true;
        feed(piece);
      });
      return fed;
    });
  }
  std::string GetAlternateBodyText() override {
    return Guard("reading the item's body", [&] {
      const pst::ltp::PcEntry* e = Pc().Find(kHtml);
      if (!e || pst::ltp::IsInlineType(e->type)) return std::string();
      const Bytes v = Pc().ReadValue(*e);
      return BytesAsText(v.data(), v.size());
    });
  }
  std::string GetSubject() override { return StripSubjectPrefixMarker(Text(kSubject)); }
  std::string GetSenderEmailAddress() override { return Text(kSenderEmailAddress); }
  std::string GetSenderName() override { return Text(kSenderName); }
  std::string GetReceiverName() override { return Text(kReceivedByName); }
  std::string ReadInternetHeader() override {
    try {
      return Text(kTransportHeaders);
    } catch (const StoreError&) {
      return "";
    }
  }
  std::string GetItemId() override {
    char text[16];
    std::snprintf(text, sizeof text, "%08" PRIX32, m_node.nid);
    return text;
  }
  int32_t GetSize() override {
    return Guard("reading the item's size", [&] { return static_cast<int32_t>(ReadInt32(Pc(), kMessageSize).value_or(0)); });
  }

 protected:
  int32_t DoGetAttachmentCount() override {
    return Guard("counting the item's attachments", [&] {
      auto table = m_file->reader.OpenSubnodeTable(Pc(), pst::nids::kAttachmentTable);
      return table ? static_cast<int32_t>(table->rowCount()) : 0;
    });
  }

 private:
  std::string Text(uint16_t id) {
    return Guard("reading a text property of the item", [&] { return ReadText(*m_file, Pc(), id).value_or(""); });
  }

  // Within Guard: a fault of the format library raises StoreError.
  pst::ltp::PropertyContextReader& Pc() {
    if (!m_pc) m_pc = m_file->reader.OpenProperties(m_node);
    return *m_pc;
  }

  std::shared_ptr<OpenFile> m_file;
  pst::ndb::NbtEntry m_node;
  std::unique_ptr<pst::ltp::PropertyContextReader> m_pc;
};

class Folder : public MailFolder {
 public:
  Folder(std::shared_ptr<OpenFile> file, uint32_t nid, std::string path)
      : m_file(std::move(file)), m_nid(nid), m_path(std::move(path)) {}

 protected:
  std::string DoGetFolderPath() override { return m_path; }
  std::unique_ptr<FolderList> DoGetFolders() override;
  std::unique_ptr<ItemList> DoGetItems() override;

 private:
  std::shared_ptr<OpenFile> m_file;
  uint32_t m_nid;
  std::string m_path;
};

// The objects a folder's table lists, in the order of its row index (the
// order of their NIDs), each one a node whose parent is the folder. The
// table is opened on first use and its index read one record at a time,
// so a folder's list is never held whole. A folder without the table has
// no rows; one whose table cannot be read raises.
class TableRows {
 public:
  TableRows(std::shared_ptr<OpenFile> file, uint32_t folderNid, uint32_t tableNid)
      : m_file(std::move(file)), m_folderNid(folderNid), m_tableNid(tableNid) {}
  int32_t Count() {
    return Guard("reading the folder's table", [&] {
      Open();
      return m_table ? static_cast<int32_t>(m_table->indexCount()) : 0;
    });
  }
  // The node of row `index` (from 1); raises when the file has no such
  // node below the folder.
  pst::ndb::NbtEntry Node(int32_t index) {
    const auto node = Guard("reading a row of the folder's table", [&] {
      Open();
      if (!m_table || index < 1 || size_t(index) > m_table->indexCount()) throw StoreError("index out of range");
      return m_file->reader.ndb().FindNode(m_table->IndexRowId(size_t(index - 1)));
    });
    if (!node) throw StoreError("the folder's table lists a node the file does not have");
    if (node->nidParent != m_folderNid) throw StoreError("the folder's table lists a node of another folder");
    return *node;
  }
  const std::shared_ptr<OpenFile>& file() const { return m_file; }

 private:
  void Open() {
    if (m_opened) return;
    m_table = m_file->reader.OpenTable(m_tableNid);
    m_opened = true;
  }
  std::shared_ptr<OpenFile> m_file;
  uint32_t m_folderNid;
  uint32_t m_tableNid;
  bool m_opened = false;
  std::unique_ptr<pst::ltp::TableContextReader> m_table;
};

class SubFolderList : public FolderList {
 public:
  SubFolderList(std::shared_ptr<OpenFile> file, uint32_t folderNid, std::string path)
      : m_rows(file, folderNid, pst::PstReader::HierarchyTableOf(folderNid)), m_path(std::move(path)) {}

 protected:
  int32_t DoGetCount() override { return m_rows.Count(); }
  std::unique_ptr<MailFolder> DoGetItem(int32_t index) override {
    const pst::ndb::NbtEntry node = m_rows.Node(index);
    const auto& file = m_rows.file();
    std::string name = Guard("reading a sub folder", [&] {
      auto pc = file->reader.OpenProperties(node);
      return ReadText(*file, *pc, kDisplayName).value_or("");
    });
    return std::make_unique<Folder>(file, node.nid, ChildFolderPath(m_path, name));
  }

 private:
  TableRows m_rows;
  std::string m_path;
};

class MessageList : public ItemList {
 public:
  MessageList(std::shared_ptr<OpenFile> file, uint32_t folderNid)
      : m_rows(std::move(file), folderNid, pst::PstReader::ContentsTableOf(folderNid)) {}

 protected:
  int32_t DoGetCount() override { return m_rows.Count(); }
  std::unique_ptr<MailItem> DoGetItem(int32_t index) override {
    return std::make_unique<Item>(m_rows.file(), m_rows.Node(index));
  }

 private:
  TableRows m_rows;
};

std::unique_ptr<FolderList> Folder::DoGetFolders() { return std::make_unique<SubFolderList>(m_file, m_nid, m_path); }
std::unique_ptr<ItemList> Folder::DoGetItems() { return std::make_unique<MessageList>(m_file, m_nid); }

std::unique_ptr<MailFolder> MakeRootFolder(const std::shared_ptr<OpenFile>& file) {
  return std::make_unique<Folder>(file, pst::nids::kRootFolder, RootFolderPath(file->displayName));
}

class Store : public PstStore {
 public:
  explicit Store(std::shared_ptr<OpenFile> file) : m_file(std::move(file)) {}
  std::string ReaderName() const override { return "fast"; }

 protected:
  int32_t DoGetPstType() override { return m_file->pstType; }
  std::unique_ptr<MailFolder> DoGetRootFolder() override { return MakeRootFolder(m_file); }

 private:
  std::shared_ptr<OpenFile> m_file;
};

class Session : public StoreSession {
 protected:
  std::string DoGetMailClientVersion() override { return FastReaderVersion(); }
  std::unique_ptr<PstStore> DoOpenPstStore(const std::string& path) override {
    m_file.reset();
    m_file = OpenPstFile(path);
    return std::make_unique<Store>(m_file);
  }
  std::unique_ptr<MailFolder> DoGetFolderFromPath(const std::string& path) override {
    if (!m_file) return nullptr;
    return FindFolderByPath(MakeRootFolder(m_file), path);
  }
  bool DoGetLoggedOn() override { return m_file != nullptr; }
  void DoLogOff() override { m_file.reset(); }

 private:
  std::shared_ptr<OpenFile> m_file;
};

// The fast reader, and the fallback's session for the files it cannot open.
class FallbackSession : public StoreSession {
 public:
  FallbackSession(StoreSessionFactory& fallback, const FastWithFallbackSessionFactory::Notice& notice)
      : m_fallbackFactory(fallback), m_notice(notice) {}

 protected:
  std::string DoGetMailClientVersion() override {
    std::string version = FastReaderVersion();
    if (auto other = Fallback()) version += ", " + other->GetMailClientVersion();
    return version;
  }
  std::unique_ptr<PstStore> DoOpenPstStore(const std::string& path) override {
    m_file.reset();
    m_onFallback = false;
    std::string reason;
    try {
      m_file = OpenPstFile(path);
      return std::make_unique<Store>(m_file);
    } catch (const StoreError& e) {
      reason = e.what();
    }
    StoreSession* other = Fallback();
    if (!other) throw StoreError(reason);
    auto store = other->OpenPstStore(path);
    if (!store) throw StoreError(reason);
    m_onFallback = true;
    if (m_notice && m_noticed != path) m_notice(path, reason);
    m_noticed = path;
    return store;
  }
  std::unique_ptr<MailFolder> DoGetFolderFromPath(const std::string& path) override {
    if (m_onFallback) return Fallback()->GetFolderFromPath(path);
    if (!m_file) return nullptr;
    return FindFolderByPath(MakeRootFolder(m_file), path);
  }
  bool DoGetLoggedOn() override { return m_onFallback ? Fallback()->GetLoggedOn() : m_file != nullptr; }
  void DoLogOff() override {
    m_file.reset();
    if (m_fallback) m_fallback->LogOff();
    m_onFallback = false;
  }

 private:
  StoreSession* Fallback() {
    if (!m_fallback) m_fallback = m_fallbackFactory.CreateStoreSession();
    return m_fallback.get();
  }

  StoreSessionFactory& m_fallbackFactory;
  const FastWithFallbackSessionFactory::Notice& m_notice;
  std::shared_ptr<OpenFile> m_file;
  std::unique_ptr<StoreSession> m_fallback;
  bool m_onFallback = false;
  std::string m_noticed;
};

}  // namespace
}  // namespace fast

std::unique_ptr<StoreSession> FastSessionFactory::CreateStoreSession() { return std::make_unique<fast::Session>(); }

std::unique_ptr<StoreSession> FastWithFallbackSessionFactory::CreateStoreSession() {
  return std::make_unique<fast::FallbackSession>(m_fallback, m_onFallback);
}

std::string FastReaderVersion() { return "quillmere pst reader 1"; }

std::unique_ptr<PstStore> OpenFastStore(const std::string& path) {
  return std::make_unique<fast::Store>(fast::OpenPstFile(path));
}

}  // namespace quillmere::store
