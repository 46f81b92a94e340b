#include "showdata/camera_path.h"

#include <algorithm>

namespace showdata {

namespace {

int step_of(const CameraTrack& t) {
  const int n = static_cast<int>(t.eye_keys.size());
  return n > 0 ? (t.last_frame - t.first_frame) / n : 0;
}

// The show's tangents: half the chord inside, the natural end condition at
// both ends.
std::vector<Vec3> tangents(const std::vector<Vec3>& keys) {
  const std::size_t n = keys.size();
  std::vector<Vec3> t(n);
  if (n < 4) return t;
  for (std::size_t i = 1; i + 1 < n; ++i) t[i] = (keys[i + 1] - keys[i - 1]) * 0.5;
  t[0] = (keys[1] - keys[0]) * 1.5 - t[1] * 0.5;
  t[n - 1] = (keys[n - 1] - keys[n - 2]) * 1.5 - t[n - 2] * 0.5;
  return t;
}

Vec3 hermite(Vec3 a, Vec3 ta, Vec3 b, Vec3 tb, double s) {
  const double s2 = s * s;
  const double s3 = s2 * s;
  return a * (2 * s3 - 3 * s2 + 1) + ta * (s3 - 2 * s2 + s) + b * (-2 * s3 + 3 * s2) +
         tb * (s3 - s2);
}

}  // namespace

int CameraTrack::playable_frames() const {
  return (static_cast<int>(eye_keys.size()) - 1) * step_of(*this);
}

writer3ds::CameraTrackDesc CameraTrack::desc() const {
  writer3ds::CameraTrackDesc d;
  d.name = name;
  const int step = step_of(*this);
  for (std::size_t i = 0; i < eye_keys.size(); ++i) {
    const int frame = first_frame + static_cast<int>(i) * step;
    d.camera_keys.push_back({frame, to_float(eye_keys[i]), 0});
    d.target_keys.push_back({frame, to_float(target_keys[i]), 0});
  }
  return d;
}

CameraTrack make_track(const std::string& name, const Flight& flight, int needed, int keys) {
  CameraTrack t;
  t.name = name;
  keys = std::max(keys, 4);
  const int wanted = needed + needed / 20;
  const int step = (wanted + keys - 2) / (keys - 1);
  t.first_frame = 0;
  t.last_frame = step * keys;
  for (int i = 0; i < keys; ++i) {
    const double u = static_cast<double>(i) / (keys - 1);
    t.eye_keys.push_back(flight.eye(u));
    t.target_keys.push_back(flight.target(u));
  }
  return t;
}

CameraPose track_position(const CameraTrack& track, int frame) {
  const int step = step_of(track);
  const int n = static_cast<int>(track.eye_keys.size());
  if (step <= 0 || n < 2) return {};
  const int i = std::clamp(frame / step, 0, n - 2);
  const double s = static_cast<double>(frame - i * step) / step;
  const auto te = tangents(track.eye_keys);
  const auto tt = tangents(track.target_keys);
  const auto k = static_cast<std::size_t>(i);
  return {hermite(track.eye_keys[k], te[k], track.eye_keys[k + 1], te[k + 1], s),
          hermite(track.target_keys[k], tt[k], track.target_keys[k + 1], tt[k + 1], s)};
}

}  // namespace showdata
