#pragma once
// The folder the show's files are read from, and the file lookup in it. The
// show's data names come from a platform whose file names ignore case
// ("echec.3DS" and "echec.3ds" are one file). On a case-sensitive disk:
//
//   DataFolder(root)     names are looked up in `root` (empty: the working directory)
//   find(name)           `name` when it exists as spelled; otherwise the one file
//                        of its folder whose name matches it without regard to
//                        ASCII case (the first in name order if several do);
//                        otherwise `name` unchanged, so that the caller reports
//                        the missing file as the show spells it. Relative to the
//                        data folder, as the trace and the log name files.
//   path(name)           where a name as found is opened
//   shown()              the folder as messages name it (absolute)
//   same_ignoring_case(a, b)

#include <filesystem>
#include <string>

class DataFolder {
 public:
  DataFolder() = default;
  explicit DataFolder(std::filesystem::path root) : root_(std::move(root)) {}

  std::string find(const std::string& name) const;
  std::string path(const std::string& name) const;
  std::string shown() const;

 private:
  std::filesystem::path root_;
};

// Whether two names are one without regard to ASCII case.
bool same_ignoring_case(const std::string& a, const std::string& b);
