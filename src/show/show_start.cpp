#include "show/show_start.h"

#include "math/show_random.h"
#include "shell/base/render_helpers.h"

namespace {

using OverlaySlot = std::unique_ptr<sprite2d> Overlays::*;

// Every overlay, in one fixed order.
constexpr OverlaySlot EVERY_OVERLAY[] = {
    &Overlays::logo,  &Overlays::since, &Overlays::presents, &Overlays::talvores,
    &Overlays::gilb,  &Overlays::tesk,  &Overlays::tesk2,    &Overlays::pamo,
    &Overlays::vostl, &Overlays::orvex, &Overlays::dulam,    &Overlays::clouds,
    &Overlays::trai1, &Overlays::trai2, &Overlays::caca,     &Overlays::caca2,
    &Overlays::sp1,   &Overlays::vorn,  &Overlays::zevuvero, &Overlays::title};

OverlayPose pose_of(const sprite2d* image) {
  if (image == nullptr) {
    return {};
  }
  return {image->x(),        image->y(),        image->scale_x(),  image->scale_y(),
          image->center_x(), image->center_y(), image->rotation(), image->color()};
}

void set_pose(sprite2d* image, const OverlayPose& pose) {
  if (image == nullptr) {
    return;
  }
  image->set_position(pose.x, pose.y);
  image->set_scale(pose.scale_x, pose.scale_y);
  image->set_rotation_center(pose.center_x, pose.center_y);
  image->set_rotation(pose.rotation);
  image->set_color(pose.color);
}

std::vector<particle3d> live(const std::unique_ptr<particle_system>& system) {
  return system != nullptr ? system->live_particles() : std::vector<particle3d>{};
}

void restore(const std::unique_ptr<particle_system>& system, const std::vector<particle3d>& saved) {
  if (system != nullptr) {
    system->restore(saved);
  }
}

}  // namespace

ShowStart ShowStart::keep(const Show& show) {
  ShowStart start;
  start.random = show_rand_state();
  start.loop = show.loop;
  start.frames_run = show.frames_run;
  start.frames = show.show3d.frames;
  for (OverlaySlot slot : EVERY_OVERLAY) {
    start.overlays.push_back(pose_of((show.overlays.*slot).get()));
  }
  start.tunnel_particles = live(show.show3d.tunnel_particles);
  start.echec_particles = live(show.show3d.echec_particles);
  if (device != nullptr) {
    start.device_state = device->SaveState();
  }
  return start;
}

void ShowStart::put_back(Show& show) const {
  show_rand_restore(random);
  show.loop = loop;
  show.frames_run = frames_run;
  show.show3d.frames = frames;
  for (std::size_t i = 0; i < std::size(EVERY_OVERLAY); ++i) {
    set_pose((show.overlays.*EVERY_OVERLAY[i]).get(), overlays[i]);
  }
  restore(show.show3d.tunnel_particles, tunnel_particles);
  restore(show.show3d.echec_particles, echec_particles);
  if (device != nullptr) {
    device->RestoreState(device_state);
  }
}
