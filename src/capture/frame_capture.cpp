#include "capture/frame_capture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>

// Static, so that another folder's copy of the writer cannot clash with ours.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

FrameCapture::FrameCapture(std::vector<int> times, std::string dir, Presenter* presenter)
    : times_(std::move(times)), dir_(std::move(dir)), presenter_(presenter) {
  std::sort(times_.begin(), times_.end());
  times_.erase(std::unique(times_.begin(), times_.end()), times_.end());
}

void FrameCapture::start() {
  std::error_code error;
  std::filesystem::create_directories(dir_, error);
  if (error) {
    std::fprintf(stderr, "plovermix: cannot make the folder %s: %s\n", dir_.c_str(),
                 error.message().c_str());
    written_ = false;
  }
  if (presenter_ != nullptr) {
    presenter_->keep_presented_frames();  // a shown window would keep none to read back
  }
}

bool FrameCapture::frame_presented(int t) {
  written_ = after_present(t) && written_;
  return !done();
}

bool FrameCapture::finish() const {
  for (int t : missing()) {
    std::fprintf(stderr, "plovermix: the show ended before t=%d; %s was not written\n", t,
                 file_name(dir_, t).c_str());
  }
  return written_ && missing().empty();
}

std::string FrameCapture::file_name(const std::string& dir, int t) {
  return dir + "/frame-" + std::to_string(t) + ".png";
}

bool FrameCapture::after_present(int t) {
  if (done() || t < times_[next_]) {
    return true;
  }
  std::vector<std::uint8_t> rgba;
  // The back buffer as it is: 800 x 600, or the render size the device draws at.
  const std::optional<PixelSize> size =
      presenter_ != nullptr ? presenter_->read_presented_frame(rgba) : std::nullopt;
  if (!size || rgba.size() != static_cast<std::size_t>(size->width) * size->height * 4) {
    std::fprintf(stderr, "plovermix: the device cannot read back the frame at t=%d\n", t);
    next_ = times_.size();
    return false;
  }
  bool written = true;
  // Several times may first be reached by the same frame.
  while (!done() && t >= times_[next_]) {
    const std::string path = file_name(dir_, times_[next_]);
    if (!write_png(path, rgba.data(), size->width, size->height)) {
      std::fprintf(stderr, "plovermix: cannot write %s\n", path.c_str());
      written = false;
    }
    ++next_;
  }
  return written;
}

std::vector<int> FrameCapture::missing() const {
  return std::vector<int>(times_.begin() + static_cast<std::ptrdiff_t>(next_), times_.end());
}

bool write_png(const std::string& path, const std::uint8_t* rgba, int width, int height) {
  return stbi_write_png(path.c_str(), width, height, 4, rgba, width * 4) != 0;
}
