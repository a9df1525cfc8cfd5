#pragma once
// Checks made on a file named on the command line before any PST reading,
// and the PST reader the command line chose.
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "store/mail_store.h"

namespace quillmere::cli {

// Why the file cannot be read ("No such file or directory", "is a
// directory", "Permission denied", ...); none when it is a readable file.
std::optional<std::string> WhyFileUnreadable(const std::string& path);

// The sessions of the chosen reader. With the fast reader, a file it cannot
// open is read through libpff; standard error gets one line saying so, once
// per file however often it is opened, and the store reports "libpff" as
// its reader.
class ReaderSessions {
 public:
  explicit ReaderSessions(const std::string& readerName);
  ~ReaderSessions();
  store::StoreSessionFactory& factory() { return m_factory ? *m_factory : *m_libpff; }

 private:
  std::unique_ptr<store::StoreSessionFactory> m_libpff;
  std::unique_ptr<store::StoreSessionFactory> m_factory;
  std::set<std::string> m_noticed;
};

}  // namespace quillmere::cli
