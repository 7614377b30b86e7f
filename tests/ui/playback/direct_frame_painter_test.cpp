#include <QApplication>
#include <QBackingStore>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "e2e/wait_for.h"
#include "ui/playback/direct_frame_painter.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/player_video_widget.h"

namespace vidora::testing {
namespace {

// A picture in which every pixel tells where it is in the frame, and
// which frame it is.
QRgb PatternAt(int x, int y, int frame) { return qRgb(x & 0xFF, y & 0xFF, 40 + frame * 50); }

// Draws the pattern, then scribbles over the row padding and the bytes
// past the last row up to one stride, as a renderer is allowed to.
bool DrawPattern(QImage& target, int frame) {
  const qsizetype row = static_cast<qsizetype>(target.width()) * 4;
  for (int y = 0; y < target.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
    for (int x = 0; x < target.width(); ++x) line[x] = PatternAt(x, y, frame);
    std::memset(target.scanLine(y) + row, 0xAB, static_cast<size_t>(target.bytesPerLine() - row));
  }
  return true;
}

// A backdrop whose every pixel differs from the pattern's.
QImage Backdrop(QSize size, QImage::Format format = QImage::Format_RGB32) {
  QImage image(size, format);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(255 - (x & 0x7F), 7, y & 0xFF));
  }
  return image;
}

// Whether `image` shows the pattern of `frame` inside `area` and `before`
// outside it (and, with `shown`, only inside `shown` of the area).
::testing::AssertionResult ShowsPatternIn(const QImage& image, const QImage& before, const QRect& area, int frame,
                                          const QRect& shown = QRect()) {
  const QRect visible = shown.isNull() ? area : shown;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb want = visible.contains(x, y) ? PatternAt(x - area.x(), y - area.y(), frame) : before.pixel(x, y);
      if (image.pixel(x, y) != want) {
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << image.pixel(x, y)
                                             << ", not " << want;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(DirectFramePainterTest, DrawsIntoTheImageWithoutTouchingItsNeighbours) {
  // Each area leaves pixels on the right of its rows and on the left of
  // the rows below: both are where a renderer's row padding lands.
  for (const QRect& area : {QRect(3, 2, 34, 9), QRect(0, 0, 40, 30), QRect(0, 4, 35, 26), QRect(5, 0, 35, 29)}) {
    SCOPED_TRACE(area.x());
    const QImage before = Backdrop(QSize(40, 30));
    QImage image = before;
    DirectFramePainter direct;
    QRect drawn;
    {
      QPainter painter(&image);
      EXPECT_EQ(direct.Draw(painter, area, [](QImage& target) { return DrawPattern(target, 0); }, &drawn),
                DirectFramePainter::Result::kDrawn);
    }
    EXPECT_EQ(drawn, area);
    EXPECT_TRUE(ShowsPatternIn(image, before, area, 0));
    EXPECT_EQ(DirectFramePainter::CopyAligned(image, area).pixel(4, 3), PatternAt(4, 3, 0));
  }
}

TEST(DirectFramePainterTest, DrawsIntoWindowBuffersWithAlpha) {
  // A window's buffer may be premultiplied ARGB: the renderer gets that
  // format and draws opaque pixels, which read back unchanged.
  const QImage before = Backdrop(QSize(40, 30), QImage::Format_ARGB32_Premultiplied);
  QImage image = before;
  DirectFramePainter direct;
  QImage::Format given = QImage::Format_Invalid;
  {
    QPainter painter(&image);
    EXPECT_EQ(direct.Draw(painter, QRect(2, 3, 36, 20),
                          [&](QImage& target) {
                            given = target.format();
                            return DrawPattern(target, 5);
                          }),
              DirectFramePainter::Result::kDrawn);
  }
  EXPECT_EQ(given, QImage::Format_ARGB32_Premultiplied);
  EXPECT_TRUE(ShowsPatternIn(image, before, QRect(2, 3, 36, 20), 5));
}

TEST(DirectFramePainterTest, ScalesTheAreaToDevicePixelsAndKeepsWhatIsClippedAway) {
  QImage before = Backdrop(QSize(28, 24));
  QImage image = before;
  image.setDevicePixelRatio(2);
  DirectFramePainter direct;
  QSize given;
  {
    QPainter painter(&image);
    EXPECT_EQ(direct.Draw(painter, QRect(1, 2, 12, 6),
                          [&](QImage& target) {
                            given = target.size();
                            return DrawPattern(target, 1);
                          }),
              DirectFramePainter::Result::kDrawn);
  }
  EXPECT_EQ(given, QSize(24, 12));
  EXPECT_TRUE(ShowsPatternIn(image, before, QRect(2, 4, 24, 12), 1));

  // A small cut of the area is left as it was.
  before = Backdrop(QSize(48, 40));
  image = before;
  {
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, 40, 40));
    EXPECT_EQ(direct.Draw(painter, QRect(2, 3, 44, 20), [](QImage& target) { return DrawPattern(target, 2); }),
              DirectFramePainter::Result::kDrawn);
  }
  EXPECT_TRUE(ShowsPatternIn(image, before, QRect(2, 3, 44, 20), 2, QRect(2, 3, 38, 20)));
}

