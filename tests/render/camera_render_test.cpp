// A textured quad seen through an animated camera read from a written .3ds
// file, drawn by the GL backend: the quad must sit where the camera's path
// puts it on screen.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "camera/camera3d.h"
#include "gfx/gl_device.h"
#include "render/require_gl.h"
#include "render/test_window.h"
#include "scene/scene3d.h"
#include "shell/base/file_lookup.h"
#include "shell/base/render_helpers.h"
#include "showdata/bmp_writer.h"
#include "showdata/writer3ds.h"
#include "support/fresh_folder.h"

namespace {

constexpr float kQuadHalf = 10.0f;
constexpr float kDistance = 100.0f;  // from the eye to the quad's plane
const showdata::Rgb kQuadColor{40, 220, 90};

// Eye positions of the five keys (frames 0 to 100, one key every 20 frames);
// the target stays straight ahead, so the view only slides.
const std::vector<D3DXVECTOR3> kEyes = {{0.0f, 0.0f, -kDistance},
                                        {15.0f, 5.0f, -kDistance},
                                        {30.0f, 10.0f, -kDistance},
                                        {5.0f, -5.0f, -kDistance},
                                        {-25.0f, -15.0f, -kDistance}};

class CameraRender : public InFreshFolder {
 protected:
  void SetUp() override {
    InFreshFolder::SetUp();
    std::string error;
    if (!window_.open("camera render test", BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, error)) {
      PLOVERMIX_NO_GL(error);
    }
    GlBackend made = create_gl_device(window_.surface(), error);
    ASSERT_NE(made.device, nullptr) << error;
    presenter_ = made.presenter;
    ASSERT_EQ(install_device(std::move(made.device)), D3D_OK);
    device->SetFileFolder(folder());
  }

  void TearDown() override {
    release_device();
    InFreshFolder::TearDown();
  }

  // Writes "quad.3ds": a 20 x 20 textured square in the plane z = 0 centred
  // on the origin, and the camera "Camera01" flying along kEyes.
  void write_scene() {
    ASSERT_TRUE(showdata::write_bmp(path("quad.bmp"), showdata::RgbImage(8, 8, kQuadColor)));
    writer3ds::SceneDesc scene;
    writer3ds::MeshDesc quad;
    quad.name = "Quad";
    quad.vertices = {{-kQuadHalf, -kQuadHalf, 0.0f},
                     {kQuadHalf, -kQuadHalf, 0.0f},
                     {kQuadHalf, kQuadHalf, 0.0f},
                     {-kQuadHalf, kQuadHalf, 0.0f}};
    quad.faces = {{0, 1, 2, 0}, {0, 2, 3, 0}};
    quad.mapping = {{0.0f, 0.0f}, {0.99f, 0.0f}, {0.99f, 0.99f}, {0.0f, 0.99f}};
    quad.materials = {{"Mat", {0, 1}}};
    scene.meshes.push_back(quad);
    scene.materials.push_back({"Mat", "quad.bmp"});
    scene.frame_range = {0, 100};
    writer3ds::CameraTrackDesc track{"Camera01", {}, {}};
    for (std::size_t i = 0; i < kEyes.size(); ++i) {
      const std::int32_t frame = static_cast<std::int32_t>(7 * i);  // not used by the loader
      track.camera_keys.push_back({frame, kEyes[i]});
      track.target_keys.push_back({frame, kEyes[i] + D3DXVECTOR3(0.0f, 0.0f, kDistance)});
    }
    scene.tracks.push_back(track);
    ASSERT_TRUE(writer3ds::write_file(path("quad.3ds"), writer3ds::build_file(scene)));
  }

