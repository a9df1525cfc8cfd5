#include "controls/gui/check_box_images.h"

#include <algorithm>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace quillmere::controls {
namespace {

constexpr CheckBoxCell kCells[kCheckBoxCells] = {
    {"unused", false, BoxTick::kOff, true, false},
    {"unchecked normal", true, BoxTick::kOff, true, false},
    {"checked normal", true, BoxTick::kOn, true, false},
    {"tri-state normal", true, BoxTick::kMixed, true, false},
    {"unused", false, BoxTick::kOff, true, false},
    {"unchecked disabled", true, BoxTick::kOff, false, false},
    {"checked disabled", true, BoxTick::kOn, false, false},
    {"tri-state disabled", true, BoxTick::kMixed, false, false},
    {"unused", false, BoxTick::kOff, true, false},
    {"unchecked normal", true, BoxTick::kOff, true, true},
    {"checked normal", true, BoxTick::kOn, true, true},
    {"tri-state normal", true, BoxTick::kMixed, true, true},
    {"unused", false, BoxTick::kOff, true, false},
    // The hover look of a disabled box is the disabled box.
    {"unchecked disabled", true, BoxTick::kOff, false, false},
    {"checked disabled", true, BoxTick::kOn, false, false},
    {"tri-state disabled", true, BoxTick::kMixed, false, false},
    {"", false, BoxTick::kOff, true, false},
};

const QColor kMagenta(255, 0, 255);

void DrawThemedBox(QPainter& painter, const QRect& box, const CheckBoxCell& cell, const QStyle& style,
                   const QWidget* widget) {
  QStyleOptionButton option;
  option.initFrom(widget);
  option.rect = box;
  option.state &= ~(QStyle::State_Enabled | QStyle::State_MouseOver | QStyle::State_HasFocus |
                    QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange);
  if (cell.enabled) option.state |= QStyle::State_Enabled;
  if (cell.hot) option.state |= QStyle::State_MouseOver;
  switch (cell.tick) {
    case BoxTick::kOff: option.state |= QStyle::State_Off; break;
    case BoxTick::kOn: option.state |= QStyle::State_On; break;
    case BoxTick::kMixed: option.state |= QStyle::State_NoChange; break;
  }
  if (!cell.enabled) option.palette.setCurrentColorGroup(QPalette::Disabled);
  style.drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, widget);
}

// The classic look: a flat one-pixel frame, the window colour inside (the
// button face when disabled), and a tick mark; a partly ticked box carries
// the mark in gray.
void DrawClassicBox(QPainter& painter, const QRect& box, const CheckBoxCell& cell, const QPalette& palette) {
  const QColor frame = palette.color(QPalette::Active, QPalette::Dark);
  const QColor inside = cell.enabled ? palette.color(QPalette::Active, QPalette::Base)
                                     : palette.color(QPalette::Active, QPalette::Button);
  QColor mark = palette.color(QPalette::Active, QPalette::Text);
  if (cell.tick == BoxTick::kMixed) mark = cell.enabled ? QColor(128, 128, 128) : QColor(176, 176, 176);
  else if (!cell.enabled) mark = QColor(128, 128, 128);

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(box, inside);
  painter.setPen(frame);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  if (cell.tick != BoxTick::kOff) {
    const QRectF r = QRectF(box).adjusted(2.5, 2.5, -2.5, -2.5);
    QPainterPath path;
    path.moveTo(r.left() + r.width() * 0.05, r.top() + r.height() * 0.50);
    path.lineTo(r.left() + r.width() * 0.38, r.top() + r.height() * 0.85);
    path.lineTo(r.left() + r.width() * 0.95, r.top() + r.height() * 0.12);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(mark, std::max(1.5, box.width() / 7.0), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
  }
  painter.restore();
}

}  // namespace

const CheckBoxCell& CheckBoxCellAt(int index) {
  return kCells[index < 0 || index >= kCheckBoxCells ? 0 : index];
}

bool BuildCheckBoxImages(const QWidget* widget, ImageList& list, int size, QColor background,
                         const CheckBoxTheme& theme) {
  if (!widget || size < 1) return false;
  if (list.Count() > 0) list.Destroy();

  QImage strip(kCheckBoxCells * size, size, QImage::Format_RGB32);
  if (strip.isNull() || !list.Create(size, size, kCheckBoxCells, 1)) return false;

  QPainter painter;
  if (!painter.begin(&strip)) return false;
  const bool themed = theme.Usable();
  strip.fill(background);
  for (int n = 0; n < kCheckBoxCells - 1; ++n) {
    const CheckBoxCell& cell = kCells[n];
    if (!cell.drawn) continue;
    const QRect box(QPoint(n * size + 1, 1), QPoint(n * size + size - 2, size - 2));
    if (themed) DrawThemedBox(painter, box, cell, *theme.style, widget);
    else DrawClassicBox(painter, box, cell, widget->palette());
  }
  painter.end();
  return list.Add(strip, kMagenta) >= 0;
}

}  // namespace quillmere::controls
