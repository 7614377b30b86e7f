// "Check channels" against local stream servers: the progress window and
// its Cancel, the one sentence at the end, the marks and tooltips of the
// channel list, "Hide unavailable channels" and the results kept across
// restarts.
#include "ui/health/channel_health_check.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QTimer>

#include <ctime>

#include "ui/catalogue/channels_test_support.h"
#include "core/document/text_codec.h"
#include "core/health/health_settings.h"
#include "core/health/stream_hosts.h"
#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_model.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/health/health_check_dialog.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

using testing::StreamHost;

class ChannelHealthCheckTest : public testing::ChannelsDialogTest {
 protected:
  void SetUp() override {
    ChannelsDialogTest::SetUp();
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
    SetSetting(kHideUnavailableSetting, false);
    // Germany: one channel that plays, one whose first source is gone but
    // whose HLS second source plays, one with no source that answers;
    // France: one that answers with a web page.
    const std::string refused = "http://127.0.0.1:" + std::to_string(testing::RefusingPort()) + "/x.ts";
    WriteChannels({{"de", "ok", {host_.Url("/live.ts")}},
                   {"de", "half", {host_.Url("/missing"), host_.Url("/master.m3u8")}},
                   {"de", "gone", {host_.Url("/missing?2"), refused}},
                   {"fr", "page", {host_.Url("/page")}}});
  }

  struct Entry {
    std::string country, node;
    std::vector<std::string> sources;
  };
  void WriteChannels(const std::vector<Entry>& entries) {
    DocNode root("v_test");
    for (const Entry& entry : entries) {
      DocNode* country = root.FindChild(entry.country);
      if (country == nullptr) country = root.AddChild(entry.country);
      DocNode* channel = country->AddChild(entry.node);
      channel->SetWideString("n", std::u16string(entry.node.begin(), entry.node.end()));
      channel->SetString("c", "n");
      for (size_t i = 0; i < entry.sources.size(); ++i) {
        channel->AddChild(std::to_string(i))->SetWideString("u", Utf8ToUtf16(entry.sources[i]));
      }
    }
    const auto path = dir_.path() / "Checked.vdch";
    ASSERT_TRUE(SaveDocumentFile(root, path));
    catalogue_ = std::make_unique<ChannelCatalogue>();
    ASSERT_TRUE(catalogue_->Load(path, nullptr));
  }

  ChannelHealthCheck::Options Options() const {
    ChannelHealthCheck::Options options;
    options.file = dir_.path() / "cache" / kHealthBookFileName;
    options.limits.source_ms = 1500;
    options.show_summary = false;
    options.recheck_delay_ms = -1;
    return options;
  }

  static void WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(5);
    }
  }

  StreamHost host_;
};

TEST_F(ChannelHealthCheckTest, CheckEndsWithOneSentenceMarksDeadSourcesAndKeepsTheResults) {
  {
    ChannelHealthCheck check(Options());
    check.Check(nullptr, catalogue_->AllChannels());
    EXPECT_EQ(check.last_summary(), "2 of 4 channels did not answer.");

    // The HLS source that answered is tried first now.
    Channel* half = FindChannel("de_half");
    EXPECT_EQ(check.book().LiveFirst(*half, std::time(nullptr)), (std::vector<int>{1, 0}));

    // The rows: a tooltip says why, the screen reader hears it.
    ChannelListModel model;
    model.SetChannels({FindChannel("de_ok"), half, FindChannel("de_gone")});
    EXPECT_FALSE(model.data(model.index(0), Qt::ToolTipRole).isValid());
    EXPECT_TRUE(model.data(model.index(1), Qt::ToolTipRole).toString().startsWith("1 of 2 sources did not answer"));
    const QString gone = model.data(model.index(2), Qt::ToolTipRole).toString();
    EXPECT_TRUE(gone.startsWith("Did not answer")) << gone.toStdString();
    EXPECT_TRUE(gone.contains("error 404")) << gone.toStdString();
    EXPECT_TRUE(model.data(model.index(2), Qt::AccessibleDescriptionRole).toString().contains("Unavailable"));

    // "Hide unavailable channels" leaves out the two whose every source is dead.
    ChannelsDialog dialog(nullptr, catalogue_.get());
    EXPECT_EQ(dialog.channel_list()->RowCount(), 4);
    dialog.RunCommand(ID_HIDE_UNAVAILABLE);
    EXPECT_TRUE(GetSetting(kHideUnavailableSetting));
    EXPECT_EQ(dialog.channel_list()->RowCount(), 2);
    WaitUntil([&check] { return !check.busy(); });
  }
  // Nothing of the catalogue changed; after a restart the results are read back.
  EXPECT_EQ(FindChannel("de_gone")->sources().size(), 2u);
  ChannelHealthCheck again(Options());
  WaitUntil([&again] { return !again.book().empty(); });
  EXPECT_TRUE(again.book().Judge(*FindChannel("de_gone"), std::time(nullptr)).unavailable());
  EXPECT_FALSE(again.book().Judge(*FindChannel("de_ok"), std::time(nullptr)).unavailable());
}

TEST_F(ChannelHealthCheckTest, TheChannelsDialogChecksTheChosenCountryOnly) {
  ChannelHealthCheck check(Options());
  ChannelsDialog dialog(nullptr, catalogue_.get());
  QComboBox* countries = dialog.country_combo();
  for (int i = 0; i < countries->count(); ++i) {
    if (countries->itemText(i) == "France" || countries->itemText(i) == "fr") countries->setCurrentIndex(i);
  }
  ASSERT_EQ(dialog.channel_list()->RowCount(), 1);
  SetSetting(kHideUnavailableSetting, true);
  dialog.RunCommand(ID_CHECK_LIST);
  EXPECT_EQ(check.last_summary(), "1 of 1 channels did not answer.");
  EXPECT_EQ(check.book().size(), 1u);
  // The rows refill at once, without the channel that did not answer.
  EXPECT_EQ(dialog.channel_list()->RowCount(), 0);
}

TEST_F(ChannelHealthCheckTest, CancelStopsHangingProbesAndSaysSoWithoutMarkingAnything) {
  WriteChannels({{"de", "hang1", {host_.Url("/hang?1")}}, {"de", "hang2", {host_.Url("/hang?2")}}});
  ChannelHealthCheck::Options options = Options();
  options.limits.source_ms = 60000;
  ChannelHealthCheck check(options);
  QString line, bar_name;
  QTimer::singleShot(300, [&] {
    auto* window = qobject_cast<HealthCheckDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    line = window->line()->text();
    bar_name = window->bar()->accessibleName();
    window->RunCommand(kCancelCommand);
  });
  check.Check(nullptr, catalogue_->AllChannels());
  EXPECT_EQ(line, "0 of 2 sources checked");
  EXPECT_EQ(bar_name, "Progress of the channel check");
  EXPECT_EQ(check.last_summary(), "Check cancelled. 0 of 2 channels did not answer.");
  EXPECT_TRUE(check.book().empty());
}

}  // namespace
}  // namespace vidora
