#pragma once
// The .3ds reader every importer goes through. The whole file is read into
// memory when the reader is made; everything else works on that copy with
// the positions and results of a buffered stream: seeking past the end is
// allowed, reads there get nothing.
//
//   ChunkFile(path)        prints "pb d'ouverture du fichier" when it cannot open
//   isOpen()
//   findChunk(id)          flat forward scan; the chunk's length, the position
//                          just after its header; -1 (and "\nfin du fichier")
//                          at the end of the data
//   readName(buffer)       one zero-terminated name, at most 32 bytes consumed
//   rewind, read, seek (relative), seekTo (absolute), tell, size
//   readU16, readI16, readI32, readU32, readFloat: false on a short read

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format3ds/chunk_ids.h"

class ChunkFile {
 public:
  explicit ChunkFile(const char* path);
  // A reader over bytes already in memory (tests, fuzzing).
  explicit ChunkFile(std::vector<std::uint8_t> bytes);

  ChunkFile(const ChunkFile&) = delete;
  ChunkFile& operator=(const ChunkFile&) = delete;

  bool isOpen() const { return open_; }

  // Scans from the current position, skipping every other chunk whole. A
  // chunk length below 6 (which would never move forward) or beyond 2^31 - 1
  // ends the scan as the end of the data does. A reader without a file finds
  // nothing.
  std::int32_t findChunk(std::uint16_t id);
  // Stores bytes up to and including the zero byte; 32 bytes without a zero
  // are cut to 31 characters and terminated; the end of the data terminates.
  void readName(char buffer[CHUNK_NAME_SIZE]);

  void rewind() { position_ = 0; }
  // Copies up to `count` bytes; the number copied.
  std::size_t read(void* destination, std::size_t count);
  // Like fseek: a move before the start fails (false) and changes nothing.
  bool seek(std::int64_t offset);
  bool seekTo(std::int64_t position);
  std::int64_t tell() const { return position_; }
  std::int64_t size() const { return static_cast<std::int64_t>(bytes_.size()); }

  // Little-endian values; on a short read the value is 0 and the result false.
  bool readU16(std::uint16_t& value);
  bool readI16(std::int16_t& value);
  bool readU32(std::uint32_t& value);
  bool readI32(std::int32_t& value);
  bool readFloat(float& value);

 private:
  // Reads 1 to 4 bytes little-endian; false (value 0) when fewer were there.
  bool readLittle(std::uint32_t& value, int width);
  void reportEnd();

  std::vector<std::uint8_t> bytes_;
  std::int64_t position_ = 0;
  bool open_ = false;
};
