#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "camera/camera3d.h"
#include "camera/camera_error.h"
#include "camera/scene_draw.h"
#include "gfx/trace_device.h"
#include "math/d3dx_hermite.h"
#include "scene/scene3d.h"
#include "shell/base/render_helpers.h"
#include "showdata/writer3ds.h"
#include "support/fresh_folder.h"

namespace {

using writer3ds::PositionKey;

// A mesh of `faces` triangles in the plain coloured format: its draw is the
// one DrawPrimitive with that primitive count, so a test can tell meshes apart.
std::unique_ptr<Mesh3d> mesh_of(int faces, bool blended = false, bool visible = true) {
  auto vertices = std::make_unique<VertexList>(3);
  vertices->add(std::make_unique<vertex3d>(0.0f, 0.0f, 0.0f));
  vertices->add(std::make_unique<vertex3d>(1.0f, 0.0f, 0.0f));
  vertices->add(std::make_unique<vertex3d>(0.0f, 1.0f, 0.0f));
  auto face_list = std::make_unique<FaceList>(faces);
  for (int i = 0; i < faces; ++i) {
    face_list->add(std::make_unique<face3d>((*vertices)[0], (*vertices)[1], (*vertices)[2]));
  }
  auto mesh = std::make_unique<Mesh3d>(std::move(vertices), std::move(face_list), FVF_XYZ_DIFFUSE);
  if (blended) mesh->setBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
  mesh->visible = visible ? 1 : 0;
  return mesh;
}

// Keys along a bent path so that spline and straight line differ.
std::vector<PositionKey> path_keys(int count, float height) {
  std::vector<PositionKey> keys;
  for (int i = 0; i < count; ++i) {
    const float x = 100.0f * static_cast<float>(i);
    keys.push_back(PositionKey{i, D3DXVECTOR3(x, height + static_cast<float>(i * i), -50.0f)});
  }
  return keys;
}

class CameraPlayback : public InFreshFolder {
 protected:
  void SetUp() override {
    InFreshFolder::SetUp();
    auto made = std::make_unique<TraceDevice>();
    trace_ = made.get();
    ASSERT_EQ(install_device(std::move(made)), D3D_OK);
    trace_->clear_trace();
  }
  void TearDown() override {
    release_device();
    InFreshFolder::TearDown();
  }

  // A camera over frames 0 to `last` with `count` keys on both tracks.
  std::unique_ptr<Camera3d> camera_with(int count, std::int32_t last = 100) {
    writer3ds::SceneDesc scene;
    scene.frame_range = {0, last};
    scene.tracks.push_back({"Camera01", path_keys(count, 0.0f), path_keys(count, 30.0f)});
    const std::string file = path("path.3ds");
    EXPECT_TRUE(writer3ds::write_file(file, writer3ds::build_file(scene)));
    auto camera = std::make_unique<Camera3d>(file.c_str(), "Camera01");
    camera->set_up_vector(0.0f, 1.0f, 0.0f);
    return camera;
  }

  std::vector<std::uint32_t> drawn() const {
    std::vector<std::uint32_t> counts;
    for (const TraceDraw& draw : trace_->draws()) counts.push_back(draw.primitive_count);
    return counts;
  }

