#include "app/gui/about_box.h"

#include <QLabel>
#include <QPushButton>

#include "app/app_texts.h"
#include "resources/artwork.h"
#include "resources/resource_table.h"

namespace quillmere::gui {

CQuillmereAboutDlg::CQuillmereAboutDlg(PageContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_units(PageFont()), m_dragger(this) {
  setObjectName(QString::number(kAboutTemplate));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(PageFont());
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setFixedSize(m_units.Size(263, 166));
  new EnterEscapeFilter(this);

  // Arial, 15 logical units high, weight 600.
  m_titleFont = QFont(QStringLiteral("Arial"));
  m_titleFont.setStyleHint(QFont::SansSerif);
  m_titleFont.setPixelSize(15);
  m_titleFont.setWeight(QFont::DemiBold);

  auto* banner = new QLabel(this);
  const QRect bannerRect = m_units.Rect(0, 0, 263, 52);
  banner->setPixmap(resources::LoadPixmap(resources::kAboutBanner, bannerRect.size()));
  banner->setGeometry(bannerRect);

  auto* title = new QLabel(QString::fromUtf8(kApplicationTitle), this);
  title->setObjectName(QStringLiteral("1027"));
  title->setFont(m_titleFont);
  title->setGeometry(m_units.Rect(28, 64, 224, 12));

  AddLink(1031, kProductPage, kProductPage, QStringLiteral("Company website"), 89, 82, 14);
  AddLink(1003, kSupportEmail, std::string("mailto:") + kSupportEmail,
          QStringLiteral("Support email address"), 89, 92, 14);
  AddLink(1010, kSalesEmail, std::string("mailto:") + kSalesEmail, QStringLiteral("Sales email address"),
          89, 103, 14);

  auto* separator = new QLabel(QString(60, QLatin1Char('_')), this);
  separator->setGeometry(m_units.Rect(8, 132, 245, 14));
  separator->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("1"));
  ok->setDefault(true);
  ok->setGeometry(m_units.Rect(109, 146, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CQuillmereAboutDlg::AddLink(int id, const std::string& shown, const std::string& url,
                                 const QString& tooltip, int x, int y, int h) {
  auto* link = new QPushButton(QString::fromStdString(shown), this);
  link->setObjectName(QString::number(id));
  link->setToolTip(tooltip);
  link->setFlat(true);
  link->setAutoDefault(false);
  link->setCursor(Qt::PointingHandCursor);
  link->setStyleSheet(QStringLiteral(
      "QPushButton { color: #1b3f8c; text-decoration: underline; border: none; background: transparent;"
      " padding: 0; text-align: left; } QPushButton:hover { color: #7a2fb0; }"));
  // Sized to fit its text.
  const QRect at = m_units.Rect(x, y, 0, h);
  link->setGeometry(at.x(), at.y(), link->fontMetrics().horizontalAdvance(link->text()) + 4, at.height());
  connect(link, &QPushButton::clicked, this, [this, url] { m_context.ports.urlOpener->Open(url, this); });
}

}  // namespace quillmere::gui
