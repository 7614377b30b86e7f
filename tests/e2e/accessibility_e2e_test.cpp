// The real player on Xvfb as a screen reader sees it over AT-SPI, on a
// session bus and an accessibility bus of the test's own.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "e2e/atspi_client.h"
#include "e2e/private_x_server.h"
#include "e2e/x_player.h"

namespace vidora::testing {
namespace {

// Walks the player's whole accessible tree; returns the objects seen.
std::vector<AccessibleNode> WalkAll(AtSpiClient& client, const QString& service, const char* what) {
  std::vector<AccessibleNode> nodes;
  const int visited = client.Walk(service, [&nodes](const AccessibleNode& node) { nodes.push_back(node); });
  EXPECT_GT(visited, 3) << what;
  for (const std::string& failure : client.failures()) ADD_FAILURE() << what << ": " << failure;
  return nodes;
}

struct Session {
  PrivateXServer x{"1280x1024x24"};
  XPlayer player;
  std::unique_ptr<AccessibilitySession> bus;
  std::unique_ptr<AtSpiClient> client;
  QString service;

  void Start(bool first_run) {
    ASSERT_FALSE(x.display().empty()) << "no Xvfb";
    player.WriteSettings(first_run);
    bus = std::make_unique<AccessibilitySession>(x.display(), player.runtime().string());
    ASSERT_FALSE(bus->address().isEmpty()) << "no dbus-daemon";
    player.Start(x.display(), bus->address());
    const QString address = bus->AccessibilityBusAddress();
    ASSERT_FALSE(address.isEmpty()) << "no accessibility bus (at-spi2-core)";
    client = std::make_unique<AtSpiClient>(address);
    ASSERT_TRUE(client->connected());
    service = client->WaitForApplication(20000);
    ASSERT_FALSE(service.isEmpty()) << "the player never registered with the accessibility registry";
  }
};

// A screen reader reads every object of every window (the first-run
// dialog, the main window, its menu, the channels, settings and about
// dialogs) and asks each for all its properties at once: the player
// answers all of it and still runs.
TEST(AccessibilityE2eTest, AScreenReaderReadsEveryWindowAndThePlayerRunsOn) {
  Session session;
  session.Start(/*first_run=*/true);
  if (HasFatalFailure()) return;
  XPlayer& player = session.player;
  AtSpiClient& client = *session.client;

  ASSERT_TRUE(player.WaitForWindows(1, 20000)) << "no first-run dialog";
  WalkAll(client, session.service, "first-run dialog");
  ASSERT_TRUE(player.Running()) << "first-run dialog";
  player.Press(player.Windows().back(), {"Return"});

  ASSERT_TRUE(player.WaitForWindows(1, 20000, QStringLiteral("^Vidora$"))) << "no main window";
  ASSERT_TRUE(player.WaitForWindows(1, 20000)) << "the loading screen stayed";
  const unsigned long frame = player.Windows().front();
  WalkAll(client, session.service, "main window");
  ASSERT_TRUE(player.Running()) << "main window";

  // The main menu, a pop-up without a title, is read while it is open.
  player.Press(frame, {"F2"});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  WalkAll(client, session.service, "main menu");
  ASSERT_TRUE(player.Running()) << "main menu";
  player.Press(0, {"Escape"});

  struct Dialog {
    const char* what;
    QStringList open;
  };
  const Dialog dialogs[] = {
      {"channels dialog", {"F1"}},
      {"settings dialog", {"F2", "Down", "Return"}},
      {"about dialog", {"F2", "Down", "Down", "Down", "Down", "Return"}},
      {"programme guide", {"g"}},
      {"provider account dialog", {"ctrl+shift+a"}},
  };
  for (const Dialog& dialog : dialogs) {
    player.Press(frame, dialog.open);
    ASSERT_TRUE(player.WaitForWindows(2, 10000)) << dialog.what << " did not open";
    WalkAll(client, session.service, dialog.what);
    ASSERT_TRUE(player.Running()) << dialog.what;
    player.Press(0, {"Escape"});
    ASSERT_TRUE(player.WaitForWindows(1, 10000)) << dialog.what << " did not close";
  }
  EXPECT_TRUE(player.Running());
}

// The soft keys are push buttons a screen reader finds by their names and
// presses; the main window is a frame.
TEST(AccessibilityE2eTest, TheSoftKeysArePushButtonsAScreenReaderCanPress) {
  Session session;
  session.Start(/*first_run=*/false);
  if (HasFatalFailure()) return;
  XPlayer& player = session.player;
  AtSpiClient& client = *session.client;
  ASSERT_TRUE(player.WaitForWindows(1, 20000, QStringLiteral("^Vidora$"))) << "no main window";
  ASSERT_TRUE(player.WaitForWindows(1, 20000)) << "the loading screen stayed";

  std::vector<AccessibleNode> nodes = WalkAll(client, session.service, "main window");
  auto find = [&nodes](const QString& name) -> const AccessibleNode* {
    for (const AccessibleNode& node : nodes) {
      if (node.name == name) return &node;
    }
    return nullptr;
  };
  const AccessibleNode* frame = find(QStringLiteral("Vidora"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->role, QStringLiteral("frame"));
  for (const char* name : {"Channels", "Menu"}) {
    const AccessibleNode* key = find(QString::fromLatin1(name));
    ASSERT_NE(key, nullptr) << name;
    EXPECT_EQ(key->role, QStringLiteral("push button")) << name;
    EXPECT_TRUE(key->actions.contains(QStringLiteral("Press"))) << name << ": " << key->actions.join(',').toStdString();
  }
  const AccessibleNode* channels = find(QStringLiteral("Channels"));
  ASSERT_TRUE(client.DoAction(session.service, channels->path, channels->actions.indexOf(QStringLiteral("Press"))));
  ASSERT_TRUE(player.WaitForWindows(2, 10000)) << "pressing Channels opened no channels dialog";

  // The dialog's painted tabs are page tabs, named with their counts.
  nodes = WalkAll(client, session.service, "channels dialog");
  QStringList tabs;
  const AccessibleNode* favourites = nullptr;
  for (const AccessibleNode& node : nodes) {
    if (node.role != QStringLiteral("page tab")) continue;
    tabs << node.name;
    if (node.name.startsWith(QStringLiteral("Favourites ("))) favourites = &node;
  }
  EXPECT_EQ(tabs.size(), 3) << tabs.join('|').toStdString();
  ASSERT_NE(favourites, nullptr) << tabs.join('|').toStdString();
  ASSERT_TRUE(client.DoAction(session.service, favourites->path, favourites->actions.indexOf(QStringLiteral("Press"))));
  EXPECT_TRUE(player.Running());
}

}  // namespace
}  // namespace vidora::testing