  TraceDevice* trace_ = nullptr;
};

void expect_at(const vertex3d& where, const vertex3d& key) {
  EXPECT_EQ(key_position(where), key_position(key));
}

TEST_F(CameraPlayback, FramesOnKeysPutTheCameraExactlyThere) {
  auto camera = camera_with(5);
  EXPECT_EQ(log_text(), "");
  EXPECT_EQ(camera->frameSpan, 100);
  camera->place_camera(0);
  expect_at(camera->eye, camera->keyIndex[0]->camera);
  expect_at(camera->target, camera->keyIndex[0]->target);
  camera->place_camera(40);
  expect_at(camera->eye, camera->keyIndex[2]->camera);
  expect_at(camera->target, camera->keyIndex[2]->target);
}

TEST_F(CameraPlayback, BetweenKeysFollowsTheSplineOfTheEnclosingRecords) {
  auto camera = camera_with(5);
  camera->place_camera(30);  // step 20: records 1 and 2, ratio 0.5
  const CameraKey& k = *camera->keyIndex[1];
  const CameraKey& n = *camera->keyIndex[2];
  EXPECT_NE(k.cameraTangent, D3DXVECTOR3());
  const D3DXVECTOR3 a = key_position(k.camera), b = key_position(n.camera);
  const D3DXVECTOR3 ta = key_position(k.target), tb = key_position(n.target);
  D3DXVECTOR3 eye, target;
  D3DXVec3Hermite(&eye, &a, &k.cameraTangent, &b, &n.cameraTangent, 0.5f);
  D3DXVec3Hermite(&target, &ta, &k.targetTangent, &tb, &n.targetTangent, 0.5f);
  EXPECT_EQ(key_position(camera->eye), eye);
  EXPECT_EQ(key_position(camera->target), target);
  EXPECT_EQ(log_text(), "");  // the spline writes nothing
}

TEST_F(CameraPlayback, FramesOutsideThePathAreSafeAndHold) {
  auto camera = camera_with(5);
  const CameraKey& last = *camera->keyIndex.back();
  for (const std::int32_t frame : {80, 99, 100, 101, 5000, INT_MAX}) {
    camera->place_camera(frame);
    expect_at(camera->eye, last.camera);
    expect_at(camera->target, last.target);
  }
  for (const std::int32_t frame : {-1, -19, INT_MIN}) {
    camera->place_camera(frame);
    expect_at(camera->eye, camera->keyIndex[0]->camera);
  }
}

TEST_F(CameraPlayback, AFrameSpanShorterThanTheKeyCountHoldsTheFirstKey) {
  auto camera = camera_with(5, 3);  // step 3 / 5 = 0
  ASSERT_EQ(camera->keyCount, 5);
  for (const std::int32_t frame : {0, 2, 1000}) {
    camera->place_camera(frame);
    expect_at(camera->eye, camera->keyIndex[0]->camera);
  }
}

TEST_F(CameraPlayback, StraightLineModeLogsRatiosAndTheFrame) {
  auto camera = camera_with(5);
  camera->spline = 0;
  camera->place_camera(25);
  EXPECT_FLOAT_EQ(camera->eye.x, 125.0f);
  EXPECT_EQ(log_text(),
            "\n linear_inter -> ratio : 0.250\n linear_inter -> ratio : 0.250"
            "\nframe 25/100\n - position : (125.000,1.750,-50.000)"
            "\n - current key : (100.000,1.000,-50.000)\n - next key : (200.000,4.000,-50.000)");
}

TEST_F(CameraPlayback, ConstructionReportsAFailedLoadWithTheImportersResult) {
  // The tangent pass still runs, on no keys, and says so.
  const std::string few_keys =
      "ComputeTangentVector : pas assez de cl\xe9s dans la trajectoire pour le calcul des "
      "tangentes";
  Camera3d missing(path("none.3ds").c_str(), "Camera01");
  EXPECT_EQ(log_text(), "\nCamera load problem : 1" + few_keys);

  writer3ds::SceneDesc scene;
  scene.frame_range = {0, 100};
  scene.tracks.push_back({"Other", path_keys(4, 0.0f), path_keys(4, 1.0f)});
  ASSERT_TRUE(writer3ds::write_file(path("other.3ds"), writer3ds::build_file(scene)));
  Camera3d unnamed(path("other.3ds").c_str(), "Camera01");
  EXPECT_EQ(log_text(),
            "\nCamera load problem : 1" + few_keys + "\nCamera load problem : 3" + few_keys);
  EXPECT_EQ(unnamed.keyCount, 0);
}

TEST_F(CameraPlayback, SetsTheViewAndTheFixedProjection) {
  auto camera = camera_with(5);
  camera->place_camera(40);
  camera->setup_matrices();
  const D3DXVECTOR3 eye = key_position(camera->eye), at = key_position(camera->target);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &camera->up);
  const DeviceState& state = trace_->state();
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(state.view.m[r][c], view.m[r][c]);
    }
  }
  const float cot = 1.0f / std::tan(0.7853982f / 2.0f);
  EXPECT_NEAR(state.projection.m[0][0], cot, 1e-5f);
  EXPECT_NEAR(state.projection.m[1][1], cot, 1e-5f);
  EXPECT_NEAR(state.projection.m[2][2], 10000.0f / 9999.0f, 1e-6f);
  EXPECT_NEAR(state.projection.m[3][2], -10000.0f / 9999.0f, 1e-6f);
  EXPECT_EQ(state.projection.m[2][3], 1.0f);
}

