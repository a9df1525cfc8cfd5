#pragma once
// Two behaviours every page and the about box share: Enter and Escape do
// nothing anywhere in the window, and the window moves when any point of
// it that is not an interactive control is dragged.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class QMouseEvent;

namespace quillmere::gui {

// Swallows the Enter, Return and Escape keys for every widget of `window`
// (message boxes it owns are windows of their own and keep their keys).
class EnterEscapeFilter : public QObject {
  Q_OBJECT
 public:
  explicit EnterEscapeFilter(QWidget* window);
  ~EnterEscapeFilter() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> m_window;
};

// Moves a window by dragging: the window system's move where it offers one,
// else the window follows the mouse. Mouse presses that no child control
// takes (labels, pictures, the background) reach the window itself.
class WindowDragger {
 public:
  explicit WindowDragger(QWidget* window) : m_window(window) {}
  void Press(QMouseEvent* event);
  void Move(QMouseEvent* event);
  void Release(QMouseEvent* event);

 private:
  QWidget* m_window;
  bool m_dragging = false;
  QPoint m_offset;
};

}  // namespace quillmere::gui
