#ifndef VIDORA_UI_DIALOGS_IMAGE_BUTTON_H_
#define VIDORA_UI_DIALOGS_IMAGE_BUTTON_H_

#include <QAbstractButton>
#include <QImage>

#include "ui/skin/resource_pack.h"

namespace vidora {

// A push button that shows one of three skin images and nothing else (no
// background, no text): the pressed image while pressed, else the focused
// image while it has the keyboard focus, else the normal image. With the
// focus the style's focus ring (PE_FrameFocusRect) goes round it. The images
// are borrowed (normally a glyph set of the skin) and must outlive the
// button. UI thread only.
class ImageButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit ImageButton(QWidget* parent = nullptr);

  // Variants 0, 1 and 2 of `glyphs` become the normal, focused and pressed
  // images; the button repaints and, unless keep_size is set, takes the
  // normal image's size.
  void SetImages(const GlyphSet& glyphs);
  // The same with single images; nullptr (or a null image) is absent.
  void SetImages(const QImage* normal, const QImage* focused, const QImage* pressed);

  // When false (the default) setting images resizes the button to its
  // normal image.
  void set_keep_size(bool keep) { keep_size_ = keep; }
  bool keep_size() const { return keep_size_; }

  // The image the button shows in its present state, or nullptr.
  const QImage* CurrentImage() const;
  // Which image a state shows: pressed wins over focused.
  static GlyphVariant ChooseVariant(bool focused, bool pressed);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QImage* images_[3] = {nullptr, nullptr, nullptr};
  bool keep_size_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_IMAGE_BUTTON_H_
