#pragma once
// Opening a web page, a local page or a mailto: address with the user's
// default program.
#include <string>

namespace quillmere::platform {

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // False when no program could be started; callers ignore it.
  virtual bool Open(const std::string& url, const void* owner) = 0;
};

}  // namespace quillmere::platform
