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

// A count as read under the general rule: the value, or that it raised
// on the call and on its repeat.
struct CountRead {
  bool raised = false;
  int32_t value = 0;
};

struct FolderRead {
  std::string path;
  bool hasItemList = false;
  CountRead itemCount;
  std::vector<ItemRead> items;
  bool hasFolderList = false;
  CountRead folderCount;
  std::vector<std::unique_ptr<FolderRead>> folders;  // null: GetItem gave no folder
};

struct StoreRead {
  bool opened = false;
  std::string reader;
  int32_t pstType = 0;
  std::unique_ptr<FolderRead> root;

  int64_t ItemCount() const { return Count(root.get(), false); }
  // The folder with that path text, depth first; null when there is none.
  const FolderRead* Find(const std::string& path) const { return Find(root.get(), path); }
  int64_t FolderCount() const { return Count(root.get(), true); }

 private:
  static const FolderRead* Find(const FolderRead* f, const std::string& path) {
    if (!f) return nullptr;
    if (f->path == path) return f;
    for (const auto& c : f->folders)
      if (const FolderRead* found = Find(c.get(), path)) return found;
    return nullptr;
  }
  static int64_t Count(const FolderRead* f, bool folders) {
    if (!f) return 0;
    int64_t n = folders ? 1 : int64_t(f->items.size());
    for (const auto& c : f->folders) n += Count(c.get(), folders);
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

template <class List>
CountRead ReadCount(List& list) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      return {false, list.GetCountOrRaise()};
    } catch (const std::exception&) {
    }
  }
  return {true, 0};
}

inline std::unique_ptr<FolderRead> Walk(store::MailFolder& folder, detect::FingerprintHasher& hasher, int depth) {
  auto f = std::make_unique<FolderRead>();
  f->path = folder.GetFolderPath();
  auto items = folder.GetItems();
  f->hasItemList = items != nullptr;
  if (items) {
    f->itemCount = ReadCount(*items);
    for (int32_t i = 1; i <= f->itemCount.value; ++i) {
      auto item = items->GetItem(i);
      f->items.push_back(item ? ReadItem(*item, hasher) : ItemRead{});
    }
  }
  auto children = folder.GetFolders();
  f->hasFolderList = children != nullptr;
  if (!children) return f;
  f->folderCount = ReadCount(*children);
  // A damaged file may loop its hierarchy; real trees are far shallower.
  if (depth > 64) return f;
  for (int32_t j = 1; j <= f->folderCount.value; ++j) {
    auto child = children->GetItem(j);
    f->folders.push_back(child ? Walk(*child, hasher, depth + 1) : nullptr);
  }
  return f;
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
  if (auto root = pst->GetRootFolder()) out.root = comparison_detail::Walk(*root, hasher, 0);
  return out;
}

struct Comparison {
  std::vector<std::string> differences;  // each one a fault of the candidate
  int64_t itemsCompared = 0;
  // Files, lists, folders, items and fields the candidate read where the
  // reference could not (allowed: of a damaged file, the candidate may be
  // the more tolerant reader).
  int64_t candidateReadMore = 0;
  std::string Text() const {
    std::string t;
    for (size_t i = 0; i < differences.size() && i < 40; ++i) t += differences[i] + "\n";
    if (differences.size() > 40) t += "... and " + std::to_string(differences.size() - 40) + " more\n";
    return t;
  }
};

namespace comparison_detail {

inline void CompareItem(const ItemRead& ri, const ItemRead& fi, const std::string& item, Comparison& c) {
  ++c.itemsCompared;
  if (ri.present != fi.present) {
    if (ri.present)
      c.differences.push_back(item + ": not read");
    else
      ++c.candidateReadMore;
    return;
  }
  for (size_t n = 0; n < ri.fields.size() && n < fi.fields.size(); ++n) {
    const FieldRead& a = ri.fields[n].second;
    const FieldRead& b = fi.fields[n].second;
    if (a == b) continue;
    if (a.raised && !b.raised) {
      ++c.candidateReadMore;
      continue;
    }
    c.differences.push_back(item + " " + ri.fields[n].first + ": " + Show(a) + " against " + Show(b));
  }
}

inline void CompareItems(const FolderRead& r, const FolderRead& f, const std::string& at, Comparison& c) {
  const size_t items = std::min(r.items.size(), f.items.size());
  for (size_t i = 0; i < items; ++i) CompareItem(r.items[i], f.items[i], at + " item " + std::to_string(i + 1), c);
}

// A list the reference could not read may be read by the candidate; true
// when both read it with the same count.
inline bool CompareLists(const std::string& at, const char* what, bool rHas, const CountRead& rCount, bool fHas,
                         const CountRead& fCount, Comparison& c) {
  if (!rHas || rCount.raised) {
    if (fHas && !fCount.raised) ++c.candidateReadMore;
    return false;
  }
  if (!fHas || fCount.raised) {
    c.differences.push_back(at + ": its " + what + " could not be read");
    return false;
  }
  if (rCount.value != fCount.value) {
    c.differences.push_back(at + ": " + std::to_string(rCount.value) + " " + what + " against " +
                            std::to_string(fCount.value));
    return false;
  }
  return true;
}

inline void CompareFolders(const FolderRead& r, const FolderRead& f, Comparison& c) {
  const std::string at = r.path;
  if (r.path != f.path) {
    c.differences.push_back("folder " + Shorten(r.path) + ": read as " + Shorten(f.path));
    return;
  }
  if (CompareLists(at, "items", r.hasItemList, r.itemCount, f.hasItemList, f.itemCount, c)) CompareItems(r, f, at, c);
  if (!CompareLists(at, "sub folders", r.hasFolderList, r.folderCount, f.hasFolderList, f.folderCount, c)) return;
  for (size_t j = 0; j < r.folders.size() && j < f.folders.size(); ++j) {
    const FolderRead* rc = r.folders[j].get();
    const FolderRead* fc = f.folders[j].get();
    if (!rc) {
      if (fc) ++c.candidateReadMore;
      continue;
    }
    if (!fc) {
      c.differences.push_back(at + ": sub folder " + std::to_string(j + 1) + " " + Shorten(rc->path) +
                              " not read");
      continue;
    }
    CompareFolders(*rc, *fc, c);
  }
}

}  // namespace comparison_detail

