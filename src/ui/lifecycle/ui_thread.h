#ifndef VIDORA_UI_LIFECYCLE_UI_THREAD_H_
#define VIDORA_UI_LIFECYCLE_UI_THREAD_H_

#include <QCoreApplication>
#include <QThread>

namespace vidora {

// Whether the caller runs on the application's thread, the one UI thread
// (true before the application object exists: nothing else runs then).
inline bool OnUiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

// Debug builds stop here when a UI-thread-only class is used from another
// thread; release builds check nothing.
inline void AssertUiThread() {
  Q_ASSERT_X(OnUiThread(), "AssertUiThread", "UI-thread-only object used off the UI thread");
}

}  // namespace vidora

#endif  // VIDORA_UI_LIFECYCLE_UI_THREAD_H_
