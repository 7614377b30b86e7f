#include "ui/accessibility/painted_tab_strip.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWindow>

#include <algorithm>

#include <vector>

namespace vidora {
namespace {

// One tab: keeps only its index and asks the strip for the rest.
class TabInterface : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  TabInterface(PaintedTabStrip* strip, int index) : strip_(strip), index_(index) {}
  bool isValid() const override { return strip_ != nullptr && index_ < strip_->tab_names().size(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return strip_->window()->windowHandle(); }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(strip_); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && isValid() ? strip_->tab_names()[index_] : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const QRect place = strip_->TabRect(index_);
    return QRect(strip_->mapToGlobal(place.topLeft()), place.size());
  }
  QAccessible::Role role() const override { return QAccessible::PageTab; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.selectable = true;
    state.selected = index_ == strip_->shown_tab();
    state.invisible = !strip_->isVisible();
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && isValid()) emit strip_->TabChosen(index_);
  }

 private:
  PaintedTabStrip* strip_;
  int index_;
};

class StripInterface : public QAccessibleWidget {
 public:
  explicit StripInterface(PaintedTabStrip* strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}
  int childCount() const override { return static_cast<int>(Strip()->tab_names().size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    // One interface per tab, kept by Qt's registry.
    if (ids_.size() <= static_cast<size_t>(index)) ids_.resize(static_cast<size_t>(index) + 1, 0);
    QAccessible::Id& id = ids_[static_cast<size_t>(index)];
    if (id == 0 || QAccessible::accessibleInterface(id) == nullptr) {
      id = QAccessible::registerAccessibleInterface(new TabInterface(Strip(), index));
    }
    return QAccessible::accessibleInterface(id);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (size_t i = 0; i < ids_.size(); ++i) {
      if (ids_[i] != 0 && QAccessible::accessibleInterface(ids_[i]) == child) return static_cast<int>(i);
    }
    return -1;
  }

 private:
  PaintedTabStrip* Strip() const { return static_cast<PaintedTabStrip*>(widget()); }
  mutable std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* Factory(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("vidora::PaintedTabStrip") && object != nullptr && object->isWidgetType()) {
    return new StripInterface(static_cast<PaintedTabStrip*>(object));
  }
  return nullptr;
}

}  // namespace

PaintedTabStrip::PaintedTabStrip(QWidget* owner) : QWidget(owner) {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PaintedTabStrip::SetTabNames(const QStringList& names) {
  if (names == names_) return;
  names_ = names;
  QAccessibleEvent event(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

void PaintedTabStrip::SetShownTab(int index) {
  if (index == shown_) return;
  shown_ = index;
  QAccessibleEvent event(this, QAccessible::SelectionWithin);
  QAccessible::updateAccessibility(&event);
}

QRect PaintedTabStrip::TabRect(int index) const {
  const int count = std::max(1, static_cast<int>(names_.size()));
  const int w = width();
  return QRect(w * index / count, 0, w * (index + 1) / count - w * index / count, height());
}

}  // namespace vidora