TEST(DirectFramePainterTest, DeclinesWhereItCouldNotDrawExactly) {
  const auto declined = [](QPaintDevice& device, const QRect& area, const std::function<void(QPainter&)>& set_up) {
    DirectFramePainter direct;
    bool called = false;
    QPainter painter(&device);
    if (set_up) set_up(painter);
    const auto result = direct.Draw(painter, area, [&](QImage&) { return called = true; });
    return result == DirectFramePainter::Result::kDeclined && !called;
  };
  QImage image = Backdrop(QSize(40, 30));
  // Padding of the last row would run past the end of the image.
  EXPECT_TRUE(declined(image, QRect(5, 10, 35, 20), {}));
  // A narrow area in a wide image: saving its neighbours' pixels would
  // cost more than drawing aside.
  EXPECT_TRUE(declined(image, QRect(0, 0, 10, 30), {}));
  // Not inside the image.
  EXPECT_TRUE(declined(image, QRect(30, 0, 20, 10), {}));
  // Half pixels, and a mirrored picture.
  EXPECT_TRUE(declined(image, QRect(1, 1, 5, 5), [](QPainter& p) { p.scale(1.5, 1.5); }));
  EXPECT_TRUE(declined(image, QRect(1, 1, 5, 5), [](QPainter& p) { p.scale(-1, 1); }));
  // Most of the area clipped away: saving the rest would cost more than
  // drawing aside.
  EXPECT_TRUE(declined(image, QRect(0, 0, 40, 20), [](QPainter& p) { p.setClipRect(QRect(0, 0, 8, 8)); }));
  // Pixels of another layout.
  QImage other = Backdrop(QSize(40, 30), QImage::Format_RGBA8888);
  EXPECT_TRUE(declined(other, QRect(0, 0, 40, 10), {}));

  // A renderer that draws nothing leaves the image as it was.
  const QImage before = image;
  DirectFramePainter direct;
  {
    QPainter painter(&image);
    EXPECT_EQ(direct.Draw(painter, QRect(2, 0, 38, 10), [](QImage&) { return false; }),
              DirectFramePainter::Result::kFailed);
  }
  EXPECT_EQ(image, before);
}

// Draws the pattern of a frame number the test sets.
class PatternBackend : public FakePlayerBackend {
 public:
  explicit PatternBackend(Record& record) : FakePlayerBackend(record) {}
  bool RenderFrame(QImage& target) override {
    ++renders;
    last_pixels = target.constBits();
    return DrawPattern(target, frame);
  }
  int frame = 0;
  int renders = 0;
  const uchar* last_pixels = nullptr;
};

class SolidWidget : public QWidget {
 public:
  explicit SolidWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(9, 99, 199)); }
};

// The engine asks for its current picture to be drawn again (say, once the
// window shows frames again): it is painted, but is no frame of the clip.
TEST(DirectFramePainterTest, ARedrawTheEngineAsksForIsPaintedButNotCountedAsAFrame) {
  QWidget top;
  top.resize(80, 50);
  PlayerVideoWidget video(&top);
  video.setGeometry(2, 4, 70, 36);
  FakePlayerBackend::Record record;
  PatternBackend backend(record);
  video.SetBackend(&backend);
  top.show();
  ASSERT_TRUE(WaitFor([&] { return top.windowHandle() != nullptr && top.windowHandle()->isExposed(); }, 5000));

  video.FrameReady();
  video.repaint();
  EXPECT_EQ(video.frames_shown(), 1);
  record.frame_is_new = false;
  const int renders = backend.renders;
  video.FrameReady();
  video.repaint();
  EXPECT_EQ(backend.renders, renders + 1);
  EXPECT_EQ(video.frames_shown(), 1);
  // A new frame still counts, also when a redraw request follows it
  // before the paint.
  record.frame_is_new = true;
  video.FrameReady();
  record.frame_is_new = false;
  video.FrameReady();
  video.repaint();
  EXPECT_EQ(video.frames_shown(), 2);
}

