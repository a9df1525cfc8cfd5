#pragma once
// Stands in for a wizard page that is not built yet: the frame, a line
// saying so, and Back.
#include "app/gui/page_frame.h"

namespace quillmere::gui {

class PlaceholderPage : public WizardPage {
  Q_OBJECT
 public:
  PlaceholderPage(int templateId, const QString& pageName, PageContext& context, WizardPage* parent);
};

}  // namespace quillmere::gui
