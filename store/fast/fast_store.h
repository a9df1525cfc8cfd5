#pragma once
// The mail store over our own PST reader. It reads only the properties the
// scan and the preview ask for, item by item, and never resolves named
// properties.
#include <functional>
#include <memory>
#include <string>

#include "store/mail_store.h"

namespace quillmere::store {

class FastSessionFactory : public StoreSessionFactory {
 public:
  std::unique_ptr<StoreSession> CreateStoreSession() override;
};

// The fast reader first; a file it cannot open is opened through the
// fallback's sessions, and onFallback is told the file and the reason.
class FastWithFallbackSessionFactory : public StoreSessionFactory {
 public:
  using Notice = std::function<void(const std::string& path, const std::string& reason)>;
  FastWithFallbackSessionFactory(StoreSessionFactory& fallback, Notice onFallback)
      : m_fallback(fallback), m_onFallback(std::move(onFallback)) {}
  std::unique_ptr<StoreSession> CreateStoreSession() override;

 private:
  StoreSessionFactory& m_fallback;
  Notice m_onFallback;
};

// "quillmere pst reader 1".
std::string FastReaderVersion();

// Opens a file with the fast reader alone; raises StoreError with the
// reason when it cannot. For tests and the fuzz target.
std::unique_ptr<PstStore> OpenFastStore(const std::string& path);

}  // namespace quillmere::store
