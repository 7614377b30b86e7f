#pragma once

#include <QStringList>
#include <QWidget>

namespace vidora {

// The screen readers' view of a tab strip its owner paints itself: an
// invisible widget laid over the painted strip that takes no mouse or
// focus, seen by assistive tools as a page tab list with one named page
// tab per tab, the shown one selected. Pressing a tab through the
// accessibility API emits `TabChosen`; the owner shows that tab and calls
// `SetShownTab`. Lives on the UI thread, owned by its parent widget.
class PaintedTabStrip : public QWidget {
  Q_OBJECT

 public:
  explicit PaintedTabStrip(QWidget* owner);

  // The tabs' names in order.
  void SetTabNames(const QStringList& names);
  const QStringList& tab_names() const { return names_; }
  void SetShownTab(int index);
  int shown_tab() const { return shown_; }
  // Where tab `index` lies, in this widget's coordinates (equal shares).
  QRect TabRect(int index) const;

 signals:
  void TabChosen(int index);

 private:
  QStringList names_;
  int shown_ = 0;
};

}  // namespace vidora
