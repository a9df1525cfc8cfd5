#pragma once
// CToken: splits a text at a delimiter, one token at a time. Empty tokens
// are returned, not skipped; a text without the delimiter yields no token.
#include <string>

namespace quillmere::preview {

class CToken {
 public:
  explicit CToken(std::string text, std::string delimiter = " ");

  virtual std::string NextToken();
  virtual bool HasMoreTokens() const;
  virtual ~CToken();

 private:
  std::string m_remaining;
  std::string m_delimiter;
  bool m_lastTokenPending = false;
};

}  // namespace quillmere::preview
