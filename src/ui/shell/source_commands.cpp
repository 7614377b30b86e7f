#include "ui/shell/source_commands.h"

#include <QMenu>
#include <QShortcut>

#include "core/commands/command_ids.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/health/channel_health_check.h"
#include "ui/providers/provider_setup.h"
#include "ui/radio/radio_setup.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

struct SourceCommand {
  int command;
  const char* caption;
  QKeyCombination key;
};

const SourceCommand kCommands[] = {
    {ID_ADD_PROVIDER, "menu_add_provider", Qt::CTRL | Qt::SHIFT | Qt::Key_A},
    {ID_RADIO_DIRECTORY, "menu_radio_directory", Qt::CTRL | Qt::SHIFT | Qt::Key_D},
    {ID_CHECK_CHANNELS, "menu_check_channels", Qt::CTRL | Qt::SHIFT | Qt::Key_H},
    {ID_FILMS, "menu_films", Qt::CTRL | Qt::SHIFT | Qt::Key_F},
};

}  // namespace

void EnableSourceFeatures() { EnableProviderAccounts(); }

void AddSourceMenuItems(QMenu* menu) {
  for (const SourceCommand& command : kCommands) {
    // The key is shown, not bound: the frame's shortcut runs it.
    AddMenuCommand(menu, Text(command.caption) + QLatin1Char('\t') + QKeySequence(command.key).toString(QKeySequence::NativeText),
                   command.command);
  }
}

void InstallSourceKeys(QWidget* frame, std::function<void(int)> send) {
  for (const SourceCommand& command : kCommands) {
    auto* key = new QShortcut(QKeySequence(command.key), frame);
    QObject::connect(key, &QShortcut::activated, frame, [send, id = command.command] { send(id); });
  }
}

bool RunSourceCommand(int command, QWidget* owner, std::function<void(Channel*)> play) {
  switch (command) {
    case ID_ADD_PROVIDER:
      RunAddProviderAccount(owner);
      return true;
    case ID_RADIO_DIRECTORY:
      OpenRadioDirectory(owner, std::move(play));
      return true;
    case ID_CHECK_CHANNELS:
      if (ChannelHealthCheck* check = ChannelHealthCheck::Current()) check->CheckEverything(owner);
      return true;
    case ID_FILMS:
      OpenFilmsPage(owner, std::move(play));
      return true;
    default:
      return false;
  }
}

}  // namespace vidora
