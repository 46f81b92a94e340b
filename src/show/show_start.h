#pragma once
// The show's state when loading ends, kept so that a seek to an earlier time
// starts from there without loading again. Frame bodies change only what is
// kept here: the shared random generator, the loop's counters, every overlay's
// placement and colour, the camera counters, the particles and the device's
// state.
//
//   ShowStart::keep(show)   at the end of loading
//   put_back(show)          the show as it was then

#include <cstdint>
#include <vector>

#include "effects/particle_system.h"
#include "gfx/device_state.h"
#include "show/show.h"

struct OverlayPose {
  float x = 0.0f, y = 0.0f;
  float scale_x = 1.0f, scale_y = 1.0f;
  float center_x = 0.0f, center_y = 0.0f;
  float rotation = 0.0f;
  D3DCOLOR color = 0xFFFFFFFFu;
};

struct ShowStart {
  static ShowStart keep(const Show& show);
  void put_back(Show& show) const;

  std::uint32_t random = 0;
  LoopState loop;
  long frames_run = 0;
  CameraFrames frames;
  std::vector<OverlayPose> overlays;
  std::vector<particle3d> tunnel_particles, echec_particles;
  DeviceState device_state;
};
