#include "ui/guide/guide_grid_accessible.h"

#include <QAccessibleWidget>
#include <QWindow>

#include <vector>

#include "core/catalogue/channel.h"
#include "ui/guide/guide_grid.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

// One programme block; it only keeps its index and asks the grid again,
// since the blocks change with every scroll.
class BlockInterface : public QAccessibleInterface {
 public:
  BlockInterface(GuideGrid* grid, int index) : grid_(grid), index_(index) {}
  bool isValid() const override { return grid_ != nullptr && Block() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return grid_->window()->windowHandle(); }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    const auto* block = Block();
    if (block == nullptr) return {};
    if (t == QAccessible::Name) return grid_->BlockName(block->programme);
    if (t == QAccessible::Description) {
      // The channel, and whether its past programmes can be played (the
      // "⟲" drawn before its name).
      const Channel& channel = *grid_->channels()[static_cast<size_t>(block->row)];
      const QString name = ToQString(channel.name());
      return grid_->HasArchive(channel) ? name + QStringLiteral(", ") + Text("catchup_has_archive") : name;
    }
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const auto* block = Block();
    return block == nullptr ? QRect() : QRect(grid_->mapToGlobal(block->rect.topLeft()), block->rect.size());
  }
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.focusable = true;
    state.selectable = true;
    const auto* block = Block();
    if (block != nullptr && grid_->IsSelected(*block)) {
      state.focused = grid_->hasFocus();
      state.selected = true;
    }
    return state;
  }

 private:
  const GuideGrid::Block* Block() const {
    blocks_ = grid_->VisibleBlocks();
    return index_ >= 0 && index_ < static_cast<int>(blocks_.size()) ? &blocks_[static_cast<size_t>(index_)] : nullptr;
  }
  GuideGrid* grid_;
  int index_;
  mutable std::vector<GuideGrid::Block> blocks_;
};

class GridInterface : public QAccessibleWidget {
 public:
  explicit GridInterface(GuideGrid* grid) : QAccessibleWidget(grid, QAccessible::Table, Text("str_programme_guide")) {}
  int childCount() const override { return static_cast<int>(Grid()->VisibleBlocks().size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    // One interface per position, kept by Qt's registry; a position's
    // block is looked up again each time it is asked.
    if (ids_.size() <= static_cast<size_t>(index)) ids_.resize(static_cast<size_t>(index) + 1, 0);
    QAccessible::Id& id = ids_[static_cast<size_t>(index)];
    if (id == 0 || QAccessible::accessibleInterface(id) == nullptr) {
      id = QAccessible::registerAccessibleInterface(new BlockInterface(Grid(), index));
    }
    return QAccessible::accessibleInterface(id);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (size_t i = 0; i < ids_.size(); ++i) {
      if (ids_[i] != 0 && QAccessible::accessibleInterface(ids_[i]) == child) return static_cast<int>(i);
    }
    return -1;
  }
  QAccessibleInterface* focusChild() const override {
    const std::vector<GuideGrid::Block> blocks = Grid()->VisibleBlocks();
    for (size_t i = 0; i < blocks.size(); ++i) {
      if (Grid()->IsSelected(blocks[i])) {
        return child(static_cast<int>(i));
      }
    }
    return nullptr;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return Text("str_programme_guide");
    return QAccessibleWidget::text(t);
  }

 private:
  GuideGrid* Grid() const { return static_cast<GuideGrid*>(widget()); }
  mutable std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* Factory(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("vidora::GuideGrid") && object != nullptr && object->isWidgetType()) {
    return new GridInterface(static_cast<GuideGrid*>(object));
  }
  return nullptr;
}

}  // namespace

void InstallGuideGridAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(Factory);
}

}  // namespace vidora
