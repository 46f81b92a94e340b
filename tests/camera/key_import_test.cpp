#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "camera/camera3d.h"
#include "format3ds/chunk_file.h"
#include "showdata/writer3ds.h"
#include "support/fresh_folder.h"

namespace {

using writer3ds::Chunk;
using writer3ds::PositionKey;
using writer3ds::SceneDesc;

// Keys along x for the camera and along y for the target, at the frames given.
std::vector<PositionKey> keys_at(const std::vector<std::int32_t>& frames, bool target = false) {
  std::vector<PositionKey> keys;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const float at = 10.0f * static_cast<float>(i + 1);
    keys.push_back(
        PositionKey{frames[i], target ? D3DXVECTOR3(0.0f, at, 0.0f) : D3DXVECTOR3(at, 0.0f, 0.0f)});
  }
  return keys;
}

SceneDesc one_camera(const std::string& name, std::vector<PositionKey> camera_keys,
                     std::vector<PositionKey> target_keys, std::int32_t first = 0,
                     std::int32_t last = 100) {
  SceneDesc scene;
  scene.frame_range = {first, last};
  scene.tracks.push_back({name, std::move(camera_keys), std::move(target_keys)});
  return scene;
}

// A keyframer built chunk by chunk, for files the scene description cannot say.
std::vector<std::uint8_t> with_keyframer(Chunk keyframer) {
  return Chunk(CHUNK_MAIN).add(std::move(keyframer)).bytes();
}

struct Loaded {
  KeyImportResult result;
  std::unique_ptr<Camera3d> camera;
};

Loaded load(std::vector<std::uint8_t> bytes, const char* name) {
  ChunkFile file(std::move(bytes));
  auto camera = std::make_unique<Camera3d>();
  const KeyImportResult result = camera->load_keys(file, name);
  return {result, std::move(camera)};
}

std::vector<std::int32_t> frames_of(const Camera3d& camera) {
  std::vector<std::int32_t> frames;
  for (const CameraKey* key = camera.keys; key != nullptr; key = key->next) {
    frames.push_back(key->numframe);
  }
  return frames;
}

TEST(KeyImport, SpacesKeysEvenlyOverTheFrameRangeWhateverTheFileStores) {
  Loaded five = load(writer3ds::build_file(one_camera("Camera01", keys_at({0, 3, 7, 50, 99}),
                                                      keys_at({5, 6, 7, 8, 9}, true), 0, 100)),
                     "Camera01");
  ASSERT_EQ(five.result, KEYS_LOADED);
  EXPECT_EQ(frames_of(*five.camera), (std::vector<std::int32_t>{0, 20, 40, 60, 80}));
  EXPECT_EQ(five.camera->nbkeysCamera, 5);
  EXPECT_EQ(five.camera->nbkeysTarget, 5);
  EXPECT_EQ(five.camera->frameDeb, 0);
  EXPECT_EQ(five.camera->frameFin, 100);

  Loaded four = load(writer3ds::build_file(one_camera("Camera01", keys_at({0, 1, 2, 3}),
                                                      keys_at({0, 1, 2, 3}, true), 0, 99)),
                     "Camera01");
  ASSERT_EQ(four.result, KEYS_LOADED);
  EXPECT_EQ(frames_of(*four.camera), (std::vector<std::int32_t>{0, 24, 48, 72}));
}

TEST(KeyImport, RecordsHoldBothTracksInOrderAndTheIndexMatchesTheChain) {
  Loaded loaded = load(
      writer3ds::build_file(one_camera("Camera01", keys_at({0, 1, 2}), keys_at({0, 1, 2}, true))),
      "Camera01");
  ASSERT_EQ(loaded.result, KEYS_LOADED);
  const Camera3d& camera = *loaded.camera;
  ASSERT_EQ(camera.keyCount, 3);
  ASSERT_EQ(camera.keyIndex.size(), 3u);
  const CameraKey* key = camera.keys;
  for (std::size_t i = 0; i < 3; ++i, key = key->next) {
    ASSERT_EQ(key, camera.keyIndex[i].get()) << "record " << i;
    const float at = 10.0f * static_cast<float>(i + 1);
    EXPECT_EQ(key_position(key->camera), D3DXVECTOR3(at, 0.0f, 0.0f));
    EXPECT_EQ(key_position(key->target), D3DXVECTOR3(0.0f, at, 0.0f));
    EXPECT_EQ(key->cameraTangent, D3DXVECTOR3());
  }
  EXPECT_EQ(key, nullptr);
}

