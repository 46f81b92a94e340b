#include "show/data_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

const char* const SHOW_FILES[28] = {
    MUSIC_FILE,     "echec.3ds", "tunnel2.3ds",  "node.3ds",      "indus.3ds",    "credits.3ds",
    "greets.3ds",   "logo.bmp",  "since.bmp",    "Presents.bmp",  "Talvores.bmp", "gilb.bmp",
    "tesk.bmp",     "tesk2.bmp", "pamo.bmp",     "vostl.bmp",     "orvex.bmp",    "dulam.bmp",
    "clouds.bmp",   "trai.bmp",  "caca.bmp",     "caca2.bmp",     "sp1.bmp",      "vorn.bmp",
    "zevuvero.bmp", "title.bmp", "particle.bmp", "particule2.bmp"};

namespace {

std::string listed(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) {
    out += (out.empty() ? "" : ", ") + name;
  }
  return out;
}

bool readable(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && std::ifstream(path, std::ios::binary);
}

}  // namespace

bool holds_show_files(const DataFolder& data) {
  return std::any_of(std::begin(SHOW_FILES), std::end(SHOW_FILES), [&](const char* name) {
    std::error_code error;
    return std::filesystem::exists(data.path(data.find(name)), error);
  });
}

std::string show_files_report(const DataFolder& data, const std::string& hint) {
  std::vector<std::string> missing;
  std::vector<std::string> unreadable;
  for (const char* name : SHOW_FILES) {
    const std::string found = data.path(data.find(name));
    std::error_code error;
    if (!std::filesystem::exists(found, error)) {  // a link to nothing included
      missing.push_back(name);
    } else if (!readable(found)) {
      unreadable.push_back(name);
    }
  }
  if (missing.empty() && unreadable.empty()) {
    return "";
  }
  const std::string total = std::to_string(std::size(SHOW_FILES));
  std::string line = "plovermix: ";
  if (!missing.empty()) {
    line += std::to_string(missing.size()) + " of the show's " + total +
            " files are missing from " + data.shown() + ": " + listed(missing);
  }
  if (!unreadable.empty()) {
    line += (missing.empty() ? std::to_string(unreadable.size()) + " of the show's " + total +
                                   " files cannot be read in " + data.shown()
                             : "; " + std::to_string(unreadable.size()) + " cannot be read") +
            ": " + listed(unreadable);
  }
  return hint.empty() ? line : line + " (" + hint + ")";
}

void FailedTextures::call(const CallRecord& record) {
  if (record.result == D3D_OK || std::string(record.call) != "CreateTextureFromFile" ||
      record.args.empty()) {
    return;
  }
  const std::string& file = record.args.front().value.word;
  if (std::find(files_.begin(), files_.end(), file) == files_.end()) {
    files_.push_back(file);
  }
}

std::string scene_textures_report(const std::vector<std::string>& failed) {
  std::vector<std::string> named;
  for (const std::string& file : failed) {
    // The show's own images were reported before loading.
    const bool own = std::any_of(std::begin(SHOW_FILES), std::end(SHOW_FILES),
                                 [&](const char* name) { return same_ignoring_case(name, file); });
    if (!own) {
      named.push_back(file);
    }
  }
  if (named.empty()) {
    return "";
  }
  return "plovermix: " + std::to_string(named.size()) +
         (named.size() == 1 ? " texture file that the scenes name is"
                            : " texture files that the scenes name are") +
         " missing or unreadable: " + listed(named);
}
