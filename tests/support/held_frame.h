#pragma once
// A presenter for tests: it gives back `frame` at `size` (800 x 600 unless
// set), or nothing while `frame` is empty.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/presenter.h"

class HeldFrame : public Presenter {
 public:
  PixelSize render_size() const override { return size; }
  bool set_render_size(PixelSize /*size*/) override { return false; }
  void keep_presented_frames() override {}
  std::optional<PixelSize> read_presented_frame(std::vector<std::uint8_t>& rgba) override {
    if (frame.empty()) {
      return std::nullopt;
    }
    rgba = frame;
    return size;
  }

  bool set_samples(int /*samples*/, std::string& error) override {
    error = "no samples here";
    return false;
  }

  void set_overlay(std::optional<OverlayImage> /*image*/) override {}

  std::vector<std::uint8_t> frame;
  PixelSize size;
};
