#include "ui/texts/ui_texts.h"

#include "ui/lifecycle/app_closing.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <optional>

#include "core/stores/language_pack.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

// The text a window shows as its caption: the title of a top-level
// window, the text of a label, button, check box or edit, the title of a
// group box. nullopt for widgets without one.
std::optional<QString> Caption(const QWidget* widget) {
  if (widget->isWindow()) return widget->windowTitle();
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  return std::nullopt;
}

void SetCaption(QWidget* widget, const QString& text) {
  if (widget->isWindow()) {
    widget->setWindowTitle(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(text);
  }
}

// A message box in the skin's colours, with only a close button on its
// frame (no minimise or maximise).
void WearSkin(QMessageBox& box) {
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  const QColor background = Skin().BackgroundColour();
  const QColor text = Skin().TextColour();
  const QColor frame = Skin().FramePen().color();
  // The hover colour is the one of the skin's menus; the focused button
  // wears the focus ring's highlight, as every other control does.
  box.setStyleSheet(QStringLiteral("QMessageBox { background-color: %1; }"
                                   "QMessageBox QLabel { color: %2; }"
                                   "QMessageBox QPushButton { background-color: %1; color: %2;"
                                   " border: 1px solid %3; padding: 4px 16px; min-width: 64px; }"
                                   "QMessageBox QPushButton:hover { background-color: rgb(83, 96, 135); }"
                                   "QMessageBox QPushButton:focus { border: 2px solid %4;"
                                   " background-color: rgb(83, 96, 135); }")
                        .arg(background.name(), text.name(), frame.name(), Skin().HighlightColour().name()));
}

// A box of `owner`'s on the heap: should the owner go while the box is
// open, the owner's deletion takes the box, and the box is not deleted a
// second time when the caller's scope ends.
class OwnedBox {
 public:
  explicit OwnedBox(QWidget* owner) : box_(new QMessageBox(owner)) {}
  ~OwnedBox() { delete box_.data(); }
  OwnedBox(const OwnedBox&) = delete;
  OwnedBox& operator=(const OwnedBox&) = delete;
  QMessageBox* operator->() const { return box_.data(); }
  QMessageBox& operator*() const { return *box_; }

 private:
  QPointer<QMessageBox> box_;
};

}  // namespace

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
std::u16string FromQString(const QString& text) { return text.toStdU16String(); }

QString Text(std::string_view key) { return ToQString(GetText(key)); }

MessageAnswer ShowMessageByKey(QWidget* owner, std::string_view key, MessageButtons buttons) {
  const bool yes_no = buttons == MessageButtons::kYesNo;
  // While the player closes nobody is there to answer: the box's escape
  // answer stands.
  if (AppClosing()) return yes_no ? MessageAnswer::kNo : MessageAnswer::kOk;
  OwnedBox box(owner);
  WearSkin(*box);
  box->setTextFormat(Qt::PlainText);
  box->setText(Text(key));
  box->setWindowTitle(ToQString(AppTitle()));
  if (yes_no) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
  }
  const int answer = box->exec();
  if (!yes_no) return MessageAnswer::kOk;
  return answer == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

void ShowPlainMessageBox(QWidget* owner, const QString& text, const QString& caption) {
  if (AppClosing()) return;
  OwnedBox box(owner);
  WearSkin(*box);
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  box->setWindowTitle(caption);
  box->setStandardButtons(QMessageBox::Ok);
  box->exec();
}

QString AccessibleNameOf(const QString& caption) {
  QString name = caption.trimmed();
  while (!name.isEmpty() && (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0x2026)) ||
                             name.endsWith(QLatin1Char('.')) || name.back().isSpace())) {
    name.chop(1);
  }
  return name;
}

void SetCaptionByKey(QWidget* widget, std::string_view key) {
  if (widget != nullptr) SetCaption(widget, Text(key));
}

void TranslateWindowTree(QWidget* window) {
  if (window == nullptr) return;
  // An edit's text is what the user typed, not a caption from a template.
  if (qobject_cast<QLineEdit*>(window) == nullptr) {
    if (const std::optional<QString> caption = Caption(window); caption && !caption->isEmpty()) {
      const std::u16string& text = GetText(caption->toUtf8().toStdString());
      if (!text.empty()) SetCaption(window, ToQString(text));
    }
  }
  for (QObject* child : window->children()) {
    if (auto* widget = qobject_cast<QWidget*>(child)) TranslateWindowTree(widget);
  }
}

}  // namespace vidora
