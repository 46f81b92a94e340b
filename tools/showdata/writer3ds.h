#pragma once
// A small .3ds writer, chunk by chunk. Tests build their fixtures with it (so
// each test shows the bytes it relies on) and the stand-in data generator
// writes the show's scenes with it.
//
// Building blocks (each returns a Chunk that can be nested freely):
//   Chunk(id)            .u8 .u16 .i16 .u32 .i32 .f32 .vec .name .raw   own data
//                        .add(child)   sub-chunks, written after the own data
//                        .set_length(n) writes n instead of the true length
//                        .find(id)     first chunk with that id, depth first
//   vertices_chunk, faces_chunk, face_material_chunk, mapping_chunk
//   mesh_object, light_object, camera_object, material_chunk
//   frame_range_chunk, node_header_chunk, position_track_chunk,
//   camera_node, target_node, object_node
// Whole files:
//   SceneDesc + build_main(scene) / build_file(scene)
//   Chunk::bytes()       the serialised chunk
//   truncated(bytes, n)  the first n bytes
//   write_file(path, bytes)

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format3ds/chunk_ids.h"
#include "math/d3dx_vector.h"

namespace writer3ds {

// Ids the show never reads, written for realistic files.
constexpr std::uint16_t CHUNK_VERSION = 0x0002;
constexpr std::uint16_t CHUNK_COLOR_RGB_FLOAT = 0x0010;
constexpr std::uint16_t CHUNK_COLOR_RGB_BYTE = 0x0011;
constexpr std::uint16_t CHUNK_PERCENT_INT = 0x0030;
constexpr std::uint16_t CHUNK_MESH_VERSION = 0x3D3E;
constexpr std::uint16_t CHUNK_CAMERA = 0x4700;
constexpr std::uint16_t CHUNK_SPECULAR_MAP = 0xA204;
constexpr std::uint16_t CHUNK_OBJECT_NODE = 0xB002;
constexpr std::uint16_t CHUNK_ROTATION_TRACK = 0xB021;

class Chunk {
 public:
  explicit Chunk(std::uint16_t id) : id_(id) {}

  std::uint16_t id() const { return id_; }

  Chunk& u8(std::uint8_t value);
  Chunk& u16(std::uint16_t value);
  Chunk& i16(std::int16_t value);
  Chunk& u32(std::uint32_t value);
  Chunk& i32(std::int32_t value);
  Chunk& f32(float value);
  Chunk& vec(const D3DXVECTOR3& v);
  // The bytes of `text` and a zero byte.
  Chunk& name(std::string_view text);
  // Bytes as they are: a name without terminator, junk, a short record.
  Chunk& raw(const std::vector<std::uint8_t>& bytes);
  Chunk& add(Chunk child);

  // Writes `length` in the header instead of the true length (broken files).
  Chunk& set_length(std::uint32_t length);
  // The first chunk with `id` in this tree (itself included), or nullptr.
  Chunk* find(std::uint16_t id);

  // Header length field: 6 + own data + every sub-chunk.
  std::uint32_t true_length() const;
  std::vector<std::uint8_t> bytes() const;
  void append_to(std::vector<std::uint8_t>& out) const;

 private:
  std::uint16_t id_;
  std::vector<std::uint8_t> data_;
  std::vector<Chunk> children_;
  std::optional<std::uint32_t> length_override_;
};

struct Face {
  std::uint16_t a = 0, b = 0, c = 0;
  std::uint16_t flags = 0;
};

struct UV {
  float u = 0.0f, v = 0.0f;
};

// One material group of a face list: the faces drawn with that material.
struct FaceMaterial {
  std::string material;
  std::vector<std::uint16_t> faces;
};

struct MeshDesc {
  std::string name;
  std::vector<D3DXVECTOR3> vertices;
  std::vector<Face> faces;
  std::vector<FaceMaterial> materials;  // none: no CHUNK_FACE_MATERIAL
  std::vector<UV> mapping;              // empty: no CHUNK_MAPPING
  bool write_vertices = true;           // false: no CHUNK_VERTICES
  bool write_faces = true;              // false: no CHUNK_FACES
};

struct LightDesc {
  std::string name;
  D3DXVECTOR3 position;
  D3DXVECTOR3 color{1.0f, 1.0f, 1.0f};  // written as a sub-chunk, never read by the show
};

struct CameraDesc {
  std::string name;
  D3DXVECTOR3 eye;
  D3DXVECTOR3 target;
  float roll = 0.0f;
  float fov = 45.0f;
};

struct MaterialDesc {
  std::string name;
  std::string texture;  // empty: no map chunk at all
  // CHUNK_TEXTURE_MAP for the first diffuse map, or another map id (such as
  // CHUNK_SPECULAR_MAP) that the show must not take for a texture.
  std::uint16_t map_id = CHUNK_TEXTURE_MAP;
  bool write_map_file = true;  // false: a map chunk without CHUNK_MAP_FILE
};

struct PositionKey {
  std::int32_t frame = 0;
  D3DXVECTOR3 position;
  std::uint16_t flags = 0;
};

// A camera's keyframer nodes: one camera node and one target node, both
// named after the camera, each with a position track.
struct CameraTrackDesc {
  std::string name;
  std::vector<PositionKey> camera_keys;
  std::vector<PositionKey> target_keys;
};

struct SceneDesc {
  // Editor objects are written in this order: meshes, lights, cameras; mixed
  // orders are built with `objects`, written first when not empty.
  std::vector<Chunk> objects;
  std::vector<MeshDesc> meshes;
  std::vector<LightDesc> lights;
  std::vector<CameraDesc> cameras;
  std::vector<MaterialDesc> materials;  // written before the objects, as 3ds Max does
  bool write_editor = true;
  // Keyframer: written when any of these is set.
  std::optional<std::pair<std::int32_t, std::int32_t>> frame_range;
  std::vector<CameraTrackDesc> tracks;
  bool write_keyframer = false;
};

Chunk vertices_chunk(const std::vector<D3DXVECTOR3>& vertices);
Chunk face_material_chunk(const FaceMaterial& group);
Chunk faces_chunk(const std::vector<Face>& faces, const std::vector<FaceMaterial>& materials);
Chunk mapping_chunk(const std::vector<UV>& mapping);
Chunk trimesh_chunk(const MeshDesc& mesh);
// CHUNK_OBJECT with the name as own data and the given body as sub-chunk.
Chunk named_object(std::string_view name, Chunk body);
Chunk mesh_object(const MeshDesc& mesh);
Chunk light_object(const LightDesc& light);
Chunk camera_object(const CameraDesc& camera);
Chunk material_chunk(const MaterialDesc& material);

Chunk frame_range_chunk(std::int32_t first, std::int32_t last);
Chunk node_header_chunk(std::string_view name, std::uint16_t flags1 = 0, std::uint16_t flags2 = 0,
                        std::int16_t parent = -1);
Chunk position_track_chunk(const std::vector<PositionKey>& keys);
Chunk camera_node(std::string_view name, const std::vector<PositionKey>& keys);
Chunk target_node(std::string_view name, const std::vector<PositionKey>& keys);
Chunk object_node(std::string_view name, const std::vector<PositionKey>& keys);

Chunk build_editor(const SceneDesc& scene);
Chunk build_keyframer(const SceneDesc& scene);
Chunk build_main(const SceneDesc& scene);
std::vector<std::uint8_t> build_file(const SceneDesc& scene);

std::vector<std::uint8_t> truncated(const std::vector<std::uint8_t>& bytes, std::size_t size);
// True when every byte reached the file.
bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace writer3ds
