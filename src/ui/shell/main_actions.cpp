#include "ui/shell/main_actions.h"

#include <QAction>
#include <QWidget>

namespace vidora {

MainActions::MainActions(QWidget* frame) : QObject(frame) {
  for (QAction*& action : actions_) {
    action = new QAction(frame);
    // The frame holds the keys, so they work while no menu is open.
    frame->addAction(action);
    // The menus show a key only where a caption carries it after a tab.
    action->setShortcutVisibleInContextMenu(false);
  }
  actions_[static_cast<std::size_t>(MainCommand::kSleepQuit)]->setCheckable(true);
}

QAction* MainActions::Get(MainCommand command) const { return actions_[static_cast<std::size_t>(command)]; }

std::optional<MainCommand> MainActions::CommandOf(const QAction* action) const {
  for (std::size_t i = 0; i < actions_.size(); ++i) {
    if (actions_[i] == action) return static_cast<MainCommand>(i);
  }
  return std::nullopt;
}

void MainActions::Define(MainCommand command, const QString& caption, const QKeySequence& key,
                         std::function<void()> slot) {
  QAction* action = Get(command);
  // A caption is shown as written: "Films & series" has no mnemonic.
  action->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
  action->setShortcut(key);
  connect(action, &QAction::triggered, this, [this, slot = std::move(slot)] {
    if (allowed_ && !allowed_()) return;
    if (slot) slot();
  });
}

}  // namespace vidora