// What `candidate` did not see as `reference` saw it: a file, list, folder
// or item it could not read, other counts, paths or order, or other field
// values or fingerprints. Where the reference could not read something
// and the candidate could, that is counted, not a difference.
inline Comparison CompareStores(const StoreRead& reference, const StoreRead& candidate) {
  Comparison c;
  if (!reference.opened) {
    if (candidate.opened) ++c.candidateReadMore;
    return c;
  }
  if (!candidate.opened) {
    c.differences.push_back("the file did not open");
    return c;
  }
  if (reference.pstType != candidate.pstType)
    c.differences.push_back("PST type " + std::to_string(reference.pstType) + " against " +
                            std::to_string(candidate.pstType));
  if (reference.root && candidate.root)
    comparison_detail::CompareFolders(*reference.root, *candidate.root, c);
  else if (reference.root)
    c.differences.push_back("the root folder could not be read");
  return c;
}

namespace comparison_detail {

// Both folders walked side by side; nothing is kept but the differences.
inline void CompareInStep(store::MailFolder& r, store::MailFolder& f, detect::FingerprintHasher& hasher,
                          Comparison& c, int depth) {
  const std::string at = r.GetFolderPath();
  const std::string candidatePath = f.GetFolderPath();
  if (at != candidatePath) {
    c.differences.push_back("folder " + Shorten(at) + ": read as " + Shorten(candidatePath));
    return;
  }
  auto rItems = r.GetItems();
  auto fItems = f.GetItems();
  const CountRead rCount = rItems ? ReadCount(*rItems) : CountRead{};
  const CountRead fCount = fItems ? ReadCount(*fItems) : CountRead{};
  if (CompareLists(at, "items", rItems != nullptr, rCount, fItems != nullptr, fCount, c)) {
    for (int32_t i = 1; i <= rCount.value; ++i) {
      auto ri = rItems->GetItem(i);
      auto fi = fItems->GetItem(i);
      CompareItem(ri ? ReadItem(*ri, hasher) : ItemRead{}, fi ? ReadItem(*fi, hasher) : ItemRead{},
                  at + " item " + std::to_string(i), c);
    }
  }
  auto rFolders = r.GetFolders();
  auto fFolders = f.GetFolders();
  const CountRead rSub = rFolders ? ReadCount(*rFolders) : CountRead{};
  const CountRead fSub = fFolders ? ReadCount(*fFolders) : CountRead{};
  if (!CompareLists(at, "sub folders", rFolders != nullptr, rSub, fFolders != nullptr, fSub, c) || depth > 64) return;
  for (int32_t j = 1; j <= rSub.value; ++j) {
    auto rc = rFolders->GetItem(j);
    auto fc = fFolders->GetItem(j);
    if (!rc) {
      if (fc) ++c.candidateReadMore;
      continue;
    }
    if (!fc) {
      c.differences.push_back(at + ": sub folder " + std::to_string(j) + " " + Shorten(rc->GetFolderPath()) +
                              " not read");
      continue;
    }
    CompareInStep(*rc, *fc, hasher, c, depth + 1);
  }
}

}  // namespace comparison_detail

// The same comparison as CompareStores(ReadWholeStore(...), ReadWholeStore(...)),
// reading both stores side by side item by item, for files too large to
// hold what was read.
inline Comparison CompareFileInStep(store::StoreSessionFactory& reference, store::StoreSessionFactory& candidate,
                                    const std::string& path) {
  Comparison c;
  auto rSession = reference.CreateStoreSession();
  auto fSession = candidate.CreateStoreSession();
  auto rStore = rSession ? rSession->OpenPstStore(path) : nullptr;
  auto fStore = fSession ? fSession->OpenPstStore(path) : nullptr;
  if (!rStore) {
    if (fStore) ++c.candidateReadMore;
    return c;
  }
  if (!fStore) {
    c.differences.push_back("the file did not open");
    return c;
  }
  if (rStore->GetPstType() != fStore->GetPstType()) c.differences.push_back("PST type differs");
  auto rRoot = rStore->GetRootFolder();
  auto fRoot = fStore->GetRootFolder();
  if (rRoot && !fRoot) c.differences.push_back("the root folder could not be read");
  detect::FingerprintHasher hasher;
  if (rRoot && fRoot) comparison_detail::CompareInStep(*rRoot, *fRoot, hasher, c, 0);
  return c;
}

}  // namespace quillmere::testing
