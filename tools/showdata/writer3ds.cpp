#include "showdata/writer3ds.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace writer3ds {

Chunk& Chunk::u8(std::uint8_t value) {
  data_.push_back(value);
  return *this;
}

Chunk& Chunk::u16(std::uint16_t value) {
  data_.push_back(static_cast<std::uint8_t>(value & 0xFF));
  data_.push_back(static_cast<std::uint8_t>(value >> 8));
  return *this;
}

Chunk& Chunk::i16(std::int16_t value) { return u16(static_cast<std::uint16_t>(value)); }

Chunk& Chunk::u32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    data_.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
  }
  return *this;
}

Chunk& Chunk::i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }

// memcpy: the browser's C++ library (the render tests built for it) has no bit_cast.
Chunk& Chunk::f32(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return u32(bits);
}

Chunk& Chunk::vec(const D3DXVECTOR3& v) { return f32(v.x).f32(v.y).f32(v.z); }

Chunk& Chunk::name(std::string_view text) {
  data_.insert(data_.end(), text.begin(), text.end());
  data_.push_back(0);
  return *this;
}

Chunk& Chunk::raw(const std::vector<std::uint8_t>& bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}

Chunk& Chunk::add(Chunk child) {
  children_.push_back(std::move(child));
  return *this;
}

Chunk& Chunk::set_length(std::uint32_t length) {
  length_override_ = length;
  return *this;
}

Chunk* Chunk::find(std::uint16_t id) {
  if (id_ == id) return this;
  for (Chunk& child : children_) {
    if (Chunk* found = child.find(id)) return found;
  }
  return nullptr;
}

std::uint32_t Chunk::true_length() const {
  std::size_t length = CHUNK_HEADER_SIZE + data_.size();
  for (const Chunk& child : children_) length += child.true_length();
  return static_cast<std::uint32_t>(length);
}

void Chunk::append_to(std::vector<std::uint8_t>& out) const {
  Chunk header(0);
  header.u16(id_).u32(length_override_.value_or(true_length()));
  out.insert(out.end(), header.data_.begin(), header.data_.end());
  out.insert(out.end(), data_.begin(), data_.end());
  for (const Chunk& child : children_) child.append_to(out);
}

std::vector<std::uint8_t> Chunk::bytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(true_length());
  append_to(out);
  return out;
}

Chunk vertices_chunk(const std::vector<D3DXVECTOR3>& vertices) {
  Chunk chunk(CHUNK_VERTICES);
  chunk.u16(static_cast<std::uint16_t>(vertices.size()));
  for (const D3DXVECTOR3& v : vertices) chunk.vec(v);
  return chunk;
}

Chunk face_material_chunk(const FaceMaterial& group) {
  Chunk chunk(CHUNK_FACE_MATERIAL);
  chunk.name(group.material).u16(static_cast<std::uint16_t>(group.faces.size()));
  for (std::uint16_t face : group.faces) chunk.u16(face);
  return chunk;
}

Chunk faces_chunk(const std::vector<Face>& faces, const std::vector<FaceMaterial>& materials) {
  Chunk chunk(CHUNK_FACES);
  chunk.u16(static_cast<std::uint16_t>(faces.size()));
  for (const Face& f : faces) chunk.u16(f.a).u16(f.b).u16(f.c).u16(f.flags);
  for (const FaceMaterial& group : materials) chunk.add(face_material_chunk(group));
  return chunk;
}

Chunk mapping_chunk(const std::vector<UV>& mapping) {
  Chunk chunk(CHUNK_MAPPING);
  chunk.u16(static_cast<std::uint16_t>(mapping.size()));
  for (const UV& uv : mapping) chunk.f32(uv.u).f32(uv.v);
  return chunk;
}

Chunk trimesh_chunk(const MeshDesc& mesh) {
  Chunk chunk(CHUNK_TRIMESH);
  if (mesh.write_vertices) chunk.add(vertices_chunk(mesh.vertices));
  if (!mesh.mapping.empty()) chunk.add(mapping_chunk(mesh.mapping));
  if (mesh.write_faces) chunk.add(faces_chunk(mesh.faces, mesh.materials));
  return chunk;
}

Chunk named_object(std::string_view name, Chunk body) {
  Chunk chunk(CHUNK_OBJECT);
  chunk.name(name).add(std::move(body));
  return chunk;
}

Chunk mesh_object(const MeshDesc& mesh) { return named_object(mesh.name, trimesh_chunk(mesh)); }

Chunk light_object(const LightDesc& light) {
  Chunk body(CHUNK_LIGHT);
  body.vec(light.position).add(Chunk(CHUNK_COLOR_RGB_FLOAT).vec(light.color));
  return named_object(light.name, std::move(body));
}

