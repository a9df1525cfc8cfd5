#include "preview/token.h"

#include <utility>

namespace quillmere::preview {

CToken::CToken(std::string text, std::string delimiter)
    : m_remaining(std::move(text)), m_delimiter(std::move(delimiter)) {}

CToken::~CToken() = default;

bool CToken::HasMoreTokens() const {
  return m_lastTokenPending || (!m_delimiter.empty() && m_remaining.find(m_delimiter) != std::string::npos);
}

std::string CToken::NextToken() {
  if (m_lastTokenPending) {
    m_lastTokenPending = false;
    return m_remaining;
  }
  const size_t p = m_delimiter.empty() ? std::string::npos : m_remaining.find(m_delimiter);
  std::string token;
  if (p != std::string::npos) {
    token = m_remaining.substr(0, p);
    // Everything after the character at p: for a longer delimiter its
    // remaining characters stay at the front of the text.
    m_remaining.erase(0, p + 1);
  }
  if (m_delimiter.empty() || m_remaining.find(m_delimiter) == std::string::npos) m_lastTokenPending = true;
  return token;
}

}  // namespace quillmere::preview
