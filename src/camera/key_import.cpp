// Reading a camera's keys from the keyframer section of a .3ds file: the
// frame range, then the position track of the camera node and of its target
// node, both found by the camera's name.

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "camera/camera3d.h"
#include "format3ds/chunk_file.h"

namespace {

// Bytes of a node header after its name: flags 1, flags 2, parent index.
constexpr std::int64_t NODE_HEADER_TAIL = 6;
// Bytes of a position track before its key count: track flags and 8 unused.
constexpr std::int64_t TRACK_PREAMBLE = 10;
// The unused high half of the 32-bit key count.
constexpr std::int64_t TRACK_COUNT_HIGH = 2;
// Key flag bits 0 to 4 (tension, continuity, bias, ease to, ease from) each
// announce one float between the key's flags and its position.
constexpr std::uint16_t SPLINE_PARAMETER_BITS = 0x1F;

enum class NodeScan { found, no_node, no_header };

// Leaves the file just after the node header of the first `node_id` node
// named `name`, flags and parent skipped.
NodeScan find_node(ChunkFile& file, std::uint16_t node_id, const char* name) {
  for (;;) {
    if (name == nullptr || file.findChunk(node_id) < 0) return NodeScan::no_node;
    const std::int64_t inside = file.tell();
    if (file.findChunk(CHUNK_NODE_HEADER) < 0) return NodeScan::no_header;
    char found[CHUNK_NAME_SIZE];
    file.readName(found);
    if (std::strcmp(found, name) == 0) {
      file.seek(NODE_HEADER_TAIL);
      return NodeScan::found;
    }
    // Step over the rejected node's first chunk only: the next search then
    // skips the rest of that node chunk by chunk. Only the length's low 16
    // bits count, as the show always read it (the node's first chunk is its
    // id or its header, far shorter); a length below a header's size still
    // moves past the header, so the scan always goes forward.
    file.seekTo(inside);
    std::uint16_t first_id = 0;
    std::uint32_t first_length = 0;
    file.readU16(first_id);
    file.readU32(first_length);
    file.seekTo(inside + std::max<std::uint32_t>(first_length & 0xFFFFu, CHUNK_HEADER_SIZE));
  }
}

// Reads the position track whose own data starts at the file position: the
// position of every key, in file order. The frames the file stores are not
// used: playback spaces the keys evenly over the frame range.
std::vector<D3DXVECTOR3> read_track(ChunkFile& file) {
  file.seek(TRACK_PREAMBLE);
  std::uint16_t count = 0;
  file.readU16(count);
  file.seek(TRACK_COUNT_HIGH);
  std::vector<D3DXVECTOR3> positions(count);
  for (D3DXVECTOR3& position : positions) {
    std::int32_t stored_frame = 0;
    std::uint16_t flags = 0;
    file.readI32(stored_frame);
    file.readU16(flags);
    file.seek(4 * std::popcount(static_cast<std::uint16_t>(flags & SPLINE_PARAMETER_BITS)));
    file.readFloat(position.x);
    file.readFloat(position.y);
    file.readFloat(position.z);
  }
  return positions;
}

// Key i of a track, or its only key for a track that stands still.
const D3DXVECTOR3& track_key(const std::vector<D3DXVECTOR3>& track, std::int32_t i) {
  return track.size() == 1 ? track.front() : track[static_cast<std::size_t>(i)];
}

}  // namespace

std::int32_t frame_span(std::int32_t first, std::int32_t last) {
  const std::int64_t span = static_cast<std::int64_t>(last) - first;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      span, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void Camera3d::read_frame_range(ChunkFile& file) {
  file.rewind();
  if (file.findChunk(CHUNK_MAIN) < 0 || file.findChunk(CHUNK_KEYFRAMER) < 0 ||
      file.findChunk(CHUNK_FRAME_RANGE) < 0) {
    frameDeb = 0;
    frameFin = 0;
    return;
  }
  file.readI32(frameDeb);
  file.readI32(frameFin);
}

void Camera3d::append_key(const CameraKey& key) {
  auto record = std::make_unique<CameraKey>(key);
  record->next = nullptr;
  if (keyIndex.empty()) {
    keys = record.get();
  } else {
    keyIndex.back()->next = record.get();
  }
  keyIndex.push_back(std::move(record));
  keyCount = static_cast<std::int32_t>(keyIndex.size());
}

KeyImportResult Camera3d::load_keys(ChunkFile& file, const char* cameraName) {
  if (!file.isOpen()) {
    return KEYS_NO_MAIN;
  }
  read_frame_range(file);
  const std::int32_t span = frame_span(frameDeb, frameFin);
  set_position(eye, D3DXVECTOR3());
  set_position(target, D3DXVECTOR3());

  file.rewind();
  if (file.findChunk(CHUNK_MAIN) < 0) return KEYS_NO_MAIN;
  if (file.findChunk(CHUNK_KEYFRAMER) < 0) return KEYS_NO_KEYFRAMER;
  switch (find_node(file, CHUNK_CAMERA_NODE, cameraName)) {
    case NodeScan::no_node:
      return KEYS_NO_CAMERA_NODE;
    case NodeScan::no_header:
      return KEYS_CAMERA_NODE_WITHOUT_HEADER;
    case NodeScan::found:
      break;
  }
  if (file.findChunk(CHUNK_POSITION_TRACK) < 0) return KEYS_CAMERA_WITHOUT_TRACK;
  const std::vector<D3DXVECTOR3> camera_track = read_track(file);
  nbkeysCamera = static_cast<std::int32_t>(camera_track.size());

  file.rewind();
  if (file.findChunk(CHUNK_MAIN) < 0) return KEYS_TARGET_NO_MAIN;
  if (file.findChunk(CHUNK_KEYFRAMER) < 0) return KEYS_TARGET_NO_KEYFRAMER;
  switch (find_node(file, CHUNK_TARGET_NODE, cameraName)) {
    case NodeScan::no_node:
      return KEYS_NO_TARGET_NODE;
    case NodeScan::no_header:
      return KEYS_TARGET_NODE_WITHOUT_HEADER;
    case NodeScan::found:
      break;
  }
  if (file.findChunk(CHUNK_POSITION_TRACK) < 0) return KEYS_TARGET_WITHOUT_TRACK;
  const std::vector<D3DXVECTOR3> target_track = read_track(file);
  nbkeysTarget = static_cast<std::int32_t>(target_track.size());

  // Two single keys make no path. A track of one key stands still at that key
  // while the other moves; tracks of different lengths are cut to the shorter.
  std::int32_t records = 0;
  if (nbkeysCamera == 1 && nbkeysTarget == 1) {
    records = 0;
  } else if (nbkeysCamera == 1) {
    records = nbkeysTarget;
  } else if (nbkeysTarget == 1) {
    records = nbkeysCamera;
  } else {
    records = std::min(nbkeysCamera, nbkeysTarget);
  }

  // Keys evenly spaced over the frame range: record i at i * (span / records).
  const std::int32_t step = records > 0 ? span / records : 0;
  for (std::int32_t i = 0; i < records; ++i) {
    CameraKey key;
    key.numframe = i * step;
    set_position(key.camera, track_key(camera_track, i));
    set_position(key.target, track_key(target_track, i));
    append_key(key);
  }
  return KEYS_LOADED;
}