TEST_F(CameraPlayback, ARefusedTransformIsLoggedAndDrawingGoesOn) {
  auto camera = camera_with(5);
  Scene3d scene;
  scene.addMesh(mesh_of(1));
  trace_->fail_next("SetTransform", D3DERR_INVALIDCALL, 2);
  camera->draw_scene(scene, 10);
  EXPECT_EQ(log_text(), "\nCamera SetTransform error\nCamera SetTransform error");
  EXPECT_EQ(drawn(), (std::vector<std::uint32_t>{1}));
}

TEST_F(CameraPlayback, WithoutAPathNothingIsSetOrDrawn) {
  writer3ds::SceneDesc scene_file;
  scene_file.frame_range = {0, 100};
  scene_file.tracks.push_back(
      {"Camera01", {PositionKey{0, D3DXVECTOR3(1, 2, 3)}}, {PositionKey{0, D3DXVECTOR3()}}});
  ASSERT_TRUE(writer3ds::write_file(path("still.3ds"), writer3ds::build_file(scene_file)));
  Camera3d camera(path("still.3ds").c_str(), "Camera01");
  camera.set_viewport(300, 400, 300, 180, 0.0f, 1.0f);
  Scene3d scene;
  scene.addMesh(mesh_of(1));
  scene.addLight(std::make_unique<Light3d>(0.0f, 0.0f, 0.0f));
  trace_->clear_trace();
  camera.draw_scene(scene, 0);
  camera.draw_opaque(scene, 0);
  camera.draw_blended(scene, 0);
  EXPECT_TRUE(trace_->calls().empty());
  const std::string no_path = "\nCamera draw impossible : no path";
  // Two single keys: the tangent pass has too few keys, then three refusals.
  EXPECT_EQ(log_text(),
            "ComputeTangentVector : pas assez de cl\xe9s dans la trajectoire pour le calcul des "
            "tangentes" +
                no_path + no_path + no_path);
}

TEST_F(CameraPlayback, TheCamerasViewportHoldsDuringItsDrawsOnly) {
  auto camera = camera_with(5);
  camera->set_viewport(300, 400, 300, 180, 0.0f, 1.0f);
  Scene3d scene;
  scene.addMesh(mesh_of(1));
  scene.addMesh(mesh_of(2));

  camera->draw_scene(scene, 10);
  ASSERT_EQ(trace_->draws().size(), 2u);
  for (const TraceDraw& draw : trace_->draws()) {
    EXPECT_EQ(draw.state.viewport.X, 300u);
    EXPECT_EQ(draw.state.viewport.Y, 400u);
    EXPECT_EQ(draw.state.viewport.Width, 300u);
    EXPECT_EQ(draw.state.viewport.Height, 180u);
  }
  EXPECT_EQ(trace_->state().viewport.X, default_viewport.X);
  EXPECT_EQ(trace_->state().viewport.Width, default_viewport.Width);
  EXPECT_EQ(trace_->state().viewport.Height, default_viewport.Height);

  trace_->clear_trace();
  camera->clear_viewport(0, 0, 0);
  EXPECT_EQ(trace_->state().viewport.X, 300u);
  EXPECT_EQ(trace_->state().viewport.Height, 180u);
  ASSERT_EQ(trace_->calls_starting("Clear(").size(), 1u);
  EXPECT_EQ(trace_->calls_starting("SetTransform(").size(), 2u);
  EXPECT_TRUE(trace_->misuse().empty());
}

