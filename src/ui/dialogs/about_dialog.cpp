#include "ui/dialogs/about_dialog.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

#include "core/stores/language_pack.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/app_icon.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

QLabel* MakeLabel(QWidget* dialog, const char* name) {
  auto* label = new QLabel(dialog);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setTextFormat(Qt::PlainText);
  label->setObjectName(QLatin1String(name));
  return label;
}

}  // namespace

QString FormatVersionText(const QString& format, const QString& version) {
  QString text = format;
  const qsizetype at = text.indexOf(QStringLiteral("%s"));
  if (at >= 0) text.replace(at, 2, version);
  return text;
}

AboutDialog::AboutDialog(QWidget* owner) : SkinnedDialog(owner) {
  ApplyDialogFont(this);
  const QString title = ToQString(AppTitle());
  setWindowTitle(Text("menu_about") + QLatin1Char(' ') + title);
  icon_ = new QLabel(this);
  icon_->setObjectName(QStringLiteral("icon"));
  icon_->setGeometry(DialogUnitRect(4, 20, 21, 20));
  icon_->setAlignment(Qt::AlignCenter);
  const int side = std::min(icon_->width(), icon_->height());
  icon_->setPixmap(AppIcon().pixmap(QSize(side, side), devicePixelRatio()));
  title_ = MakeLabel(this, "title");
  title_->setText(title + QLatin1Char('\n') +
                  FormatVersionText(Text("str_version"), QString::fromUtf16(kAppVersion)));
  address_ = MakeLabel(this, "address");
  address_->setText(QStringLiteral("http://" VIDORA_PUBLISHER_SITE_HOST "/"));
  copyright_ = MakeLabel(this, "copyright");
  copyright_->setText(Text("static_copyright"));
  copyright_->setWordWrap(true);
  SoftKeys();  // an empty bar: the dialog closes through its OK button
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

void AboutDialog::LayoutClient(int width, int height) {
  const int u = BarUnit();
  const int g = u / 8;
  const int d = 5 * u / 4;
  const int e = 4 * u / 3;
  title_->setGeometry(2 * u, d, width - 4 * u, d);
  address_->setGeometry(e, 4 * d, width - 2 * e, d);
  copyright_->setGeometry(g, height - e, width - 2 * g, e);
}

void AboutDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

}  // namespace vidora
