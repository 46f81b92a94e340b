// Camera playback: placing the camera on its path for a frame, handing the
// view and projection to the device, and drawing a scene through it.

#include "camera/camera3d.h"

#include "camera/camera_error.h"
#include "camera/path.h"
#include "camera/scene_draw.h"
#include "format3ds/chunk_file.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"

Camera3d::Camera3d(const char* fileName, const char* cameraName) {
  ChunkFile file(fileName);
  report_load_result(load_keys(file, cameraName));
  frameSpan = frame_span(frameDeb, frameFin);
  if (spline != 0) {
    ComputeTangentVector(keys, nbkeysCamera);
  }
}

void Camera3d::set_up_vector(float x, float y, float z) { up = D3DXVECTOR3(x, y, z); }

void Camera3d::set_viewport(DWORD x, DWORD y, DWORD width, DWORD height, float minZ, float maxZ) {
  viewport = D3DVIEWPORT8{x, y, width, height, minZ, maxZ};
}

void Camera3d::setup_matrices() {
  const D3DXVECTOR3 eye_position = key_position(eye);
  const D3DXVECTOR3 target_position = key_position(target);
  D3DXMatrixLookAtLH(&view, &eye_position, &target_position, &up);
  if (device->SetTransform(D3DTS_VIEW, &view) == D3DERR_INVALIDCALL) {
    camera_error(CAMERA_SET_TRANSFORM_REFUSED);
  }
  if (D3DXMatrixPerspectiveFovLH(&projection, CAMERA_FIELD_OF_VIEW, CAMERA_ASPECT, CAMERA_NEAR,
                                 CAMERA_FAR) == nullptr) {
    camera_error(CAMERA_PERSPECTIVE_NOT_BUILT);
  }
  if (device->SetTransform(D3DTS_PROJECTION, &projection) == D3DERR_INVALIDCALL) {
    camera_error(CAMERA_SET_TRANSFORM_REFUSED);
  }
}

void Camera3d::clear_viewport(int r, int g, int b) {
  setup_matrices();
  if (viewport) {
    device->SetViewport(&*viewport);
    viewport_left_set = true;
  }
  clear_target_depth(r, g, b);
}

void Camera3d::hold_at(const CameraKey& key) {
  set_position(eye, key_position(key.camera));
  set_position(target, key_position(key.target));
}

void Camera3d::place_camera(std::int32_t frame) {
  if (keyCount <= 0) {
    return;
  }
  if (frame < 0) {
    frame = 0;
  }
  // Records are evenly spaced, record i starting at frame i * step. The
  // record count, not the camera track's key count, sets the step: the two
  // differ when one track has a single key.
  const std::int32_t step = frameSpan / keyCount;
  if (step <= 0) {
    hold_at(*keyIndex.front());
    return;
  }
  const std::int32_t index = frame / step;
  if (index >= keyCount - 1) {
    hold_at(*keyIndex.back());
    return;
  }
  const CameraKey& key = *keyIndex[static_cast<std::size_t>(index)];
  const CameraKey& next = *key.next;
  D3DXVECTOR3 eye_position;
  D3DXVECTOR3 target_position;
  if (spline != 0) {
    spline_inter(key_position(key.camera), key.cameraTangent, key_position(next.camera),
                 next.cameraTangent, key.numframe, next.numframe, frame, &eye_position);
    spline_inter(key_position(key.target), key.targetTangent, key_position(next.target),
                 next.targetTangent, key.numframe, next.numframe, frame, &target_position);
    set_position(eye, eye_position);
    set_position(target, target_position);
    return;
  }
  linear_inter(key_position(key.camera), key_position(next.camera), key.numframe, next.numframe,
               frame, &eye_position);
  linear_inter(key_position(key.target), key_position(next.target), key.numframe, next.numframe,
               frame, &target_position);
  set_position(eye, eye_position);
  set_position(target, target_position);
  write_log(
      "\nframe %ld/%ld\n - position : (%.3f,%.3f,%.3f)\n - current key : (%.3f,%.3f,%.3f)\n - "
      "next key : (%.3f,%.3f,%.3f)",
      static_cast<long>(frame), static_cast<long>(frameSpan), static_cast<double>(eye.x),
      static_cast<double>(eye.y), static_cast<double>(eye.z), static_cast<double>(key.camera.x),
      static_cast<double>(key.camera.y), static_cast<double>(key.camera.z),
      static_cast<double>(next.camera.x), static_cast<double>(next.camera.y),
      static_cast<double>(next.camera.z));
}

void Camera3d::draw_with(Scene3d& scene, std::int32_t frame, void (*draw_meshes)(Scene3d&)) {
  if (keys == nullptr) {
    camera_error(CAMERA_NO_PATH);
    // A viewport that clear_viewport left set would confine every later clear
    // and draw of the frame to the inset.
    if (viewport_left_set) {
      device->SetViewport(&default_viewport);
      viewport_left_set = false;
    }
    return;
  }
  if (viewport) {
    device->SetViewport(&*viewport);
  }
  place_camera(frame);
  setup_matrices();
  draw_meshes(scene);
  if (viewport) {
    device->SetViewport(&default_viewport);
    viewport_left_set = false;
  }
}

void Camera3d::draw_scene(Scene3d& scene, std::int32_t frame) {
  draw_with(scene, frame, drawAllMeshes);
}

void Camera3d::draw_opaque(Scene3d& scene, std::int32_t frame) {
  draw_with(scene, frame, drawOpaqueMeshes);
}

void Camera3d::draw_blended(Scene3d& scene, std::int32_t frame) {
  draw_with(scene, frame, drawBlendedMeshes);
}
