#pragma once
// A generated file: its name inside the data folder and its bytes. The
// generators return these; main writes them out.
//
//   DataFile           name and bytes
//   fnv1a64            64-bit FNV-1a of bytes (the up-to-date stamp)
//   read_file          whole file, or nothing when it cannot be read
//   write_if_changed   writes only when the file's bytes differ

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace showdata {

struct DataFile {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

std::uint64_t fnv1a64(const std::vector<std::uint8_t>& bytes,
                      std::uint64_t hash = 0xcbf29ce484222325ull);

std::optional<std::vector<std::uint8_t>> read_file(const std::string& path);

enum class WriteOutcome { written, unchanged, failed };
WriteOutcome write_if_changed(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace showdata
