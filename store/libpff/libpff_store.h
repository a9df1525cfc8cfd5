#pragma once
// The mail store over libpff: every operation of store/mail_store.h on a real
// PST or OST file, opened read-only.
#include <memory>

#include "store/mail_store.h"

namespace quillmere::store {

class LibpffSessionFactory : public StoreSessionFactory {
 public:
  std::unique_ptr<StoreSession> CreateStoreSession() override;
};

// "libpff " and the library's version.
std::string LibpffReaderVersion();

}  // namespace quillmere::store
