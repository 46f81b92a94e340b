// The fixture writer: every reader test trusts these bytes.
#include "showdata/writer3ds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace writer3ds;

TEST(Writer3ds, ChunkHeaderCountsOwnDataAndSubChunks) {
  Chunk parent(0x1234);
  parent.u16(0xBEEF).add(Chunk(0x0001).name("ab"));
  EXPECT_EQ(parent.bytes(), (Bytes{0x34, 0x12, 17, 0, 0, 0, 0xEF, 0xBE,  //
                                   0x01, 0x00, 9, 0, 0, 0, 'a', 'b', 0}));
}

TEST(Writer3ds, WrongLengthAndTruncation) {
  Chunk chunk(0x4D4D);
  chunk.u32(7).set_length(3);
  const Bytes bytes = chunk.bytes();
  EXPECT_EQ(bytes, (Bytes{0x4D, 0x4D, 3, 0, 0, 0, 7, 0, 0, 0}));
  EXPECT_EQ(truncated(bytes, 4), (Bytes{0x4D, 0x4D, 3, 0}));
  EXPECT_EQ(truncated(bytes, 100), bytes);
}

TEST(Writer3ds, MeshObjectLayout) {
  MeshDesc mesh;
  mesh.name = "M";
  mesh.vertices = {{1.0f, 0.0f, 0.0f}};
  mesh.faces = {{0, 0, 0, 7}};
  mesh.materials = {{"mat", {0}}};
  mesh.mapping = {{0.5f, 0.25f}};
  Chunk object = mesh_object(mesh);
  const Bytes bytes = object.bytes();
  // object: header, "M\0", trimesh: header, vertices(6+2+12), mapping(6+2+8),
  // faces(6+2+8 + material(6+4+2+2)).
  EXPECT_EQ(bytes.size(), 6u + 2 + 6 + 20 + 16 + 16 + 14);
  ASSERT_NE(object.find(CHUNK_FACE_MATERIAL), nullptr);
  EXPECT_EQ(object.find(CHUNK_FACES)->true_length(), 30u);
  EXPECT_EQ(object.find(CHUNK_MAP_FILE), nullptr);
}

TEST(Writer3ds, PositionTrackKeysAreEighteenBytes) {
  const Chunk track = position_track_chunk({{0, {1, 2, 3}}, {10, {4, 5, 6}}});
  const Bytes bytes = track.bytes();
  ASSERT_EQ(bytes.size(), 6u + 2 + 8 + 4 + 2 * 18);
  EXPECT_EQ(bytes[16], 2);        // key count, low half of its 32-bit field
  EXPECT_EQ(bytes[20 + 18], 10);  // frame of the second key
}

}  // namespace
