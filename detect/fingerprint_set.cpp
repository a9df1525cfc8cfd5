#include "detect/fingerprint_set.h"

#include <cstring>

namespace quillmere::detect {
namespace {

bool IsZero(const Fingerprint& f) {
  for (uint8_t b : f)
    if (b != 0) return false;
  return true;
}

// MD5 output is already uniform: its first eight bytes serve as the hash.
size_t HashOf(const Fingerprint& f) {
  uint64_t h = 0;
  std::memcpy(&h, f.data(), sizeof h);
  return static_cast<size_t>(h);
}

}  // namespace

size_t FingerprintSet::SlotOf(const Fingerprint& fingerprint) const {
  const size_t mask = m_slots.size() - 1;
  size_t slot = HashOf(fingerprint) & mask;
  while (!IsZero(m_slots[slot]) && m_slots[slot] != fingerprint) slot = (slot + 1) & mask;
  return slot;
}

void FingerprintSet::Grow() {
  std::vector<Fingerprint> old;
  old.swap(m_slots);
  m_slots.assign(old.empty() ? 1024 : old.size() * 2, Fingerprint{});
  for (const auto& f : old)
    if (!IsZero(f)) m_slots[SlotOf(f)] = f;
}

bool FingerprintSet::Insert(const Fingerprint& fingerprint) {
  if (IsZero(fingerprint)) {
    const bool added = !m_hasZero;
    m_hasZero = true;
    return added;
  }
  // At most three quarters full, so probes stay short.
  if ((m_size + 1) * 4 > m_slots.size() * 3) Grow();
  const size_t slot = SlotOf(fingerprint);
  if (!IsZero(m_slots[slot])) return false;
  m_slots[slot] = fingerprint;
  ++m_size;
  return true;
}

bool FingerprintSet::Contains(const Fingerprint& fingerprint) const {
  if (IsZero(fingerprint)) return m_hasZero;
  if (m_slots.empty()) return false;
  return !IsZero(m_slots[SlotOf(fingerprint)]);
}

void FingerprintSet::Clear() {
  std::vector<Fingerprint>().swap(m_slots);
  m_size = 0;
  m_hasZero = false;
}

}  // namespace quillmere::detect
