#pragma once
// Ids of the .3ds chunks the show reads. Every other id is only ever skipped
// whole by ChunkFile::findChunk.

#include <cstdint>

constexpr std::uint16_t CHUNK_MAIN = 0x4D4D;
constexpr std::uint16_t CHUNK_EDITOR = 0x3D3D;
constexpr std::uint16_t CHUNK_OBJECT = 0x4000;
constexpr std::uint16_t CHUNK_TRIMESH = 0x4100;
constexpr std::uint16_t CHUNK_VERTICES = 0x4110;
constexpr std::uint16_t CHUNK_FACES = 0x4120;
constexpr std::uint16_t CHUNK_FACE_MATERIAL = 0x4130;
constexpr std::uint16_t CHUNK_MAPPING = 0x4140;
constexpr std::uint16_t CHUNK_LIGHT = 0x4600;
constexpr std::uint16_t CHUNK_MATERIAL = 0xAFFF;
constexpr std::uint16_t CHUNK_MATERIAL_NAME = 0xA000;
constexpr std::uint16_t CHUNK_TEXTURE_MAP = 0xA200;
constexpr std::uint16_t CHUNK_MAP_FILE = 0xA300;
constexpr std::uint16_t CHUNK_KEYFRAMER = 0xB000;
constexpr std::uint16_t CHUNK_FRAME_RANGE = 0xB008;
constexpr std::uint16_t CHUNK_CAMERA_NODE = 0xB003;
constexpr std::uint16_t CHUNK_TARGET_NODE = 0xB004;
constexpr std::uint16_t CHUNK_NODE_HEADER = 0xB010;
constexpr std::uint16_t CHUNK_POSITION_TRACK = 0xB020;

// Size of every chunk header: id (16-bit) and length (32-bit).
constexpr std::uint32_t CHUNK_HEADER_SIZE = 6;
// Name buffers hold at most 31 characters and the zero byte.
constexpr int CHUNK_NAME_SIZE = 32;
