// frame_match DESKTOP.png PAGE.png: whether a frame the page drew matches the
// desktop's. Where both frames are flat (the pixel's 3 x 3 neighbourhood
// varies by at most FLAT in every channel) the page's pixel must be within
// NEAR of the desktop's; anywhere, at most FAR_SHARE of the pixels may differ
// by more than FAR. Edges are left that margin: two rasterisers may place an
// edge, a one-pixel particle or a line's end a pixel apart, which leaves one
// frame flat where the other is not. A colour that differs over an area does
// not pass: both frames are flat there.
// A page frame that is one colour throughout fails: a blank canvas draws nothing.
// Prints the figures; exit status 0 when it matches, 1 when not, 2 when unreadable.

#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int FLAT = 2;
constexpr int NEAR = 4;
constexpr int FAR = 8;
constexpr double FAR_SHARE = 0.01;

struct Picture {
  std::unique_ptr<unsigned char, void (*)(void*)> rgba{nullptr, stbi_image_free};
  int width = 0, height = 0;
  int at(int x, int y, int c) const { return rgba.get()[(y * width + x) * 4 + c]; }
};

bool load(const char* path, Picture& picture) {
  int channels = 0;
  picture.rgba.reset(stbi_load(path, &picture.width, &picture.height, &channels, 4));
  if (picture.rgba == nullptr) {
    std::fprintf(stderr, "frame_match: cannot read %s: %s\n", path, stbi_failure_reason());
  }
  return picture.rgba != nullptr;
}

bool flat_around(const Picture& p, int x, int y) {
  for (int c = 0; c < 3; ++c) {
    int low = 255, high = 0;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int v =
            p.at(std::clamp(x + dx, 0, p.width - 1), std::clamp(y + dy, 0, p.height - 1), c);
        low = std::min(low, v);
        high = std::max(high, v);
      }
    }
    if (high - low > FLAT) return false;
  }
  return true;
}

bool one_colour(const Picture& p) {
  for (int i = 1; i < p.width * p.height; ++i) {
    for (int c = 0; c < 3; ++c) {
      if (p.rgba.get()[i * 4 + c] != p.rgba.get()[c]) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: frame_match DESKTOP.png PAGE.png\n");
    return 2;
  }
  Picture desktop, page;
  if (!load(argv[1], desktop) || !load(argv[2], page)) return 2;
  if (desktop.width != page.width || desktop.height != page.height) {
    std::printf("sizes differ: %dx%d against %dx%d\n", desktop.width, desktop.height, page.width,
                page.height);
    return 1;
  }
  if (one_colour(page)) {
    std::printf("the page's frame is one colour: nothing was drawn\n");
    return 1;
  }
  long flat_misses = 0, far = 0;
  int worst = 0, miss_x = -1, miss_y = -1;
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      int diff = 0;
      for (int c = 0; c < 3; ++c)
        diff = std::max(diff, std::abs(desktop.at(x, y, c) - page.at(x, y, c)));
      worst = std::max(worst, diff);
      far += diff > FAR ? 1 : 0;
      if (diff > NEAR && flat_around(desktop, x, y) && flat_around(page, x, y)) {
        if (flat_misses++ == 0) {
          miss_x = x;
          miss_y = y;
        }
      }
    }
  }
  const double far_share = static_cast<double>(far) / (page.width * page.height);
  std::printf(
      "largest difference %d; %ld flat pixels off by more than %d; %.3f%% off by more than %d\n",
      worst, flat_misses, NEAR, 100.0 * far_share, FAR);
  if (flat_misses > 0) {
    std::printf("the first at (%d, %d): desktop %d %d %d, page %d %d %d\n", miss_x, miss_y,
                desktop.at(miss_x, miss_y, 0), desktop.at(miss_x, miss_y, 1),
                desktop.at(miss_x, miss_y, 2), page.at(miss_x, miss_y, 0),
                page.at(miss_x, miss_y, 1), page.at(miss_x, miss_y, 2));
  }
  return flat_misses == 0 && far_share <= FAR_SHARE ? 0 : 1;
}
