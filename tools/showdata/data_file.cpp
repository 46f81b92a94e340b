#include "showdata/data_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace showdata {

std::uint64_t fnv1a64(const std::vector<std::uint8_t>& bytes, std::uint64_t hash) {
  for (const std::uint8_t b : bytes) {
    hash ^= b;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::optional<std::vector<std::uint8_t>> read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return bytes;
}

WriteOutcome write_if_changed(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const auto old = read_file(path);
  if (old && *old == bytes) return WriteOutcome::unchanged;
  // Write beside the target and rename, so an interrupted run never leaves a
  // half-written file that a later run would take for current.
  const std::string temp = path + ".tmp";
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) return WriteOutcome::failed;
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) return WriteOutcome::failed;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return WriteOutcome::failed;
  }
  return WriteOutcome::written;
}

}  // namespace showdata
