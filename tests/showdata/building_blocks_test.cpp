// The generator's building blocks where a slip would go unseen in the data:
// key spacing and the replayed spline, mesh limits, file writing, fonts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "showdata/camera_path.h"
#include "showdata/data_file.h"
#include "showdata/geometry.h"
#include "showdata/text.h"

namespace showdata {
namespace {

namespace fs = std::filesystem;

TEST(CameraTrack, KeysEvenlySpacedAndPathLongEnough) {
  const Flight line{[](double u) {
                      return Vec3{30 * u, 0, 0};
                    },
                    [](double u) {
                      return Vec3{30 * u + 10, 0, 0};
                    }};
  const CameraTrack t = make_track("Camera01", line, 100, 4);
  // 100 frames and 5% more over 3 segments: a step of 35, so the range is 4 x 35.
  EXPECT_EQ(t.first_frame, 0);
  EXPECT_EQ(t.last_frame, 140);
  EXPECT_EQ(t.playable_frames(), 105);
  const auto desc = t.desc();
  ASSERT_EQ(desc.camera_keys.size(), 4u);
  ASSERT_EQ(desc.target_keys.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(desc.camera_keys[static_cast<std::size_t>(i)].frame, 35 * i);
    EXPECT_EQ(desc.camera_keys[static_cast<std::size_t>(i)].flags, 0);
  }
  // Keys at x = 0, 10, 20, 30: the show's tangents are all 10, so the path is
  // the straight line at even speed, on the keys at their frames.
  EXPECT_DOUBLE_EQ(track_position(t, 35).eye.x, 10.0);
  EXPECT_NEAR(track_position(t, 35 / 2).eye.x, 5.0 * (35 / 2) / 17.5, 1e-9);
  EXPECT_NEAR(track_position(t, 70).target.x, 30.0, 1e-9);
}

TEST(MeshBuilder, GridCellsAndDegenerateTriangles) {
  MeshBuilder b("Sol", "dalle");
  b.grid({0, 0, 0}, {250, 0, 0}, {0, 100, 0}, 100, 50);
  EXPECT_EQ(b.vertex_count(), 8u);  // 3 x 1 cells
  EXPECT_EQ(b.face_count(), 6u);
  const auto p = b.vertex({0, 0, 0}, 0, 0);
  b.triangle(p, p, 0);  // no area: dropped
  EXPECT_EQ(b.face_count(), 6u);
  const auto mesh = b.build();
  ASSERT_EQ(mesh.materials.size(), 1u);
  EXPECT_EQ(mesh.materials[0].material, "dalle");
  EXPECT_EQ(mesh.materials[0].faces.size(), 6u);
  EXPECT_FLOAT_EQ(mesh.mapping[3].u, 5.0f);  // 250 units at one repeat every 50
}

TEST(MeshBuilder, RefusesMoreVerticesThanTheShowCanCount) {
  MeshBuilder b("big", "m");
  for (int i = 0; i < 32767; ++i) b.vertex({0, 0, 0}, 0, 0);
  EXPECT_THROW(b.vertex({0, 0, 0}, 0, 0), std::length_error);
}

TEST(DataFile, WritesOnlyWhatChanged) {
  const fs::path dir =
      fs::temp_directory_path() / ("plovermix-datafile-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "a.bin").string();
  EXPECT_EQ(write_if_changed(path, {1, 2, 3}), WriteOutcome::written);
  const auto stamp = fs::last_write_time(path);
  EXPECT_EQ(write_if_changed(path, {1, 2, 3}), WriteOutcome::unchanged);
  EXPECT_EQ(fs::last_write_time(path), stamp);
  EXPECT_EQ(write_if_changed(path, {1, 2}), WriteOutcome::written);
  EXPECT_EQ(read_file(path), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  EXPECT_EQ(write_if_changed((dir / "no" / "such" / "b.bin").string(), {1}), WriteOutcome::failed);
  EXPECT_NE(fnv1a64({1, 2}), fnv1a64({2, 1}));
  fs::remove_all(dir);
}

TEST(Font, MissingFileIsReportedAndTextHasInk) {
  Font missing;
  EXPECT_FALSE(missing.load("/no/such/font.ttf"));
  EXPECT_NE(missing.error().find("/no/such/font.ttf"), std::string::npos);
  Font font;
  if (!font.load(kDefaultFontPath)) GTEST_SKIP() << font.error();
  const Mask a = font.text_mask("A", 32);
  float ink = 0;
  for (float v : a.v) ink += v;
  EXPECT_GT(ink, 50.0f);
  EXPECT_GT(font.text_width("AAAA", 32), 3.5f * font.text_width("A", 32));
}

}  // namespace
}  // namespace showdata
