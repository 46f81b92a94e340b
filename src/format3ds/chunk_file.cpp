#include "format3ds/chunk_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

ChunkFile::ChunkFile(const char* path) {
  std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (!file) {
    std::printf("pb d'ouverture du fichier");
    return;
  }
  std::uint8_t block[65536];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes_.insert(bytes_.end(), block, block + got);
  }
  std::fclose(file);
  open_ = true;
}

ChunkFile::ChunkFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)), open_(true) {}

void ChunkFile::reportEnd() {
  std::printf("\nfin du fichier");
  std::fflush(stdout);
}

std::int32_t ChunkFile::findChunk(std::uint16_t id) {
  for (;;) {
    std::uint32_t chunk_id = 0;
    std::uint32_t length = 0;
    if (!readLittle(chunk_id, 2) || !readLittle(length, 4) || length < CHUNK_HEADER_SIZE ||
        length > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
      position_ = std::max(position_, size());
      reportEnd();
      return -1;
    }
    if (chunk_id == id) return static_cast<std::int32_t>(length);
    position_ += length - CHUNK_HEADER_SIZE;
  }
}

void ChunkFile::readName(char buffer[CHUNK_NAME_SIZE]) {
  for (int index = 0; index < CHUNK_NAME_SIZE; ++index) {
    std::uint8_t byte = 0;
    read(&byte, 1);  // the end of the data reads as the terminating zero
    buffer[index] = static_cast<char>(byte);
    if (byte == 0) return;
  }
  buffer[CHUNK_NAME_SIZE - 1] = '\0';
}

std::size_t ChunkFile::read(void* destination, std::size_t count) {
  if (position_ >= size()) return 0;
  const std::size_t left = static_cast<std::size_t>(size() - position_);
  const std::size_t copied = std::min(count, left);
  std::memcpy(destination, bytes_.data() + position_, copied);
  position_ += static_cast<std::int64_t>(copied);
  return copied;
}

bool ChunkFile::seek(std::int64_t offset) { return seekTo(position_ + offset); }

bool ChunkFile::seekTo(std::int64_t position) {
  if (position < 0) return false;
  position_ = position;
  return true;
}

bool ChunkFile::readLittle(std::uint32_t& value, int width) {
  std::uint8_t raw[4] = {0, 0, 0, 0};
  const std::size_t got = read(raw, static_cast<std::size_t>(width));
  value = 0;
  if (got < static_cast<std::size_t>(width)) return false;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | raw[i];
  return true;
}

bool ChunkFile::readU16(std::uint16_t& value) {
  std::uint32_t wide = 0;
  const bool ok = readLittle(wide, 2);
  value = static_cast<std::uint16_t>(wide);
  return ok;
}

bool ChunkFile::readI16(std::int16_t& value) {
  std::uint16_t raw = 0;
  const bool ok = readU16(raw);
  value = static_cast<std::int16_t>(raw);
  return ok;
}

bool ChunkFile::readU32(std::uint32_t& value) { return readLittle(value, 4); }

bool ChunkFile::readI32(std::int32_t& value) {
  std::uint32_t raw = 0;
  const bool ok = readLittle(raw, 4);
  value = static_cast<std::int32_t>(raw);
  return ok;
}

bool ChunkFile::readFloat(float& value) {
  std::uint32_t raw = 0;
  const bool ok = readLittle(raw, 4);
  std::memcpy(&value, &raw, sizeof value);  // the browser's C++ library has no bit_cast
  return ok;
}
