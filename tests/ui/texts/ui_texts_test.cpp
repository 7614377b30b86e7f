#include "ui/texts/ui_texts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/document/document_format.h"
#include "core/stores/language_pack.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

// The process-wide language pack loaded with a few English texts.
class UiTextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocNode root(kLanguagePackRootName);
    DocNode* english = root.AddChild("lang_0");
    english->SetWideString("language", u"English");
    english->SetWideString("ext", u"en");
    const std::pair<const char*, const char16_t*> texts[] = {
        {"app_mvdra", u"Vidora"},          {"menu_settings", u"Settings"},
        {"static_language", u"Language:"}, {"check_update", u"Check for new versions"},
        {"button_ok", u"OK"},              {"msg_noupdates", u"No updates are available."},
        {"msg_update_available", u"A new version is available."}, {"tab_channels", u"Channels"},
    };
    for (const auto& [key, text] : texts) english->AddChild(key)->SetWideString("text", text);
    ASSERT_TRUE(SaveDocumentFile(root, dir_ / "Languages.lngp"));
    Languages().Load(dir_ / "Languages.lngp", u"en");
  }
  void TearDown() override { Languages().Free(); }

  testing::TempDir dir_;
};

TEST_F(UiTextsTest, TranslateWindowTreeReplacesKeysOnly) {
  QDialog dialog;
  dialog.setWindowTitle("menu_settings");
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel("static_language");
  auto* plain = new QLabel("Channels");
  auto* unknown = new QPushButton("msg_missing");
  auto* group = new QGroupBox("tab_channels");
  auto* nested = new QCheckBox("check_update", group);
  auto* deeper = new QWidget(group);
  auto* button = new QPushButton("button_ok", deeper);
  auto* edit = new QLineEdit("menu_settings");
  auto* empty = new QLabel("");
  for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(plain), static_cast<QWidget*>(unknown),
                     static_cast<QWidget*>(group), static_cast<QWidget*>(edit), static_cast<QWidget*>(empty)}) {
    layout->addWidget(w);
  }

  TranslateWindowTree(&dialog);
  EXPECT_EQ(dialog.windowTitle(), "Settings");
  EXPECT_EQ(label->text(), "Language:");
  EXPECT_EQ(plain->text(), "Channels");
  EXPECT_EQ(unknown->text(), "msg_missing");
  EXPECT_EQ(group->title(), "Channels");
  EXPECT_EQ(nested->text(), "Check for new versions");
  EXPECT_EQ(button->text(), "OK");
  EXPECT_EQ(edit->text(), "menu_settings");
  EXPECT_TRUE(empty->text().isEmpty());

  // With no current language every caption stays.
  auto* later = new QLabel("static_language", &dialog);
  Languages().Select(-1);
  TranslateWindowTree(&dialog);
  EXPECT_EQ(later->text(), "static_language");
}

TEST_F(UiTextsTest, SetCaptionsByKey) {
  QDialog dialog;
  auto* label = new QLabel("x", &dialog);
  auto* check = new QCheckBox("y", new QWidget(&dialog));
  SetCaptionByKey(label, "static_language");
  SetCaptionByKey(check, "check_update");
  SetCaptionByKey(nullptr, "check_update");  // no such control
  SetCaptionByKey(&dialog, "menu_settings");
  EXPECT_EQ(label->text(), "Language:");
  EXPECT_EQ(check->text(), "Check for new versions");
  EXPECT_EQ(dialog.windowTitle(), "Settings");
  // A key without a text gives an empty caption, as the lookup does.
  SetCaptionByKey(label, "msg_missing");
  EXPECT_TRUE(label->text().isEmpty());
}

// Answers the next modal message box with `button` and records what it
// showed. Polls until the box is up, so the answer does not depend on how
// fast the box opens.
struct BoxAnswer {
  QString caption;
  QString text;
  int buttons = 0;
};

void AnswerNextBox(QMessageBox::StandardButton button, BoxAnswer& seen) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, button, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.buttons = static_cast<int>(box->standardButtons());
    timer->stop();
    timer->deleteLater();
    box->button(button)->click();
  });
  timer->start(5);
}

TEST_F(UiTextsTest, MessageBoxesUseTheApplicationTitle) {
  BoxAnswer seen;
  AnswerNextBox(QMessageBox::Ok, seen);
  EXPECT_EQ(ShowMessageByKey(nullptr, "msg_noupdates", MessageButtons::kOk), MessageAnswer::kOk);
  EXPECT_EQ(seen.caption, "Vidora");
  EXPECT_EQ(seen.text, "No updates are available.");
  EXPECT_EQ(seen.buttons, static_cast<int>(QMessageBox::Ok));

  AnswerNextBox(QMessageBox::Yes, seen);
  EXPECT_EQ(ShowMessageByKey(nullptr, "msg_update_available", MessageButtons::kYesNo), MessageAnswer::kYes);
  EXPECT_EQ(seen.caption, "Vidora");
  EXPECT_EQ(seen.buttons, static_cast<int>(QMessageBox::Yes | QMessageBox::No));

  AnswerNextBox(QMessageBox::No, seen);
  EXPECT_EQ(ShowMessageByKey(nullptr, "msg_update_available", MessageButtons::kYesNo), MessageAnswer::kNo);

  AnswerNextBox(QMessageBox::Ok, seen);
  ShowPlainMessageBox(nullptr, "0x80072EFD", "");
  EXPECT_EQ(seen.text, "0x80072EFD");
  EXPECT_TRUE(seen.caption.isEmpty());
}

TEST(TextConversionTest, RoundTripsUtf16) {
  const std::u16string text = u"Gr\u00fc\u00dfe \U0001F4FA";
  EXPECT_EQ(FromQString(ToQString(text)), text);
  EXPECT_EQ(ToQString(u"Sender").toStdString(), "Sender");
}

}  // namespace
}  // namespace vidora
