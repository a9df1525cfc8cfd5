#include "app/gui/placeholder_page.h"

#include <QLabel>

#include "app/gui/image_button.h"

namespace quillmere::gui {

PlaceholderPage::PlaceholderPage(int templateId, const QString& pageName, PageContext& context,
                                 WizardPage* parent)
    : WizardPage(templateId, context, parent) {
  auto* text = new QLabel(QStringLiteral("The %1 page is not available in this build yet.").arg(pageName));
  text->setAlignment(Qt::AlignCenter);
  Place(text, 1100, 110, 140, 410, 20);
  const FrameLayout* layout = FindFrameLayout(templateId);
  const int y = layout ? layout->close.y : 300;
  auto* back = AddImageButton(1101, QStringLiteral("Back"), QStringLiteral("Back"), 198, 199, 380, y, 65, 16);
  connect(back, &QPushButton::clicked, this, &WizardPage::ReturnToParent);
}

}  // namespace quillmere::gui
