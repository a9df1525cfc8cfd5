#pragma once
// Reads a whole file through one store backend the way the preview and the
// scan do (every folder in walk order, every field of every item, the
// fingerprints of two criteria sets) and compares what two backends saw,
// item by item. The reference is libpff; a field the reference reads and
// the other backend cannot is a difference like any other.
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/ole_date.h"
#include "detect/comparison_key.h"
#include "detect/fingerprint.h"
#include "store/mail_store.h"

namespace quillmere::testing {

// One field as read: its text, or that the read raised.
struct FieldRead {
  bool raised = false;
  std::string value;
  bool operator==(const FieldRead&) const = default;
};

struct ItemRead {
  bool present = false;  // GetItem gave an object
  std::vector<std::pair<const char*, FieldRead>> fields;
};

struct FolderRead {
  std::string path;
  bool hasItemList = false;
  int32_t itemCount = 0;
  bool hasFolderList = false;
  int32_t folderCount = 0;
  std::vector<ItemRead> items;
};

struct StoreRead {
  bool opened = false;
  std::string reader;
  int32_t pstType = 0;
  std::vector<FolderRead> folders;  // in walk order: a folder, then its sub folders

  int64_t ItemCount() const {
    int64_t n = 0;
    for (const auto& f : folders) n += f.itemCount;
    return n;
  }
};

namespace comparison_detail {

template <class Read>
FieldRead Field(Read&& read) {
  try {
    return {false, read()};
  } catch (const std::exception&) {
    return {true, ""};
  }
}

inline std::string DateText(const OleDate& d) {
  if (!d.IsValid()) return "<invalid>";
  std::ostringstream s;
  s.precision(17);
  s << d.Days();
  return s.str();
}

inline ComparisonCriteria AllCriteria() {
  ComparisonCriteria c;
  c.text = c.subject = c.senderEmail = c.senderName = c.receiverName = c.internetHeader = c.sentTime =
      c.attachments = 1;
  return c;
}

inline ComparisonCriteria DefaultCriteria() {
  ComparisonCriteria c;
  c.subject = c.senderEmail = c.attachments = 1;
  return c;
}

inline ItemRead ReadItem(store::MailItem& item, detect::FingerprintHasher& hasher) {
  ItemRead r;
  r.present = true;
  auto add = [&](const char* name, FieldRead f) { r.fields.emplace_back(name, std::move(f)); };
  add("class", Field([&] { return item.GetItemClass(); }));
  add("sent time", Field([&] { return DateText(item.GetSentTime()); }));
  add("body", Field([&] { return item.GetBodyText(); }));
  add("alternate body", Field([&] { return item.GetAlternateBodyText(); }));
  add("subject", Field([&] { return item.GetSubject(); }));
  add("sender e-mail", Field([&] { return item.GetSenderEmailAddress(); }));
  add("sender name", Field([&] { return item.GetSenderName(); }));
  add("receiver name", Field([&] { return item.GetReceiverName(); }));
  add("internet header", Field([&] { return item.ReadInternetHeader(); }));
  add("identifier", Field([&] { return item.GetItemId(); }));
  add("size", Field([&] { return std::to_string(item.GetSize()); }));
  add("attachments", Field([&] { return std::to_string(item.GetAttachmentCount()); }));
  add("fingerprint (default criteria)", Field([&] {
        return detect::FingerprintToHex(detect::FingerprintItem(item, DefaultCriteria(), hasher));
      }));
  add("fingerprint (every criterion)", Field([&] {
        return detect::FingerprintToHex(detect::FingerprintItem(item, AllCriteria(), hasher));
      }));
  return r;
}

inline void Walk(store::MailFolder& folder, StoreRead& out, detect::FingerprintHasher& hasher, int depth) {
  FolderRead f;
  f.path = folder.GetFolderPath();
  auto items = folder.GetItems();
  f.hasItemList = items != nullptr;
  if (items) {
    f.itemCount = items->GetCount();
    for (int32_t i = 1; i <= f.itemCount; ++i) {
      auto item = items->GetItem(i);
      f.items.push_back(item ? ReadItem(*item, hasher) : ItemRead{});
    }
  }
  auto children = folder.GetFolders();
  f.hasFolderList = children != nullptr;
  if (children) f.folderCount = children->GetCount();
  out.folders.push_back(std::move(f));
  if (!children || depth > 64) return;
  const int32_t count = out.folders.back().folderCount;
  for (int32_t j = 1; j <= count; ++j) {
    if (auto child = children->GetItem(j))
      Walk(*child, out, hasher, depth + 1);
    else
      out.folders.push_back(FolderRead{"<no folder>"});
  }
}

inline std::string Shorten(const std::string& s) {
  if (s.size() <= 80) return "\"" + s + "\"";
  return "\"" + s.substr(0, 60) + "...\" (" + std::to_string(s.size()) + " bytes)";
}

inline std::string Show(const FieldRead& f) { return f.raised ? std::string("<raised>") : Shorten(f.value); }

}  // namespace comparison_detail

// Opens the file in a new session of the factory and reads all of it.
inline StoreRead ReadWholeStore(store::StoreSessionFactory& factory, const std::string& path) {
  StoreRead out;
  auto session = factory.CreateStoreSession();
  if (!session) return out;
  auto pst = session->OpenPstStore(path);
  if (!pst) return out;
  out.opened = true;
  out.reader = pst->ReaderName();
  out.pstType = pst->GetPstType();
  detect::FingerprintHasher hasher;
  if (auto root = pst->GetRootFolder()) comparison_detail::Walk(*root, out, hasher, 0);
  return out;
}

struct Comparison {
  std::vector<std::string> differences;  // each one a fault of the candidate
  int64_t itemsCompared = 0;
  // Fields the candidate read where the reference raised (allowed: the
  // candidate may be the more tolerant reader of a damaged file).
  int64_t candidateReadMore = 0;
  std::string Text() const {
    std::string t;
    for (size_t i = 0; i < differences.size() && i < 40; ++i) t += differences[i] + "\n";
    if (differences.size() > 40) t += "... and " + std::to_string(differences.size() - 40) + " more\n";
    return t;
  }
};

// What `candidate` saw that `reference` did not: other folders, counts,
// order, field values or fingerprints, or a read that failed.
inline Comparison CompareStores(const StoreRead& reference, const StoreRead& candidate) {
  using comparison_detail::Show;
  Comparison c;
  auto diff = [&](std::string text) { c.differences.push_back(std::move(text)); };
  if (reference.opened != candidate.opened) {
    diff(std::string("the file opened: ") + (reference.opened ? "yes" : "no") + " against " +
         (candidate.opened ? "yes" : "no"));
    return c;
  }
  if (reference.pstType != candidate.pstType)
    diff("PST type " + std::to_string(reference.pstType) + " against " + std::to_string(candidate.pstType));
  if (reference.folders.size() != candidate.folders.size())
    diff(std::to_string(reference.folders.size()) + " folders against " + std::to_string(candidate.folders.size()));
  const size_t folders = std::min(reference.folders.size(), candidate.folders.size());
  for (size_t k = 0; k < folders; ++k) {
    const FolderRead& r = reference.folders[k];
    const FolderRead& f = candidate.folders[k];
    const std::string at = "folder #" + std::to_string(k) + " " + r.path;
    if (r.path != f.path) {
      diff(at + ": path " + comparison_detail::Shorten(f.path));
      continue;
    }
    if (r.hasItemList != f.hasItemList) diff(at + ": item list there against not there");
    if (r.itemCount != f.itemCount)
      diff(at + ": " + std::to_string(r.itemCount) + " items against " + std::to_string(f.itemCount));
    if (r.hasFolderList != f.hasFolderList) diff(at + ": folder list there against not there");
    if (r.folderCount != f.folderCount)
      diff(at + ": " + std::to_string(r.folderCount) + " sub folders against " + std::to_string(f.folderCount));
    const size_t items = std::min(r.items.size(), f.items.size());
    for (size_t i = 0; i < items; ++i) {
      const ItemRead& ri = r.items[i];
      const ItemRead& fi = f.items[i];
      const std::string item = at + " item " + std::to_string(i + 1);
      ++c.itemsCompared;
      if (ri.present != fi.present) {
        diff(item + (ri.present ? ": not read" : ": read where the reference gave none"));
        continue;
      }
      for (size_t n = 0; n < ri.fields.size() && n < fi.fields.size(); ++n) {
        const FieldRead& a = ri.fields[n].second;
        const FieldRead& b = fi.fields[n].second;
        if (a == b) continue;
        if (a.raised && !b.raised) {
          ++c.candidateReadMore;
          continue;
        }
        diff(item + " " + ri.fields[n].first + ": " + Show(a) + " against " + Show(b));
      }
    }
  }
  return c;
}

}  // namespace quillmere::testing
