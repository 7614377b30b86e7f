// Every control the keyboard reaches, in every dialog and the main window
// and in every shipped language, has an accessible name; the controls
// without a caption of their own (combo boxes, lists, line edits, the
// painted soft keys and strip) have a name of their own and a description.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/channels_dialog_state.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/language_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/player_host.h"
#include "ui/playback/playback_test_support.h"
#include "ui/parental/parental_dialog.h"
#include "ui/parental/parental_lock.h"
#include "ui/parental/pin_prompt.h"
#include "ui/playlists/playlist_dialogs.h"
#include "ui/playlists/playlist_guides_dialog.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/shell_test_support.h"

namespace vidora::testing {
namespace {

std::string Describe(const QWidget* widget) {
  return std::string(widget->metaObject()->className()) + " '" + widget->objectName().toStdString() + "'";
}

QString AccessibleText(QWidget* widget, QAccessible::Text which) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  return accessible != nullptr ? accessible->text(which).trimmed() : QString();
}

// The controls Tab reaches in `window`, in its focus chain.
std::vector<QWidget*> TabReachable(QWidget* window) {
  std::vector<QWidget*> reached;
  for (QWidget* widget = window->nextInFocusChain(); widget != window; widget = widget->nextInFocusChain()) {
    if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window) && widget->isEnabled()) {
      reached.push_back(widget);
    }
  }
  return reached;
}

// Returns how many controls it checked.
int ExpectNamedControls(QWidget* window, const std::string& where) {
  const std::vector<QWidget*> controls = TabReachable(window);
  for (QWidget* control : controls) {
    EXPECT_FALSE(AccessibleText(control, QAccessible::Name).isEmpty()) << where << ": " << Describe(control);
    // A button or check box is named by its caption; anything else needs
    // a name of its own (a combo box would otherwise read its entry).
    if (qobject_cast<QAbstractButton*>(control) == nullptr) {
      EXPECT_FALSE(control->accessibleName().trimmed().isEmpty()) << where << ": " << Describe(control);
    }
    if (qobject_cast<QComboBox*>(control) != nullptr || qobject_cast<ChannelListView*>(control) != nullptr) {
      EXPECT_FALSE(AccessibleText(control, QAccessible::Description).isEmpty()) << where << ": " << Describe(control);
    }
  }
  if (auto* dialog = qobject_cast<SkinnedDialog*>(window)) {
    if (QAbstractButton* done = dialog->DoneButton()) {
      EXPECT_FALSE(AccessibleText(done, QAccessible::Name).isEmpty()) << where;
    }
    if (dialog->HasSoftKeys() && !dialog->SoftKeys()->LeftCaption().isEmpty()) {
      EXPECT_FALSE(AccessibleText(dialog->SoftKeys(), QAccessible::Name).isEmpty()) << where;
      EXPECT_TRUE(AccessibleText(dialog->SoftKeys(), QAccessible::Description).contains(QStringLiteral("(F1)")))
          << where;
    }
  }
  return static_cast<int>(controls.size());
}

class AccessibleControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    SetSetting(kAutoCatalogueUpdateSetting, false);
    SetSetting(kAutoUpdateSetting, false);
    SetSetting(kPublisherHostSetting, u"127.0.0.1:1");
    SetSetting(kHideAdultSetting, false);
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    AddTestChannel(*de, "tv", u"http://127.0.0.1:9/tv.y4m");
    AddTestChannel(*de, "radio", u"http://127.0.0.1:9/radio.wav", true);
    SaveDocumentFile(root, dir_.path() / "channels.vdch");
  }
  void TearDown() override {
    FreeCatalogue();
    FreeLanguagePack();
  }

  TempDir dir_;
  FakePlayerBackend::Record record_;
};