TEST(KeyImport, SingleKeyTracks) {
  // Both single: no path at all, and no failure either.
  Loaded still = load(
      writer3ds::build_file(one_camera("Camera01", keys_at({0}), keys_at({0}, true))), "Camera01");
  EXPECT_EQ(still.result, KEYS_LOADED);
  EXPECT_EQ(still.camera->keyCount, 0);
  EXPECT_EQ(still.camera->keys, nullptr);

  // One single: it stands at its only key while the other track moves.
  Loaded panning = load(
      writer3ds::build_file(one_camera("Camera01", {PositionKey{0, D3DXVECTOR3(-5.0f, 6.0f, 7.0f)}},
                                       keys_at({0, 1, 2, 3}, true))),
      "Camera01");
  ASSERT_EQ(panning.result, KEYS_LOADED);
  ASSERT_EQ(panning.camera->keyCount, 4);
  EXPECT_EQ(frames_of(*panning.camera), (std::vector<std::int32_t>{0, 25, 50, 75}));
  for (const auto& key : panning.camera->keyIndex) {
    EXPECT_EQ(key_position(key->camera), D3DXVECTOR3(-5.0f, 6.0f, 7.0f));
  }
  EXPECT_EQ(key_position(panning.camera->keyIndex[3]->target), D3DXVECTOR3(0.0f, 40.0f, 0.0f));
}

TEST(KeyImport, TracksOfDifferentLengthsAreCutToTheShorter) {
  Loaded loaded = load(writer3ds::build_file(one_camera("Camera01", keys_at({0, 1, 2, 3, 4}),
                                                        keys_at({0, 1, 2}, true), 0, 90)),
                       "Camera01");
  ASSERT_EQ(loaded.result, KEYS_LOADED);
  EXPECT_EQ(loaded.camera->nbkeysCamera, 5);
  EXPECT_EQ(loaded.camera->nbkeysTarget, 3);
  EXPECT_EQ(frames_of(*loaded.camera), (std::vector<std::int32_t>{0, 30, 60}));
  EXPECT_EQ(key_position(loaded.camera->keyIndex[2]->camera), D3DXVECTOR3(30.0f, 0.0f, 0.0f));
}

TEST(KeyImport, KeysWithSplineParametersAreReadAtTheirRealPlace) {
  std::vector<PositionKey> camera = keys_at({0, 10, 20});
  camera[0].flags = 0x1F;  // all five parameters
  camera[1].flags = 0x05;  // tension and bias
  camera[2].flags = 0x20;  // a bit that announces nothing
  std::vector<std::uint8_t> bytes =
      writer3ds::build_file(one_camera("Camera01", camera, keys_at({0, 10, 20}, true)));
  Loaded loaded = load(bytes, "Camera01");
  ASSERT_EQ(loaded.result, KEYS_LOADED);
  ASSERT_EQ(loaded.camera->keyCount, 3);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(key_position(loaded.camera->keyIndex[i]->camera),
              D3DXVECTOR3(10.0f * static_cast<float>(i + 1), 0.0f, 0.0f))
        << "key " << i;
  }
}

TEST(KeyImport, FindsTheNodeByItsExactBytes) {
  SceneDesc scene = one_camera("Camera02", keys_at({0, 1}), keys_at({0, 1}, true));
  scene.tracks.push_back({"Camera01",
                          {PositionKey{0, D3DXVECTOR3(1.0f, 2.0f, 3.0f)},
                           PositionKey{5, D3DXVECTOR3(4.0f, 5.0f, 6.0f)}},
                          keys_at({0, 1}, true)});
  const std::vector<std::uint8_t> bytes = writer3ds::build_file(scene);

  Loaded second = load(bytes, "Camera01");
  ASSERT_EQ(second.result, KEYS_LOADED);
  EXPECT_EQ(key_position(second.camera->keys->camera), D3DXVECTOR3(1.0f, 2.0f, 3.0f));
  EXPECT_EQ(load(bytes, "camera01").result, KEYS_NO_CAMERA_NODE);
  EXPECT_EQ(load(bytes, "Camera0").result, KEYS_NO_CAMERA_NODE);
  EXPECT_EQ(load(bytes, nullptr).result, KEYS_NO_CAMERA_NODE);

  // The show's "Caméra01" is Latin-1: the single byte 0xE9 matches only itself.
  const std::vector<std::uint8_t> latin1 =
      writer3ds::build_file(one_camera("Cam\xe9ra01", keys_at({0, 1}), keys_at({0, 1}, true)));
  EXPECT_EQ(load(latin1, "Cam\xe9ra01").result, KEYS_LOADED);
  EXPECT_EQ(load(latin1, "Cam\xc3\xa9ra01").result, KEYS_NO_CAMERA_NODE);  // UTF-8
  EXPECT_EQ(load(latin1, "Camera01").result, KEYS_NO_CAMERA_NODE);
}

