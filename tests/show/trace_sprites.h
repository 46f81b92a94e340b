#pragma once
// The show's and the overlays' tests run on the trace device; these read its
// sprite draws back by file.

#include <memory>
#include <string>
#include <vector>

#include "gfx/trace_device.h"
#include "shell/base/render_helpers.h"

// Installs a fresh trace device as the show's device and returns it, its
// trace empty (installing reads the viewport).
inline TraceDevice& install_trace_device() {
  auto made = std::make_unique<TraceDevice>();
  TraceDevice& trace = *made;
  install_device(std::move(made));
  trace.clear_trace();
  return trace;
}

// The sprite draws of one file, in order.
inline std::vector<SpriteDraw> sprite_draws_of(const TraceDevice& trace, const std::string& file) {
  std::vector<SpriteDraw> found;
  for (const TraceDraw& draw : trace.draws()) {
    if (draw.sprite && draw.texture == file) {
      found.push_back(draw.sprite_args);
    }
  }
  return found;
}

// The file a DrawSprite line draws, or "" for any other line.
inline std::string sprite_file(const std::string& line) {
  const std::string head = "DrawSprite(\"";
  if (line.rfind(head, 0) != 0) {
    return "";
  }
  return line.substr(head.size(), line.find('"', head.size()) - head.size());
}

// The trace's lines for a clear of the whole target to black, and of target and depth.
inline const std::string CLEAR_BLACK = "Clear(0, D3DCLEAR_TARGET, 0xFF000000, 1, 0)";
inline const std::string CLEAR_BLACK_AND_DEPTH =
    "Clear(0, D3DCLEAR_TARGET|D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0)";
