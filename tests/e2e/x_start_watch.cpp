#include "e2e/x_start_watch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <set>

namespace vidora::testing {

namespace {

constexpr size_t kColourCap = 16;

int DistinctColours(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0) return -1;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) return -1;
  std::set<unsigned long> colours;
  for (int y = 0; y < attributes.height && colours.size() < kColourCap; ++y) {
    for (int x = 0; x < attributes.width && colours.size() < kColourCap; ++x) colours.insert(XGetPixel(image, x, y));
  }
  XDestroyImage(image);
  return static_cast<int>(colours.size());
}

}  // namespace

XStartWatch::XStartWatch(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
  if (display_ == nullptr) return;
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, False);
}

XStartWatch::~XStartWatch() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

int XStartWatch::FirstWindowColoursWhenALargerOneIsCreated(int bound_ms) {
  if (display_ == nullptr) return -1;
  const Window root = DefaultRootWindow(display_);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(bound_ms);
  Window first = 0;
  int first_width = 0;
  int first_height = 0;
  while (std::chrono::steady_clock::now() < end) {
    if (XPending(display_) == 0) {
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, 20);
      continue;
    }
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == MapNotify && first == 0 && event.xmap.event == root && !event.xmap.override_redirect) {
      first = event.xmap.window;
      XWindowAttributes attributes{};
      XGetWindowAttributes(display_, first, &attributes);
      first_width = attributes.width;
      first_height = attributes.height;
    } else if (event.type == CreateNotify && first != 0 && event.xcreatewindow.parent == root &&
               !event.xcreatewindow.override_redirect && event.xcreatewindow.width > first_width &&
               event.xcreatewindow.height > first_height) {
      // The player goes on meanwhile: the grab holds its further drawing
      // while the pixels are read.
      XGrabServer(display_);
      const int colours = DistinctColours(display_, first);
      XUngrabServer(display_);
      XSync(display_, False);
      return colours;
    }
  }
  return -1;
}

}  // namespace vidora::testing
