#include "detect/fingerprint.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace quillmere::detect {
namespace {

// Fetched once: looking MD5 up for every key costs more than hashing a short key.
const EVP_MD* Md5() {
  static const EVP_MD* md5 = [] {
    const EVP_MD* fetched = EVP_MD_fetch(nullptr, "MD5", nullptr);
    return fetched != nullptr ? fetched : EVP_md5();
  }();
  return md5;
}

}  // namespace

FingerprintHasher::FingerprintHasher() : m_context(EVP_MD_CTX_new()) {
  if (m_context == nullptr) throw std::bad_alloc();
}

FingerprintHasher::~FingerprintHasher() { EVP_MD_CTX_free(m_context); }

void FingerprintHasher::Begin() {
  if (EVP_DigestInit_ex2(m_context, Md5(), nullptr) != 1)
    throw std::runtime_error("MD5 is not available from libcrypto");
}

void FingerprintHasher::Update(std::string_view bytes) {
  if (!bytes.empty()) EVP_DigestUpdate(m_context, bytes.data(), bytes.size());
}

Fingerprint FingerprintHasher::Finish() {
  Fingerprint digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(m_context, digest.data(), &length);
  return digest;
}

Fingerprint ComputeFingerprint(std::string_view keyUtf8) {
  FingerprintHasher hasher;
  hasher.Begin();
  hasher.Update(keyUtf8);
  return hasher.Finish();
}

std::string FingerprintToHex(const Fingerprint& fingerprint) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(32);
  for (uint8_t byte : fingerprint) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

}  // namespace quillmere::detect