Chunk camera_object(const CameraDesc& camera) {
  Chunk body(CHUNK_CAMERA);
  body.vec(camera.eye).vec(camera.target).f32(camera.roll).f32(camera.fov);
  return named_object(camera.name, std::move(body));
}

Chunk material_chunk(const MaterialDesc& material) {
  Chunk chunk(CHUNK_MATERIAL);
  chunk.add(Chunk(CHUNK_MATERIAL_NAME).name(material.name));
  if (!material.texture.empty()) {
    Chunk map(material.map_id);
    // A strength percentage precedes the file name in real files; readers skip it.
    map.add(Chunk(CHUNK_PERCENT_INT).u16(100));
    if (material.write_map_file) map.add(Chunk(CHUNK_MAP_FILE).name(material.texture));
    chunk.add(std::move(map));
  }
  return chunk;
}

Chunk frame_range_chunk(std::int32_t first, std::int32_t last) {
  Chunk chunk(CHUNK_FRAME_RANGE);
  chunk.i32(first).i32(last);
  return chunk;
}

Chunk node_header_chunk(std::string_view name, std::uint16_t flags1, std::uint16_t flags2,
                        std::int16_t parent) {
  Chunk chunk(CHUNK_NODE_HEADER);
  chunk.name(name).u16(flags1).u16(flags2).i16(parent);
  return chunk;
}

Chunk position_track_chunk(const std::vector<PositionKey>& keys) {
  Chunk chunk(CHUNK_POSITION_TRACK);
  // Track flags, 8 unused bytes, the key count as a 32-bit field.
  chunk.u16(0).u32(0).u32(0).u32(static_cast<std::uint32_t>(keys.size()));
  for (const PositionKey& key : keys) {
    chunk.i32(key.frame).u16(key.flags);
    // Each of the five low flag bits (tension, continuity, bias, ease to,
    // ease from) announces one more float before the position.
    for (int bit = 0; bit < 5; ++bit) {
      if (key.flags & (1u << bit)) chunk.f32(0.0f);
    }
    chunk.vec(key.position);
  }
  return chunk;
}

namespace {

Chunk node(std::uint16_t id, std::string_view name, const std::vector<PositionKey>& keys) {
  Chunk chunk(id);
  chunk.add(node_header_chunk(name)).add(position_track_chunk(keys));
  return chunk;
}

}  // namespace

Chunk camera_node(std::string_view name, const std::vector<PositionKey>& keys) {
  return node(CHUNK_CAMERA_NODE, name, keys);
}

Chunk target_node(std::string_view name, const std::vector<PositionKey>& keys) {
  return node(CHUNK_TARGET_NODE, name, keys);
}

Chunk object_node(std::string_view name, const std::vector<PositionKey>& keys) {
  return node(CHUNK_OBJECT_NODE, name, keys);
}

Chunk build_editor(const SceneDesc& scene) {
  Chunk editor(CHUNK_EDITOR);
  editor.add(Chunk(CHUNK_MESH_VERSION).u32(3));
  for (const MaterialDesc& material : scene.materials) editor.add(material_chunk(material));
  for (const Chunk& object : scene.objects) editor.add(object);
  for (const MeshDesc& mesh : scene.meshes) editor.add(mesh_object(mesh));
  for (const LightDesc& light : scene.lights) editor.add(light_object(light));
  for (const CameraDesc& camera : scene.cameras) editor.add(camera_object(camera));
  return editor;
}

Chunk build_keyframer(const SceneDesc& scene) {
  Chunk keyframer(CHUNK_KEYFRAMER);
  if (scene.frame_range) {
    keyframer.add(frame_range_chunk(scene.frame_range->first, scene.frame_range->second));
  }
  for (const CameraTrackDesc& track : scene.tracks) {
    keyframer.add(camera_node(track.name, track.camera_keys));
    keyframer.add(target_node(track.name, track.target_keys));
  }
  return keyframer;
}

Chunk build_main(const SceneDesc& scene) {
  Chunk main(CHUNK_MAIN);
  main.add(Chunk(CHUNK_VERSION).u32(3));
  if (scene.write_editor) main.add(build_editor(scene));
  if (scene.write_keyframer || scene.frame_range || !scene.tracks.empty()) {
    main.add(build_keyframer(scene));
  }
  return main;
}

std::vector<std::uint8_t> build_file(const SceneDesc& scene) { return build_main(scene).bytes(); }

std::vector<std::uint8_t> truncated(const std::vector<std::uint8_t>& bytes, std::size_t size) {
  if (size >= bytes.size()) return bytes;
  return std::vector<std::uint8_t>(bytes.begin(),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
  const bool closed = std::fclose(file) == 0;
  return written == bytes.size() && closed;
}

}  // namespace writer3ds
