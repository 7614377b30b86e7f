#include <QApplication>
#include <QBackingStore>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "e2e/wait_for.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/player_video_widget.h"

namespace vidora::testing {
namespace {

constexpr int kWaitMs = 5000;

// A picture in which every pixel tells where it is in the frame, and
// which frame it is.
QRgb PatternAt(int x, int y, int frame) { return qRgb(x & 0xFF, y & 0xFF, 40 + frame * 50); }

// Draws the pattern, then scribbles over the row padding, as a renderer is
// allowed to.
void DrawPattern(QImage& target, int frame) {
  const qsizetype row = static_cast<qsizetype>(target.width()) * 4;
  for (int y = 0; y < target.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
    for (int x = 0; x < target.width(); ++x) line[x] = PatternAt(x, y, frame);
    std::memset(target.scanLine(y) + row, 0xAB, static_cast<size_t>(target.bytesPerLine() - row));
  }
}

// Draws the pattern of a frame number the test sets, on the widget's
// frame thread; a closed gate holds a draw until it opens (a slow frame).
class PatternBackend : public FakePlayerBackend {
 public:
  explicit PatternBackend(Record& record) : FakePlayerBackend(record) {}
  bool RenderFrame(QImage& target) override {
    std::unique_lock lock(mutex_);
    ++renders_;
    render_thread_ = std::this_thread::get_id();
    render_size_ = target.size();
    drawing_ = true;
    // Bounded, so that a UI thread waiting for the draw fails the test
    // instead of hanging it.
    gate_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
    DrawPattern(target, frame);
    drawing_ = false;
    return true;
  }

  void SetGate(bool open) {
    {
      std::lock_guard lock(mutex_);
      open_ = open;
    }
    gate_.notify_all();
  }
  int renders() const {
    std::lock_guard lock(mutex_);
    return renders_;
  }
  bool drawing() const {
    std::lock_guard lock(mutex_);
    return drawing_;
  }
  std::thread::id render_thread() const {
    std::lock_guard lock(mutex_);
    return render_thread_;
  }
  QSize render_size() const {
    std::lock_guard lock(mutex_);
    return render_size_;
  }

  std::atomic<int> frame{0};

 private:
  mutable std::mutex mutex_;
  std::condition_variable gate_;
  bool open_ = true;
  bool drawing_ = false;
  int renders_ = 0;
  std::thread::id render_thread_;
  QSize render_size_;
};

class SolidWidget : public QWidget {
 public:
  explicit SolidWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(9, 99, 199)); }
};

// A top-level window with the player window inside, between neighbours,
// on the screen.
class PlayerVideoWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    top_.resize(80, 50);
    right_.setGeometry(72, 0, 8, 50);
    below_.setGeometry(0, 40, 72, 10);
    video_.setGeometry(2, 4, 70, 36);
    video_.SetBackend(&backend_);
    top_.show();
    // Frames for a window not on the screen are taken unseen.
    ASSERT_TRUE(WaitFor([&] { return top_.windowHandle() != nullptr && top_.windowHandle()->isExposed(); }, kWaitMs));
    ratio_ = video_.devicePixelRatioF();
    area_ = QRect(QPoint(2, 4) * ratio_, QSize(70, 36) * ratio_);
  }
  void TearDown() override {
    backend_.SetGate(true);
    video_.SetBackend(nullptr);
  }

  const QImage& Store() { return *static_cast<const QImage*>(top_.backingStore()->paintDevice()); }
  // Whether the window's buffer shows `frame`'s picture at the pixel `x`,
  // `y` of the player window (device pixels).
  bool StoreShows(int x, int y, int frame) { return Store().pixel(area_.x() + x, area_.y() + y) == PatternAt(x, y, frame); }
  ::testing::AssertionResult WaitForPicture(int frame) {
    if (WaitFor([&] { return StoreShows(1, 1, frame) && StoreShows(area_.width() - 1, area_.height() - 1, frame); },
                kWaitMs)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "frame " << frame << " not shown";
  }

  QWidget top_;
  SolidWidget right_{&top_};
  SolidWidget below_{&top_};
  PlayerVideoWidget video_{&top_};
  FakePlayerBackend::Record record_;
  PatternBackend backend_{record_};
  qreal ratio_ = 1;
  QRect area_;
};

