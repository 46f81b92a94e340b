#pragma once
// Camera flights for the scenes. A flight is two curves (eye and target) over
// u in [0, 1]; it becomes a keyframer track of evenly spaced, flag-free keys
// whose frame range is long enough for the window that plays it.
//
//   Flight                   eye and target as functions of u
//   CameraTrack              the keys and frame range as written to the file
//   make_track               samples a flight into keys for `needed` frames
//   track_position           where the show's camera is at a frame (its
//                            Catmull-Rom tangents and Hermite segments), for checks

#include <functional>
#include <string>
#include <vector>

#include "showdata/geometry.h"

namespace showdata {

// The camera name of five scenes, with é as the single byte 0xE9.
inline constexpr const char* kCameraAccented = "Cam\xE9ra01";
inline constexpr const char* kCameraPlain = "Camera01";

struct Flight {
  std::function<Vec3(double)> eye;
  std::function<Vec3(double)> target;
};

struct CameraTrack {
  std::string name;
  int first_frame = 0;
  int last_frame = 0;
  std::vector<Vec3> eye_keys;
  std::vector<Vec3> target_keys;

  // Frames the show can play before it runs out of keys: (keys - 1) * step.
  int playable_frames() const;
  writer3ds::CameraTrackDesc desc() const;
};

// Keys at u = i / (keys - 1); the frame range makes (keys - 1) * step cover
// `needed` frames with a 5% margin.
CameraTrack make_track(const std::string& name, const Flight& flight, int needed, int keys);

struct CameraPose {
  Vec3 eye;
  Vec3 target;
};
CameraPose track_position(const CameraTrack& track, int frame);

}  // namespace showdata
