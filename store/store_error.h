#pragma once
#include <stdexcept>
#include <string>

namespace quillmere::store {

// Raised by a backend when an operation fails. Item reads let it reach the
// caller; every other operation is repeated once and then gives its empty value.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs a store operation under the general failure rule: a failing call is
// repeated once, then the empty value is given.
template <class Value, class Call>
Value RepeatOnceOr(Value empty, Call&& call) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      return call();
    } catch (const std::exception&) {
    }
  }
  return empty;
}

}  // namespace quillmere::store
