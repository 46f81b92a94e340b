#pragma once
// What the player, capture and tests need of the frames a device presents,
// beside the device's operations: the back buffer's size, and the presented
// frame read back. Whoever made the device hands it out (the GL backend's is
// in gl_presenter.h); the trace backend keeps no pixels and has none.
//
//   render_size(), set_render_size(size)   the back buffer's pixels
//   keep_presented_frames()                every present leaves its frame readable
//   read_presented_frame(rgba)             the last presented frame and its size
//   set_samples(n, error)                  n samples a pixel (1: none), resolved at present
//   set_overlay(image)                     laid over the picture in the window at each
//                                          present (nullopt: none)

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PixelSize {
  int width = 800;
  int height = 600;
  bool operator==(const PixelSize&) const = default;
};

// A picture laid over the presented one in the window only, never in the
// back buffer, so never in frames read back, traces or captures: RGBA, top
// row first, its top-left corner at (x, y) in the show's 800 x 600 units and
// scaled with the picture.
struct OverlayImage {
  PixelSize size;
  int x = 0, y = 0;
  std::vector<std::uint8_t> rgba;
};

class Presenter {
 public:
  virtual ~Presenter() = default;

  // The back buffer's size in pixels. The show keeps drawing in its 800 x 600
  // units; the device scales them by height / 600.
  virtual PixelSize render_size() const = 0;
  // False, with the size kept, when no back buffer of that size can be made.
  virtual bool set_render_size(PixelSize size) = 0;
  // Asks every later present to keep its frame for read_presented_frame, at
  // the cost of a copy where the window would have shown it without one.
  virtual void keep_presented_frames() = 0;
  // The last presented frame, RGBA, top row first, at the render size, and
  // that size. Read it before the next clear or draw: after one there is
  // nothing, as when a shown window took the pixels and kept none.
  virtual std::optional<PixelSize> read_presented_frame(std::vector<std::uint8_t>& rgba) = 0;
  // Multisampled drawing, for edges without steps; false with `error` set,
  // and the back buffer as it was, where the driver does not offer `samples`.
  virtual bool set_samples(int samples, std::string& error) = 0;
  virtual void set_overlay(std::optional<OverlayImage> image) = 0;
};