TEST_F(PlayerVideoWidgetTest, FramesAreDrawnOffTheUiThreadAtTheWindowsSizeAndCopiedInExactly) {
  record_.AnnounceFrame();
  ASSERT_TRUE(WaitForPicture(0));
  EXPECT_NE(backend_.render_thread(), std::this_thread::get_id());
  EXPECT_EQ(backend_.render_size(), area_.size());
  EXPECT_EQ(video_.frames_shown(), 1);
  // Every pixel of the picture, and the neighbours' own pixels around it.
  for (int y = 0; y < area_.height(); ++y) {
    for (int x = 0; x < area_.width(); ++x) ASSERT_TRUE(StoreShows(x, y, 0)) << x << "," << y;
  }
  EXPECT_EQ(Store().pixel(area_.right() + 1, area_.y()), qRgb(9, 99, 199));
  EXPECT_EQ(Store().pixel(area_.x() - 1, area_.y() + 1), top_.palette().window().color().rgb());
  EXPECT_EQ(Store().pixel(area_.x(), area_.bottom() + 1), qRgb(9, 99, 199));
  EXPECT_EQ(video_.frame().pixel(7, 9), PatternAt(7, 9, 0));

  // Painting part of the window again (something covered it), or the
  // whole of it elsewhere (a grab), copies the same picture: nothing is
  // drawn again.
  const int renders = backend_.renders();
  backend_.frame = 1;
  video_.repaint(QRect(10, 10, 4, 4));
  EXPECT_TRUE(StoreShows(11 * ratio_, 11 * ratio_, 0));
  const QImage grabbed = video_.grab().toImage();
  EXPECT_EQ(grabbed.pixel(3, 3), PatternAt(3 * ratio_, 3 * ratio_, 0));
  EXPECT_EQ(backend_.renders(), renders);

  // The next frame replaces it.
  record_.AnnounceFrame();
  ASSERT_TRUE(WaitForPicture(1));
  EXPECT_EQ(video_.frames_shown(), 2);

  // A cleared picture is black wherever it is read.
  video_.ClearPicture();
  video_.repaint();
  EXPECT_EQ(Store().pixel(area_.x() + 2, area_.y() + 2), qRgb(0, 0, 0));
  EXPECT_EQ(video_.frame().pixel(2, 2), qRgb(0, 0, 0));
}

TEST_F(PlayerVideoWidgetTest, AResizedWindowHasItsPictureDrawnAgainAtTheNewSize) {
  record_.AnnounceFrame();
  ASSERT_TRUE(WaitForPicture(0));
  video_.resize(60, 30);
  const QSize resized = QSize(60, 30) * ratio_;
  ASSERT_TRUE(WaitFor([&] { return video_.frame().size() == resized; }, kWaitMs));
  EXPECT_EQ(backend_.render_size(), resized);
  EXPECT_EQ(video_.frame().pixel(59, 29), PatternAt(59, 29, 0));
  // The same picture drawn again is no new frame.
  EXPECT_EQ(video_.frames_shown(), 1);
}

// The engine asks for its current picture to be drawn again (say, once the
// window shows frames again): it is drawn, but is no frame of the clip.
TEST_F(PlayerVideoWidgetTest, ARedrawTheEngineAsksForIsPaintedButNotCountedAsAFrame) {
  record_.AnnounceFrame();
  ASSERT_TRUE(WaitForPicture(0));
  EXPECT_EQ(video_.frames_shown(), 1);
  int renders = backend_.renders();
  backend_.frame = 1;
  record_.AnnounceFrame(false);
  ASSERT_TRUE(WaitForPicture(1));
  EXPECT_EQ(backend_.renders(), renders + 1);
  EXPECT_EQ(video_.frames_shown(), 1);
  // A new frame still counts, also when a redraw request follows it
  // before it is drawn.
  backend_.frame = 2;
  record_.AnnounceFrame(true);
  record_.AnnounceFrame(false);
  ASSERT_TRUE(WaitForPicture(2));
  EXPECT_EQ(video_.frames_shown(), 2);
}

TEST_F(PlayerVideoWidgetTest, TheWindowStaysResponsiveWhileAFrameIsSlowToDraw) {
  record_.AnnounceFrame();
  ASSERT_TRUE(WaitForPicture(0));
  backend_.SetGate(false);
  backend_.frame = 1;
  record_.AnnounceFrame();
  ASSERT_TRUE(WaitFor([&] { return backend_.drawing(); }, kWaitMs));

  // While the frame is being drawn, the window paints, takes more frame
  // announcements, is held and released, and the event loop runs on.
  video_.repaint();
  record_.AnnounceFrame();
  video_.HoldPicture(true);
  video_.HoldPicture(false);
  bool timer_ran = false;
  QTimer::singleShot(0, [&] { timer_ran = true; });
  ASSERT_TRUE(WaitFor([&] { return timer_ran; }, kWaitMs));
  EXPECT_TRUE(backend_.drawing());
  EXPECT_TRUE(StoreShows(5, 5, 0));

  backend_.SetGate(true);
  EXPECT_TRUE(WaitForPicture(1));
}

}  // namespace
}  // namespace vidora::testing
