// Sessions and stores over libpff.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "store/folder_path.h"
#include "store/libpff/libpff_objects.h"
#include "store/libpff/libpff_store.h"

namespace quillmere::store {

namespace libpff {

namespace {

constexpr uint32_t kDisplayName = 0x3001;
constexpr uint32_t kMessageCodepage = 0x3FFD;
constexpr uint32_t kCodePageId = 0x66C3;
constexpr int kWindows1252 = 1252;

std::string BaseNameWithoutExtension(const std::string& path) {
  std::string name = path;
  if (const auto slash = name.rfind('/'); slash != std::string::npos) name = name.substr(slash + 1);
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

int32_t PstTypeOf(uint8_t fileType) {
  switch (fileType) {
    case LIBPFF_FILE_TYPE_32BIT:
      return kPstTypeAnsi;
    case LIBPFF_FILE_TYPE_64BIT:
    case LIBPFF_FILE_TYPE_64BIT_4K_PAGE:
      return kPstTypeUnicode;
    default:
      return kPstTypeUnknown;
  }
}

// An ANSI file's strings are in the store's code page when it names one,
// else in windows-1252. A code page libpff does not know keeps windows-1252.
void ChooseAnsiCodepage(libpff_file_t* file, libpff_item_t* messageStore) {
  if (!messageStore) return;
  for (uint32_t property : {kMessageCodepage, kCodePageId}) {
    std::optional<uint32_t> codepage;
    try {
      codepage = ReadItem32(messageStore, property);
    } catch (const StoreError&) {
    }
    if (!codepage || *codepage == 0) continue;
    if (libpff_file_set_ascii_codepage(file, static_cast<int>(*codepage), nullptr) == 1) return;
  }
}

}  // namespace

std::shared_ptr<OpenFile> OpenPstFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    throw StoreError("cannot open " + path + ": " + std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw StoreError("cannot open " + path + ": not a regular file");

  ErrorSlot error;
  libpff_file_t* raw = nullptr;
  if (libpff_file_initialize(&raw, error.Out()) != 1) error.Raise("cannot set up the reader");
  auto file = std::make_shared<OpenFile>();
  // Owned from here on; FileDeleter's close of a file never opened is harmless.
  file->file.reset(raw);
  libpff_file_set_ascii_codepage(raw, kWindows1252, nullptr);
  if (libpff_file_open(raw, path.c_str(), LIBPFF_OPEN_READ, error.Out()) != 1)
    error.Raise(("cannot open " + path + " as a PST file").c_str());

  uint8_t fileType = 0;
  if (libpff_file_get_type(raw, &fileType, error.Out()) != 1) error.Raise("cannot read the file type");
  file->pstType = PstTypeOf(fileType);

  libpff_item_t* storeRaw = nullptr;
  ItemHandle messageStore;
  if (libpff_file_get_message_store(raw, &storeRaw, error.Out()) == 1) messageStore.reset(storeRaw);
  if (file->pstType == kPstTypeAnsi) ChooseAnsiCodepage(raw, messageStore.get());
  if (messageStore) {
    try {
      if (auto name = ReadItemString(messageStore.get(), kDisplayName)) file->displayName = *name;
    } catch (const StoreError&) {
    }
  }
  if (file->displayName.empty()) file->displayName = BaseNameWithoutExtension(path);

  // A file whose folder hierarchy cannot be reached is not a readable PST.
  libpff_item_t* rootRaw = nullptr;
  const int rootResult = libpff_file_get_root_folder(raw, &rootRaw, error.Out());
  if (rootResult == -1) error.Raise("cannot read the root folder");
  if (rootResult == 0) throw StoreError(path + " has no root folder");
  ItemHandle root(rootRaw);
  return file;
}

namespace {

class Store : public PstStore {
 public:
  explicit Store(std::shared_ptr<OpenFile> file) : m_file(std::move(file)) {}
  std::string ReaderName() const override { return "libpff"; }

 protected:
  int32_t DoGetPstType() override { return m_file->pstType; }
  std::unique_ptr<MailFolder> DoGetRootFolder() override { return MakeRootFolder(m_file); }

 private:
  std::shared_ptr<OpenFile> m_file;
};

class Session : public StoreSession {
 protected:
  std::string DoGetMailClientVersion() override { return LibpffReaderVersion(); }
  std::unique_ptr<PstStore> DoOpenPstStore(const std::string& path) override {
    m_file.reset();
    m_file = OpenPstFile(path);
    return std::make_unique<Store>(m_file);
  }
  // Paths of the store opened last.
  std::unique_ptr<MailFolder> DoGetFolderFromPath(const std::string& path) override {
    if (!m_file) return nullptr;
    return FindFolderByPath(MakeRootFolder(m_file), path);
  }
  bool DoGetLoggedOn() override { return m_file != nullptr; }
  void DoLogOff() override { m_file.reset(); }

 private:
  std::shared_ptr<OpenFile> m_file;
};

}  // namespace

}  // namespace libpff

std::unique_ptr<StoreSession> LibpffSessionFactory::CreateStoreSession() {
  return std::make_unique<libpff::Session>();
}

std::string LibpffReaderVersion() {
  const char* version = libpff_get_version();
  return std::string("libpff ") + (version ? version : "");
}

}  // namespace quillmere::store
