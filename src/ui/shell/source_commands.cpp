#include "ui/shell/source_commands.h"

#include <QMenu>

#include "ui/health/channel_health_check.h"
#include "ui/providers/provider_setup.h"
#include "ui/radio/radio_setup.h"
#include "ui/shell/main_actions.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

struct SourceCommand {
  MainCommand command;
  const char* caption;
  QKeyCombination key;
};

const SourceCommand kCommands[] = {
    {MainCommand::kAddProvider, "menu_add_provider", Qt::CTRL | Qt::SHIFT | Qt::Key_A},
    {MainCommand::kRadioDirectory, "menu_radio_directory", Qt::CTRL | Qt::SHIFT | Qt::Key_D},
    {MainCommand::kCheckChannels, "menu_check_channels", Qt::CTRL | Qt::SHIFT | Qt::Key_H},
    {MainCommand::kFilms, "menu_films", Qt::CTRL | Qt::SHIFT | Qt::Key_F},
};

}  // namespace

void EnableSourceFeatures() { EnableProviderAccounts(); }

void DefineSourceActions(MainActions& actions, std::function<QWidget*()> owner, std::function<void(Channel*)> play) {
  for (const SourceCommand& command : kCommands) {
    const QKeySequence key(command.key);
    const QString caption = Text(command.caption) + QLatin1Char('\t') + key.toString(QKeySequence::NativeText);
    std::function<void()> slot;
    switch (command.command) {
      case MainCommand::kAddProvider:
        slot = [owner] { RunAddProviderAccount(owner()); };
        break;
      case MainCommand::kRadioDirectory:
        slot = [owner, play] { OpenRadioDirectory(owner(), play); };
        break;
      case MainCommand::kCheckChannels:
        slot = [owner] {
          if (ChannelHealthCheck* check = ChannelHealthCheck::Current()) check->CheckEverything(owner());
        };
        break;
      default:
        slot = [owner, play] { OpenFilmsPage(owner(), play); };
        break;
    }
    actions.Define(command.command, caption, key, std::move(slot));
  }
}

void AddSourceMenuItems(QMenu* menu, const MainActions& actions) {
  for (const SourceCommand& command : kCommands) menu->addAction(actions.Get(command.command));
}

}  // namespace vidora