  // Centre of the pixels of the quad's colour, in back-buffer pixels; false
  // when none is there.
  bool quad_centre(float& x, float& y) {
    std::vector<std::uint8_t> rgba;
    if (!presenter_->read_presented_frame(rgba)) return false;
    double sum_x = 0.0, sum_y = 0.0;
    long count = 0;
    for (int py = 0; py < BACK_BUFFER_HEIGHT; ++py) {
      for (int px = 0; px < BACK_BUFFER_WIDTH; ++px) {
        const std::size_t at = (static_cast<std::size_t>(py) * BACK_BUFFER_WIDTH + px) * 4;
        if (std::abs(rgba[at] - kQuadColor.r) <= 2 && std::abs(rgba[at + 1] - kQuadColor.g) <= 2 &&
            std::abs(rgba[at + 2] - kQuadColor.b) <= 2) {
          sum_x += px;
          sum_y += py;
          ++count;
        }
      }
    }
    if (count == 0) return false;
    x = static_cast<float>(sum_x / static_cast<double>(count));
    y = static_cast<float>(sum_y / static_cast<double>(count));
    return true;
  }

 private:
  TestWindow window_;
  Presenter* presenter_ = nullptr;
};

TEST_F(CameraRender, TheQuadMovesAcrossTheScreenAsThePathSays) {
  write_scene();
  Scene3d scene{DataFolder(folder())};
  scene.loadMeshes(path("quad.3ds").c_str(), FVF_XYZ_DIFFUSE_TEX1);
  ASSERT_EQ(scene.getMeshCount(), 1);
  Camera3d camera(path("quad.3ds").c_str(), "Camera01");
  ASSERT_EQ(camera.keyCount, 5);
  camera.set_up_vector(0.0f, 1.0f, 0.0f);

  set_render_state(D3DRS_LIGHTING, FALSE);
  set_render_state(D3DRS_CULLMODE, D3DCULL_NONE);
  set_render_state(D3DRS_ZENABLE, D3DZB_TRUE);

  // With the target straight ahead the view is a pure slide, so the quad's
  // centre is the eye's offset, projected: cot(pi/8) * offset / distance.
  const float scale = 1.0f / std::tan(CAMERA_FIELD_OF_VIEW / 2.0f);
  for (const std::int32_t frame : {0, 40, 80}) {
    const D3DXVECTOR3& eye = kEyes[static_cast<std::size_t>(frame / 20)];
    const float expected_x = (1.0f - scale * eye.x / kDistance) * BACK_BUFFER_WIDTH / 2.0f;
    const float expected_y = (1.0f + scale * eye.y / kDistance) * BACK_BUFFER_HEIGHT / 2.0f;

    clear_target_depth(0, 0, 0);
    camera.draw_scene(scene, frame);
    ASSERT_EQ(present_frame(), D3D_OK);
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(quad_centre(x, y)) << "frame " << frame << ": the quad is not on screen";
    EXPECT_NEAR(x, expected_x, 1.5f) << "frame " << frame;
    EXPECT_NEAR(y, expected_y, 1.5f) << "frame " << frame;
  }
}

// The core's misuse checks hold on the GL backend too: a draw outside a scene
// bracket is logged once and traced each time, and the device still answers.
using InstalledGlDevice = CameraRender;

TEST_F(InstalledGlDevice, ADrawOutsideASceneIsLoggedOnceAndTracedEachTime) {
  struct Misuses : CallRecorder {
    void call(const CallRecord&) override {}
    void misuse(const std::string& what) override { seen.push_back(what); }
    std::vector<std::string> seen;
  } trace;
  device->AttachRecorder(&trace);
  VertexBuffer* buffer = nullptr;
  ASSERT_EQ(device->CreateVertexBuffer(3 * 16, 0, FVF_XYZ_DIFFUSE, D3DPOOL_DEFAULT, &buffer),
            D3D_OK);
  std::uint8_t* data = nullptr;
  ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
  std::fill(data, data + 3 * 16, std::uint8_t{0});
  buffer->Unlock();
  device->SetStreamSource(0, buffer, 16);
  device->SetVertexShader(FVF_XYZ_DIFFUSE);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  device->DetachRecorder(&trace);
  buffer->Release();
  const std::string what = "DrawPrimitive outside BeginScene/EndScene";
  EXPECT_EQ(trace.seen, (std::vector<std::string>{what, what}));
  EXPECT_EQ(log_text(), "\nDevice misuse: " + what);
}

}  // namespace
