#include "app/gui/window_behaviour.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace quillmere::gui {

EnterEscapeFilter::EnterEscapeFilter(QWidget* window) : QObject(window), m_window(window) {
  qApp->installEventFilter(this);
}

EnterEscapeFilter::~EnterEscapeFilter() {
  if (qApp) qApp->removeEventFilter(this);
}

bool EnterEscapeFilter::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
    return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || !m_window || widget->window() != m_window) return false;
  event->accept();
  return true;
}

void WindowDragger::Press(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  event->accept();
  if (QWindow* handle = m_window->windowHandle(); handle && handle->startSystemMove()) return;
  m_dragging = true;
  m_offset = event->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
}

void WindowDragger::Move(QMouseEvent* event) {
  if (!m_dragging) return;
  event->accept();
  m_window->move(event->globalPosition().toPoint() - m_offset);
}

void WindowDragger::Release(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_dragging = false;
}

}  // namespace quillmere::gui