TEST_F(AccessibleControlsTest, EveryReachableControlIsNamedInEveryLanguage) {
  for (const char16_t* code : {u"en", u"de", u"fr", u"es", u"ru"}) {
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, code));
    const std::string language = QString::fromStdU16String(code).toStdString();
    MainFrameOptions options;
    options.view.backend = [this] { return std::make_unique<FakePlayerBackend>(record_); };
    options.view.catalogue_file = dir_.path() / "channels.vdch";
    options.save_settings = [] { return true; };
    auto frame = std::make_unique<MainFrame>(std::move(options));
    frame->resize(480, 640);
    frame->show();
    EXPECT_GE(ExpectNamedControls(frame.get(), language + " main window"), 5);
    InfoStrip* strip = frame->findChild<InfoStrip*>();
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(AccessibleText(strip, QAccessible::Name).isEmpty());
    strip->SetStatusText(QStringLiteral("Playing"));
    EXPECT_TRUE(AccessibleText(strip, QAccessible::Description).contains(QStringLiteral("Playing"))) << language;
    EXPECT_FALSE(AccessibleText(frame->soft_keys(), QAccessible::Description).isEmpty());
    {
      SettingsDialog settings(frame.get(), FullScreenTurn::kBySetting, [](QWidget*) {});
      settings.show();
      EXPECT_GE(ExpectNamedControls(&settings, language + " settings"), 4);
      LanguageDialog first_run(nullptr);
      first_run.show();
      EXPECT_EQ(ExpectNamedControls(&first_run, language + " first run"), 1);
      AboutDialog about(frame.get());
      about.show();
      ExpectNamedControls(&about, language + " about");
      AddPlaylistDialog add(frame.get());
      add.show();
      EXPECT_EQ(ExpectNamedControls(&add, language + " add playlist"), 2);
      ChannelsDialog channels(frame.get(), Catalogue());
      channels.show();
      channels.ShowTab(kChannelsTab);  // whatever tab the last dialog left
      EXPECT_EQ(ExpectNamedControls(&channels, language + " channels"), 6);  // with the search row
      channels.ShowTab(kFavouritesTab);
      EXPECT_EQ(ExpectNamedControls(&channels, language + " favourites"), 1);
      channels.ShowTab(kChannelsTab);
      PlaylistManager manager(*Catalogue(), PlaylistFolders{dir_.path() / "p", dir_.path() / "l", dir_.path() / "g"},
                              [] { return 1000; });
      PlaylistsDialog playlists(frame.get(), manager);
      playlists.show();
      EXPECT_EQ(ExpectNamedControls(&playlists, language + " playlists"), 6);
      PlaylistGuidesDialog guides(frame.get(), manager, "pl00000000");
      guides.show();
      EXPECT_EQ(ExpectNamedControls(&guides, language + " guide addresses"), 3);  // Remove waits for a row
      ParentalLock lock;
      ParentalDialog parental(frame.get(), lock, Catalogue());
      parental.show();
      EXPECT_GE(ExpectNamedControls(&parental, language + " parental lock"), 1);
      PinPrompt prompt(frame.get(), lock, QStringLiteral("?"));
      prompt.show();
      EXPECT_EQ(ExpectNamedControls(&prompt, language + " PIN prompt"), 1);
      NewPinDialog new_pin(frame.get());
      new_pin.show();
      EXPECT_EQ(ExpectNamedControls(&new_pin, language + " new PIN"), 2);
    }
    frame.reset();
    FreeCatalogue();
  }
}

// A screen reader finds the channels dialog's painted tabs as page tabs
// named with their counts, the shown one selected, and can switch tabs.
TEST_F(AccessibleControlsTest, ChannelsDialogTabsArePageTabs) {
  ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
  LoadCatalogueFile(dir_.path() / "channels.vdch");
  ChannelsDialog channels(nullptr, Catalogue());
  channels.resize(480, 640);
  channels.show();
  channels.ShowTab(kChannelsTab);
  QAccessibleInterface* list = nullptr;
  QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(&channels);
  for (int i = 0; i < dialog->childCount(); ++i) {
    if (dialog->child(i)->role() == QAccessible::PageTabList) list = dialog->child(i);
  }
  ASSERT_NE(list, nullptr);
  std::vector<QAccessibleInterface*> tabs;
  for (int i = 0; i < list->childCount(); ++i) {
    if (list->child(i)->role() == QAccessible::PageTab) tabs.push_back(list->child(i));
  }
  ASSERT_EQ(tabs.size(), 3u);
  EXPECT_EQ(tabs[0]->text(QAccessible::Name), QStringLiteral("Channels (2)"));
  EXPECT_TRUE(tabs[1]->text(QAccessible::Name).startsWith(QStringLiteral("Favourites")));
  EXPECT_TRUE(tabs[2]->text(QAccessible::Name).startsWith(QStringLiteral("Recent")));
  EXPECT_TRUE(tabs[0]->state().selected);
  EXPECT_FALSE(tabs[1]->state().selected);
  tabs[1]->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(channels.ShownTab(), kFavouritesTab);
  EXPECT_TRUE(tabs[1]->state().selected);
  channels.ShowTab(kRecentTab);
  EXPECT_TRUE(tabs[2]->state().selected);
}

}  // namespace
}  // namespace vidora::testing