TEST_F(CameraPlayback, ACameraWithoutViewportNeverSetsOne) {
  auto camera = camera_with(5);
  Scene3d scene;
  scene.addMesh(mesh_of(1));
  camera->draw_scene(scene, 10);
  camera->clear_viewport(1, 2, 3);
  EXPECT_TRUE(trace_->calls_starting("SetViewport(").empty());
}

using SceneDraw = CameraPlayback;

TEST_F(SceneDraw, EachOperationDrawsItsVisibleMeshesInListOrder) {
  Scene3d scene;
  scene.addMesh(mesh_of(1));
  scene.addMesh(mesh_of(2, true));
  scene.addMesh(mesh_of(3, false, false));  // hidden opaque
  scene.addMesh(mesh_of(4, true, false));   // hidden blended
  scene.addMesh(mesh_of(5));
  scene.addMesh(mesh_of(6, true));

  drawAllMeshes(scene);
  EXPECT_EQ(drawn(), (std::vector<std::uint32_t>{1, 2, 5, 6}));
  trace_->clear_trace();
  drawOpaqueMeshes(scene);
  EXPECT_EQ(drawn(), (std::vector<std::uint32_t>{1, 5}));
  trace_->clear_trace();
  drawBlendedMeshes(scene);
  EXPECT_EQ(drawn(), (std::vector<std::uint32_t>{2, 6}));
  EXPECT_TRUE(trace_->calls_starting("SetLight").empty());
  EXPECT_TRUE(trace_->calls_starting("LightEnable").empty());
}

TEST_F(SceneDraw, LightsGoOnBeforeTheMeshesAndOffAfterEvenWithNothingToDraw) {
  Scene3d scene;
  scene.addMesh(mesh_of(2, true));
  scene.addLight(std::make_unique<Light3d>(1.0f, 2.0f, 3.0f));
  scene.addLight(std::make_unique<Light3d>(4.0f, 5.0f, 6.0f));

  drawOpaqueMeshes(scene);  // the only visible mesh is blended
  EXPECT_TRUE(trace_->draws().empty());
  std::vector<std::string> light_calls;
  for (const std::string& call : trace_->calls()) {
    if (call.rfind("SetLight(", 0) == 0) {
      light_calls.push_back(call.substr(0, 11));
    } else if (call.rfind("LightEnable(", 0) == 0) {
      light_calls.push_back(call);
    }
  }
  EXPECT_EQ(light_calls,
            (std::vector<std::string>{"SetLight(0,", "LightEnable(0, TRUE)", "SetLight(1,",
                                      "LightEnable(1, TRUE)", "LightEnable(0, FALSE)",
                                      "LightEnable(1, FALSE)"}));

  trace_->clear_trace();
  drawBlendedMeshes(scene);
  ASSERT_EQ(trace_->draws().size(), 1u);
  EXPECT_TRUE(trace_->draws()[0].state.lights[0].enabled);
  EXPECT_TRUE(trace_->draws()[0].state.lights[1].enabled);
  EXPECT_FALSE(trace_->state().lights[1].enabled);
}

using CameraError = InFreshFolder;

TEST_F(CameraError, WritesTheLineOfItsCodeAndNothingForOthers) {
  camera_error(static_cast<CameraErrorCode>(5));
  camera_error(static_cast<CameraErrorCode>(0));
  EXPECT_EQ(log_text(), "");
  camera_error(CAMERA_LOAD_PROBLEM);
  camera_error(CAMERA_NO_PATH);
  camera_error(CAMERA_SET_TRANSFORM_REFUSED);
  camera_error(CAMERA_PERSPECTIVE_NOT_BUILT);
  EXPECT_EQ(log_text(),
            "\nCamera load problem : 1\nCamera draw impossible : no path\nCamera SetTransform "
            "error\nCamera MatrixPerspective error");
}

}  // namespace
