#pragma once
// The animated camera of a .3ds scene: a chain of keys read from the file's
// keyframer, flown along a spline, through which a scene is drawn.
//
//   Camera3d(file, name)       loads the keys, computes the tangents
//   load_keys, read_frame_range, append_key      the import (key_import.cpp)
//   set_up_vector, set_viewport                  configuration
//   place_camera(frame)        eye and target for a frame
//   setup_matrices()           view and projection to the device
//   clear_viewport(r, g, b)    the camera's viewport cleared, left set
//   draw_scene / draw_opaque / draw_blended (scene, frame)

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "camera/camera_key.h"
#include "gfx/d3d_types.h"
#include "math/d3dx_matrix.h"
#include "math/d3dx_vector.h"
#include "scene/mesh_model.h"

class ChunkFile;
class Scene3d;

// Results of load_keys: 0, or the step that failed.
enum KeyImportResult : std::int32_t {
  KEYS_LOADED = 0,
  KEYS_NO_MAIN = 1,
  KEYS_NO_KEYFRAMER = 2,
  KEYS_NO_CAMERA_NODE = 3,
  KEYS_CAMERA_NODE_WITHOUT_HEADER = 4,
  KEYS_CAMERA_WITHOUT_TRACK = 5,
  KEYS_TARGET_NO_MAIN = 6,
  KEYS_TARGET_NO_KEYFRAMER = 7,
  KEYS_NO_TARGET_NODE = 8,
  KEYS_TARGET_NODE_WITHOUT_HEADER = 9,
  KEYS_TARGET_WITHOUT_TRACK = 10,
};

// The projection every camera of the show uses.
constexpr float CAMERA_FIELD_OF_VIEW = 0.7853982f;  // pi/4
constexpr float CAMERA_ASPECT = 1.0f;
constexpr float CAMERA_NEAR = 1.0f;
constexpr float CAMERA_FAR = 10000.0f;

// last - first, saturated to 32 bits rather than overflowing.
std::int32_t frame_span(std::int32_t first, std::int32_t last);

class Camera3d {
 public:
  // Reads the keys of the camera node named `cameraName` (compared byte for
  // byte) and its target node. A failed load is logged; the camera then has
  // no path and its draws log that instead of drawing.
  Camera3d(const char* fileName, const char* cameraName);
  // A camera without keys, for load_keys to fill from a reader of one's own.
  Camera3d() = default;
  Camera3d(const Camera3d&) = delete;
  Camera3d& operator=(const Camera3d&) = delete;

  // KEYS_LOADED, or the step that failed. Called once, on a fresh camera.
  // Records are spaced evenly over the frame range. Two single-key tracks
  // make no records; a single-key track holds its key while the other track
  // moves; tracks of different lengths are cut to the shorter.
  KeyImportResult load_keys(ChunkFile& file, const char* cameraName);
  // frameDeb and frameFin from the keyframer's frame range; 0 and 0 when the
  // file has none.
  void read_frame_range(ChunkFile& file);
  // Copies `key` to the end of the chain.
  void append_key(const CameraKey& key);

  void set_up_vector(float x, float y, float z);
  void set_viewport(DWORD x, DWORD y, DWORD width, DWORD height, float minZ, float maxZ);
  void setup_matrices();
  void clear_viewport(int r, int g, int b);
  void draw_scene(Scene3d& scene, std::int32_t frame);
  void draw_opaque(Scene3d& scene, std::int32_t frame);
  void draw_blended(Scene3d& scene, std::int32_t frame);
  // Negative frames count as 0; at or beyond the last key, and on a path too
  // short for its key count, the camera holds at a key.
  void place_camera(std::int32_t frame);

  vertex3d eye;
  vertex3d target;
  D3DXVECTOR3 up{0.0f, 1.0f, 0.0f};
  D3DXMATRIX view{};
  D3DXMATRIX projection{};
  std::int32_t nbkeysCamera = 0;
  std::int32_t nbkeysTarget = 0;
  std::int32_t frameSpan = 0;
  std::int32_t frameDeb = 0;
  std::int32_t frameFin = 0;
  std::int32_t keyCount = 0;
  // The first record of the chain; the records are owned by keyIndex.
  CameraKey* keys = nullptr;
  std::vector<std::unique_ptr<CameraKey>> keyIndex;
  std::optional<D3DVIEWPORT8> viewport;
  std::int32_t spline = 1;

 private:
  void draw_with(Scene3d& scene, std::int32_t frame, void (*draw_meshes)(Scene3d&));
  // clear_viewport left the camera's viewport on the device for the next draw.
  bool viewport_left_set = false;
  void hold_at(const CameraKey& key);
};
