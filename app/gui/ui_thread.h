#pragma once
// Runs a change on the thread that owns `context` and waits for it, as a
// worker's synchronous window message would. On that thread already, it
// runs the change at once.
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <utility>

namespace quillmere::gui {

template <typename F>
auto RunOnUiThread(QObject* context, F&& change) {
  using Result = decltype(change());
  if (QThread::currentThread() == context->thread()) return change();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(context, std::forward<F>(change), Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(context, [&] { result = change(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

}  // namespace quillmere::gui
