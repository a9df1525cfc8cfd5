#pragma once
// The fingerprints seen so far in the current scope: 16 bytes a slot in one
// flat open-addressing table. Only "was it new?" is ever asked of it.
#include <cstddef>

#include "detect/fingerprint.h"

namespace quillmere::detect {

class FingerprintSet {
 public:
  FingerprintSet() = default;
  ~FingerprintSet();
  FingerprintSet(const FingerprintSet&) = delete;
  FingerprintSet& operator=(const FingerprintSet&) = delete;

  // True when the fingerprint was not in the set before.
  bool Insert(const Fingerprint& fingerprint);
  bool Contains(const Fingerprint& fingerprint) const;
  void Clear();
  size_t Size() const { return m_size + (m_hasZero ? 1 : 0); }
  // Bytes the table holds now.
  size_t MemoryBytes() const { return m_capacity * sizeof(Fingerprint); }

 private:
  size_t SlotOf(const Fingerprint& fingerprint) const;
  void Grow();

  // One block that grows in place: the table never needs its old and its
  // new size at the same time.
  Fingerprint* m_slots = nullptr;  // all-zero marks an empty slot
  size_t m_capacity = 0;           // a power of two, or 0
  size_t m_size = 0;
  bool m_hasZero = false;  // the all-zero digest itself, kept aside
};

}  // namespace quillmere::detect
