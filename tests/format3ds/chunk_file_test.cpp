// The flat forward scan and its quirks, which every importer relies on.
#include "format3ds/chunk_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format3ds/object_lookup.h"
#include "format3ds/stdout_capture.h"
#include "showdata/writer3ds.h"

namespace {

using namespace writer3ds;
using Bytes = std::vector<std::uint8_t>;

MeshDesc box(const std::string& name, int vertex_count) {
  MeshDesc mesh;
  mesh.name = name;
  for (int i = 0; i < vertex_count; ++i) mesh.vertices.push_back({float(i), 0, 0});
  mesh.faces = {{0, 0, 0}};
  return mesh;
}

TEST(ChunkFileScan, EmptyFileEndsTheFirstSearch) {
  ChunkFile file(Bytes{});
  StdoutCapture out;
  EXPECT_EQ(file.findChunk(CHUNK_MAIN), -1);
  EXPECT_EQ(out.take(), "\nfin du fichier");
}

TEST(ChunkFileScan, HeaderOnlyChunkIsSkipped) {
  Bytes bytes = Chunk(0x1111).bytes();
  const Bytes wanted = Chunk(0x2222).u32(99).bytes();
  bytes.insert(bytes.end(), wanted.begin(), wanted.end());
  ChunkFile file(bytes);
  EXPECT_EQ(file.findChunk(0x2222), 10);
  EXPECT_EQ(file.tell(), 12);
  std::uint32_t value = 0;
  EXPECT_TRUE(file.readU32(value));
  EXPECT_EQ(value, 99u);
}

TEST(ChunkFileScan, SkippedChunksAreNeverEntered) {
  // MAIN { A { B }, C }: B lies only inside the skipped sibling A.
  Chunk main(CHUNK_MAIN);
  main.add(Chunk(0xA1A1).add(Chunk(0xB2B2).u16(1))).add(Chunk(0xC3C3));
  ChunkFile file(main.bytes());
  ASSERT_EQ(file.findChunk(CHUNK_MAIN), static_cast<std::int32_t>(main.true_length()));
  StdoutCapture out;
  EXPECT_EQ(file.findChunk(0xB2B2), -1);
  EXPECT_EQ(out.take(), "\nfin du fichier");
  EXPECT_EQ(file.tell(), file.size());
}

TEST(ChunkFileScan, SearchIsNotBoundedByTheParent) {
  // MAIN { EDITOR { X }, KEYFRAMER }: from inside EDITOR the scan walks on
  // to the parent's siblings.
  Chunk main(CHUNK_MAIN);
  main.add(Chunk(CHUNK_EDITOR).add(Chunk(0x0101))).add(Chunk(CHUNK_KEYFRAMER).u16(5));
  ChunkFile file(main.bytes());
  file.findChunk(CHUNK_MAIN);
  file.findChunk(CHUNK_EDITOR);
  EXPECT_EQ(file.findChunk(CHUNK_KEYFRAMER), 8);
}

TEST(ChunkFileScan, BadLengthsEndTheScan) {
  for (std::uint32_t length : {0u, 5u, 0x80000000u, 0xFFFFFFFFu}) {
    Chunk bad(0x1111);
    bad.u32(0).set_length(length);
    Bytes bytes = bad.bytes();
    const Bytes after = Chunk(0x2222).bytes();
    bytes.insert(bytes.end(), after.begin(), after.end());
    ChunkFile file(bytes);
    StdoutCapture out;
    EXPECT_EQ(file.findChunk(0x2222), -1) << length;
    EXPECT_EQ(out.take(), "\nfin du fichier");
  }
}

TEST(ChunkFileScan, TruncatedHeaderIsTheEnd) {
  const Bytes bytes = truncated(Chunk(CHUNK_MAIN).u32(1).bytes(), 4);
  ChunkFile file(bytes);
  StdoutCapture out;
  EXPECT_EQ(file.findChunk(CHUNK_MAIN), -1);
  out.take();
  // A length that runs past the end is found; the skip beyond is not.
  ChunkFile longer(Chunk(CHUNK_MAIN).set_length(1000).bytes());
  EXPECT_EQ(longer.findChunk(CHUNK_MAIN), 1000);
  EXPECT_EQ(longer.findChunk(CHUNK_EDITOR), -1);
  out.take();
}

TEST(ChunkFileOpen, MissingFileFindsNothing) {
  StdoutCapture out;
  ChunkFile file("/nonexistent/dir/none.3ds");
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(file.findChunk(CHUNK_MAIN), -1);
  char name[CHUNK_NAME_SIZE];
  file.readName(name);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(out.take(), "pb d'ouverture du fichier\nfin du fichier");
}

TEST(ChunkFileNames, ThirtyOneCharactersAreReadWhole) {
  const std::string name31(31, 'n');
  ChunkFile file(Chunk(1).name(name31).u8(0x77).bytes());
  file.seek(6);
  char name[CHUNK_NAME_SIZE];
  file.readName(name);
  EXPECT_EQ(std::string(name), name31);
  EXPECT_EQ(file.tell(), 6 + 32);
}

TEST(ChunkFileNames, LongerNamesAreCutAndTerminated) {
  const std::string name40(40, 'x');
  ChunkFile file(Chunk(1).name(name40).bytes());
  file.seek(6);
  char name[CHUNK_NAME_SIZE];
  file.readName(name);
  EXPECT_EQ(std::string(name), std::string(31, 'x'));
  EXPECT_EQ(file.tell(), 6 + 32);  // the rest stays unread
}

TEST(ChunkFileNames, NameCutByTheEndIsTerminated) {
  ChunkFile file(Bytes{'a', 'b'});
  char name[CHUNK_NAME_SIZE];
  file.readName(name);
  EXPECT_STREQ(name, "ab");
}

TEST(ChunkFileStream, ReadsAndSeeksBehaveLikeAStream) {
  ChunkFile file(Bytes{1, 2, 3});
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(file.read(buffer, 8), 3u);
  EXPECT_TRUE(file.seek(10));  // past the end is allowed
  EXPECT_EQ(file.tell(), 13);
  EXPECT_EQ(file.read(buffer, 1), 0u);
  EXPECT_FALSE(file.seek(-20));  // before the start is refused
  EXPECT_EQ(file.tell(), 13);
  file.rewind();
  std::uint32_t value = 7;
  EXPECT_FALSE(file.readU32(value));
  EXPECT_EQ(value, 0u);
}

SceneDesc two_boxes() {
  SceneDesc scene;
  scene.meshes = {box("Box01", 3), box("Box02", 5)};
  return scene;
}

TEST(ObjectLookup, SecondOfTwoObjectsIsFound) {
  ChunkFile file(build_file(two_boxes()));
  StdoutCapture out;
  ASSERT_EQ(findObject(file, "Box02", LookupTexts{true, true, true}), OBJECT_FOUND);
  EXPECT_EQ(out.take(),
            "\n4D4D trouve\n3D3D trouve\n0x4000 trouve\nobject name : Box01"
            "\n0x4000 trouve\nobject name : Box02");
  ASSERT_NE(file.findChunk(CHUNK_TRIMESH), -1);
  ASSERT_NE(file.findChunk(CHUNK_VERTICES), -1);
  std::int16_t count = 0;
  file.readI16(count);
  EXPECT_EQ(count, 5);
}

TEST(ObjectLookup, NamesDifferingInCaseDoNotMatch) {
  ChunkFile file(build_file(two_boxes()));
  StdoutCapture out;
  EXPECT_EQ(findObject(file, "box01", {}), OBJECT_NOT_FOUND);
  EXPECT_EQ(out.take(), "\nfin du fichier");
  EXPECT_EQ(findObject(file, nullptr, {}), OBJECT_NOT_FOUND);
}

TEST(ObjectLookup, MissingSectionsGiveTheirCodes) {
  StdoutCapture out;
  ChunkFile no_main(Chunk(CHUNK_EDITOR).bytes());
  EXPECT_EQ(findObject(no_main, "A", {}), OBJECT_NO_MAIN);
  SceneDesc scene;
  scene.write_editor = false;
  ChunkFile no_editor(build_file(scene));
  EXPECT_EQ(findObject(no_editor, "A", {}), OBJECT_NO_EDITOR);
  out.take();
}

TEST(ObjectNames, MeshesAndLightsInFileOrder) {
  SceneDesc scene;
  scene.objects = {mesh_object(box("Box01", 3)), light_object({"Omni01", {1, 2, 3}}),
                   mesh_object(box("Box02", 3)), light_object({"Omni02", {0, 0, 0}})};
  scene.cameras = {{"Camera01", {0, 0, 0}, {1, 1, 1}}};
  ChunkFile file(build_file(scene));
  StdoutCapture out;
  EXPECT_EQ(meshNames(file), (std::vector<std::string>{"Box01", "Box02"}));
  EXPECT_EQ(lightNames(file), (std::vector<std::string>{"Omni01", "Omni02"}));
  out.take();
}

TEST(ObjectNames, NoneWithoutEditorAndEmptyWithoutObjects) {
  StdoutCapture out;
  ChunkFile empty(Bytes{});
  EXPECT_FALSE(meshNames(empty).has_value());
  ChunkFile no_objects(build_file(SceneDesc{}));
  EXPECT_EQ(meshNames(no_objects), std::vector<std::string>{});
  out.take();
}

TEST(ObjectNames, EveryCutOfAFileIsSafe) {
  SceneDesc scene;
  scene.meshes = {box("A", 3), box("B", 4)};
  scene.lights = {{"L", {1, 2, 3}}};
  const Bytes whole = build_file(scene);
  StdoutCapture out;
  for (std::size_t size = 0; size <= whole.size(); ++size) {
    ChunkFile file(truncated(whole, size));
    const auto names = meshNames(file);
    if (size == whole.size()) {
      EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));
    }
    lightNames(file);
  }
  out.take();
}

}  // namespace
