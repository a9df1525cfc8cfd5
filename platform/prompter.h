#pragma once
// Message boxes as a port: a notice (information icon, OK) or a question
// (question icon, Yes and No), always with a caption and an owner window.
#include <string>

namespace quillmere::platform {

enum class PromptIcon { None, Information, Question };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

struct Prompt {
  std::string caption;
  std::string text;
  PromptIcon icon = PromptIcon::Information;
  PromptButtons buttons = PromptButtons::Ok;
  // The window that owns the box (a QWidget* for the Qt adapter); null for none.
  const void* owner = nullptr;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the box modally and gives the button the user pressed. A box
  // closed without a button counts as OK for a notice and No for a question.
  virtual PromptAnswer Ask(const Prompt& prompt) = 0;
};

}  // namespace quillmere::platform
