#include "detect/fingerprint_set.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace quillmere::detect {
namespace {

constexpr size_t kFirstCapacity = 1024;

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

FingerprintSet::~FingerprintSet() { std::free(m_slots); }

size_t FingerprintSet::SlotOf(const Fingerprint& fingerprint) const {
  const size_t mask = m_capacity - 1;
  size_t slot = HashOf(fingerprint) & mask;
  while (!IsZero(m_slots[slot]) && m_slots[slot] != fingerprint) slot = (slot + 1) & mask;
  return slot;
}

// Doubles the table where it lies (realloc moves a large block by remapping
// its pages, not by copying), then puts each entry where the doubled table
// wants it. Entries still in their old slot are marked as waiting. A waiting
// entry is taken out and placed at the first slot from its home that is empty
// or holds another waiting entry, which is then taken out in turn. A placed
// entry never moves again, and the probe that placed it passed over placed
// entries only, so emptying waiting slots never cuts a placed entry off from
// its home.
void FingerprintSet::Grow() {
  const size_t old = m_capacity;
  const size_t capacity = old == 0 ? kFirstCapacity : old * 2;
  void* grown = std::realloc(m_slots, capacity * sizeof(Fingerprint));
  if (grown == nullptr) throw std::bad_alloc();
  m_slots = static_cast<Fingerprint*>(grown);
  std::memset(static_cast<void*>(m_slots + old), 0, (capacity - old) * sizeof(Fingerprint));
  m_capacity = capacity;
  if (old == 0) return;

  std::vector<uint64_t> waiting((old + 63) / 64, 0);
  for (size_t i = 0; i < old; ++i)
    if (!IsZero(m_slots[i])) waiting[i / 64] |= uint64_t{1} << (i % 64);
  auto isWaiting = [&](size_t s) { return s < old && ((waiting[s / 64] >> (s % 64)) & 1) != 0; };
  auto placed = [&](size_t s) {
    if (s < old) waiting[s / 64] &= ~(uint64_t{1} << (s % 64));
  };

  const size_t mask = capacity - 1;
  for (size_t i = 0; i < old; ++i) {
    if (!isWaiting(i)) continue;
    Fingerprint moving = m_slots[i];
    m_slots[i] = Fingerprint{};
    placed(i);
    for (;;) {
      size_t slot = HashOf(moving) & mask;
      while (!IsZero(m_slots[slot]) && !isWaiting(slot)) slot = (slot + 1) & mask;
      if (IsZero(m_slots[slot])) {
        m_slots[slot] = moving;
        break;
      }
      std::swap(moving, m_slots[slot]);
      placed(slot);
    }
  }
}

bool FingerprintSet::Insert(const Fingerprint& fingerprint) {
  if (IsZero(fingerprint)) {
    const bool added = !m_hasZero;
    m_hasZero = true;
    return added;
  }
  // At most three quarters full, so probes stay short.
  if ((m_size + 1) * 4 > m_capacity * 3) Grow();
  const size_t slot = SlotOf(fingerprint);
  if (!IsZero(m_slots[slot])) return false;
  m_slots[slot] = fingerprint;
  ++m_size;
  return true;
}

bool FingerprintSet::Contains(const Fingerprint& fingerprint) const {
  if (IsZero(fingerprint)) return m_hasZero;
  if (m_capacity == 0) return false;
  return !IsZero(m_slots[SlotOf(fingerprint)]);
}

void FingerprintSet::Clear() {
  std::free(m_slots);
  m_slots = nullptr;
  m_capacity = 0;
  m_size = 0;
  m_hasZero = false;
}

}  // namespace quillmere::detect