TEST(DirectFramePainterTest, ThePlayerWindowPaintsFramesIntoItsWindowsBuffer) {
  QWidget top;
  top.resize(80, 50);
  SolidWidget right(&top);
  right.setGeometry(72, 0, 8, 50);
  SolidWidget below(&top);
  below.setGeometry(0, 40, 72, 10);
  PlayerVideoWidget video(&top);
  video.setGeometry(2, 4, 70, 36);
  FakePlayerBackend::Record record;
  PatternBackend backend(record);
  video.SetBackend(&backend);
  top.show();
  // Frames for a window not on the screen are taken unseen.
  ASSERT_TRUE(WaitFor([&] { return top.windowHandle() != nullptr && top.windowHandle()->isExposed(); }, 5000));
  const qreal ratio = video.devicePixelRatioF();
  const QRect area(QPoint(2, 4) * ratio, QSize(70, 36) * ratio);

  video.FrameReady();
  video.repaint();
  const auto* store = static_cast<const QImage*>(top.backingStore()->paintDevice());
  ASSERT_TRUE(store->format() == QImage::Format_RGB32 || store->format() == QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(video.frames_shown(), 1);
  EXPECT_EQ(backend.last_pixels, store->constBits() + area.y() * store->bytesPerLine() + area.x() * 4);
  // The picture, and its neighbours' own pixels around it.
  EXPECT_EQ(store->pixel(area.x(), area.y()), PatternAt(0, 0, 0));
  EXPECT_EQ(store->pixel(area.right(), area.bottom()), PatternAt(area.width() - 1, area.height() - 1, 0));
  EXPECT_EQ(store->pixel(area.right() + 1, area.y()), qRgb(9, 99, 199));
  EXPECT_EQ(store->pixel(area.x() - 1, area.y() + 1), top.palette().window().color().rgb());
  EXPECT_EQ(store->pixel(area.x(), area.bottom() + 1), qRgb(9, 99, 199));
  // Part of the window painted again (something covered it): the engine
  // draws its current frame again, and only that part changes.
  backend.frame = 1;
  int renders = backend.renders;
  video.repaint(QRect(10, 10, 4, 4));
  EXPECT_EQ(backend.renders, renders + 1);
  EXPECT_EQ(video.frames_shown(), 1);
  EXPECT_EQ(store->pixel(area.x() + 11 * ratio, area.y() + 11 * ratio), PatternAt(11 * ratio, 11 * ratio, 1));
  EXPECT_EQ(store->pixel(area.x() + 20 * ratio, area.y() + 20 * ratio), PatternAt(20 * ratio, 20 * ratio, 0));
  EXPECT_EQ(store->pixel(area.right() + 1, area.y() + 11 * ratio), qRgb(9, 99, 199));

  // The next frame goes straight in again; painted elsewhere (a grab),
  // the picture is drawn again through the window's own image.
  backend.frame = 2;
  video.FrameReady();
  video.repaint();
  EXPECT_EQ(video.frames_shown(), 2);
  EXPECT_EQ(store->pixel(area.x() + 1, area.y()), PatternAt(1, 0, 2));
  backend.frame = 3;
  renders = backend.renders;
  const QImage grabbed = video.grab().toImage();
  EXPECT_EQ(backend.renders, renders + 1);
  EXPECT_EQ(grabbed.pixel(3, 3), PatternAt(3 * ratio, 3 * ratio, 3));
  EXPECT_EQ(video.frame().pixel(3, 3), PatternAt(3, 3, 3));

  // A frame drawn straight in can be read back, and once read back it is
  // at hand for a partial paint.
  backend.frame = 4;
  video.FrameReady();
  video.repaint();
  EXPECT_EQ(video.frame().size(), area.size());
  EXPECT_EQ(video.frame().pixel(7, 9), PatternAt(7, 9, 4));
  renders = backend.renders;
  video.repaint(QRect(10, 10, 4, 4));
  EXPECT_EQ(backend.renders, renders);
  EXPECT_EQ(store->pixel(area.x() + 11 * ratio, area.y() + 11 * ratio), PatternAt(11 * ratio, 11 * ratio, 4));

  // A cleared picture is black wherever it is read.
  video.ClearPicture();
  video.repaint();
  EXPECT_EQ(store->pixel(area.x() + 2, area.y() + 2), qRgb(0, 0, 0));
  EXPECT_EQ(video.frame().pixel(2, 2), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace vidora::testing