TEST(KeyImport, EachMissingPieceHasItsResultAndLeavesNoRecords) {
  const auto header = [](const char* name) { return writer3ds::node_header_chunk(name); };
  const auto track = [](bool target) {
    return writer3ds::position_track_chunk(keys_at({0, 1}, target));
  };
  const Chunk range = writer3ds::frame_range_chunk(0, 100);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    KeyImportResult result;
  };
  const std::vector<Case> cases = {
      {"no main chunk", Chunk(0x1234).u32(0).bytes(), KEYS_NO_MAIN},
      {"no keyframer", writer3ds::build_file(SceneDesc{}), KEYS_NO_KEYFRAMER},
      {"no camera node", with_keyframer(Chunk(CHUNK_KEYFRAMER).add(range)), KEYS_NO_CAMERA_NODE},
      {"camera node without header",
       with_keyframer(
           Chunk(CHUNK_KEYFRAMER).add(range).add(Chunk(CHUNK_CAMERA_NODE).add(track(false)))),
       KEYS_CAMERA_NODE_WITHOUT_HEADER},
      {"camera node without track",
       with_keyframer(
           Chunk(CHUNK_KEYFRAMER).add(range).add(Chunk(CHUNK_CAMERA_NODE).add(header("C")))),
       KEYS_CAMERA_WITHOUT_TRACK},
      {"no target node",
       with_keyframer(Chunk(CHUNK_KEYFRAMER)
                          .add(range)
                          .add(Chunk(CHUNK_CAMERA_NODE).add(header("C")).add(track(false)))),
       KEYS_NO_TARGET_NODE},
      {"target node without header",
       with_keyframer(Chunk(CHUNK_KEYFRAMER)
                          .add(range)
                          .add(Chunk(CHUNK_CAMERA_NODE).add(header("C")).add(track(false)))
                          .add(Chunk(CHUNK_TARGET_NODE).add(track(true)))),
       KEYS_TARGET_NODE_WITHOUT_HEADER},
      {"target node without track",
       with_keyframer(Chunk(CHUNK_KEYFRAMER)
                          .add(range)
                          .add(Chunk(CHUNK_CAMERA_NODE).add(header("C")).add(track(false)))
                          .add(Chunk(CHUNK_TARGET_NODE).add(header("C")))),
       KEYS_TARGET_WITHOUT_TRACK},
  };
  for (const Case& c : cases) {
    Loaded loaded = load(c.bytes, "C");
    EXPECT_EQ(loaded.result, c.result) << c.what;
    EXPECT_EQ(loaded.camera->keyCount, 0) << c.what;
    EXPECT_EQ(loaded.camera->keys, nullptr) << c.what;
  }
}

TEST(KeyImport, AMissingFrameRangeGivesZeroAndZero) {
  SceneDesc scene = one_camera("C", keys_at({0, 1, 2}), keys_at({0, 1, 2}, true));
  scene.frame_range.reset();
  Loaded loaded = load(writer3ds::build_file(scene), "C");
  ASSERT_EQ(loaded.result, KEYS_LOADED);
  EXPECT_EQ(loaded.camera->frameDeb, 0);
  EXPECT_EQ(loaded.camera->frameFin, 0);
  EXPECT_EQ(frames_of(*loaded.camera), (std::vector<std::int32_t>{0, 0, 0}));
}

TEST(KeyImport, AFileThatDidNotOpenFailsWithOne) {
  ChunkFile file("/nonexistent/plovermix/none.3ds");
  Camera3d camera;
  EXPECT_EQ(camera.load_keys(file, "Camera01"), KEYS_NO_MAIN);
  EXPECT_EQ(camera.keyCount, 0);
}

TEST(KeyImport, ATruncatedTrackNeverReadsPastTheData) {
  const std::vector<std::uint8_t> whole =
      writer3ds::build_file(one_camera("C", keys_at({0, 1, 2, 3}), keys_at({0, 1, 2, 3}, true)));
  for (std::size_t size = 0; size < whole.size(); size += 7) {
    Loaded loaded = load(writer3ds::truncated(whole, size), "C");
    EXPECT_LE(loaded.camera->keyCount, 4);
  }
}

std::string corpus_file(const char* name) {
  return std::string(PLOVERMIX_CORPUS_DIR) + "/3ds/assimp/" + name;
}

using CorpusKeys = InFreshFolder;

// assimp's test model: a camera track of 4 keys and a target track of 3, over
// frames 0 to 300; the nodes open with a node-id chunk before their header.
TEST_F(CorpusKeys, TargetCameraAnimIsCutToItsThreeTargetKeys) {
  const std::string path = corpus_file("TargetCameraAnim.3ds");
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
  Camera3d camera(path.c_str(), "Camera01");
  EXPECT_EQ(log_text(), "");
  EXPECT_EQ(camera.frameSpan, 300);
  ASSERT_EQ(camera.keyCount, 3);
  EXPECT_EQ(frames_of(camera), (std::vector<std::int32_t>{0, 100, 200}));
  EXPECT_NEAR(camera.keyIndex[1]->camera.z, 85.41814f, 1e-4f);
  EXPECT_NEAR(camera.keyIndex[2]->target.x, 100.41005f, 1e-4f);
}

// The target node comes after an object node that is a child of the camera;
// the camera's position track has its single key.
TEST_F(CorpusKeys, CameraRollAnimWithChildObjectPairsByName) {
  const std::string path = corpus_file("CameraRollAnimWithChildObject.3ds");
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
  Camera3d camera(path.c_str(), "Camera01");
  ASSERT_EQ(camera.keyCount, 2);
  EXPECT_NEAR(camera.keyIndex[1]->camera.x, -152.36256f, 1e-4f);
  EXPECT_NEAR(camera.keyIndex[1]->target.z, 46.08463f, 1e-4f);
}

}  // namespace
