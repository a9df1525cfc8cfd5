#pragma once
// The fingerprint of an item: MD5 over the UTF-8 bytes of its comparison key.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct evp_md_ctx_st;

namespace quillmere::detect {

using Fingerprint = std::array<uint8_t, 16>;

// Feeds MD5 piece by piece, so a key made of large fields is hashed without
// ever being put together. One hasher serves any number of keys in turn.
class FingerprintHasher {
 public:
  FingerprintHasher();
  ~FingerprintHasher();
  FingerprintHasher(const FingerprintHasher&) = delete;
  FingerprintHasher& operator=(const FingerprintHasher&) = delete;

  void Begin();
  void Update(std::string_view bytes);
  Fingerprint Finish();

 private:
  evp_md_ctx_st* m_context;
};

Fingerprint ComputeFingerprint(std::string_view keyUtf8);
// 32 upper-case hexadecimal digits, in digest byte order.
std::string FingerprintToHex(const Fingerprint& fingerprint);

}  // namespace quillmere::detect
