#pragma once
// The show's own files, and what a user hears about them: a show started in
// the wrong folder plays four black minutes, so say at once what is missing.
//
//   MUSIC_FILE                          the music, played and captured
//   SHOW_FILES                          the 28 fixed files: music, scenes, images
//   show_files_report(data, hint)       one line naming the missing or unreadable ones, and
//                                       then the hint in brackets (none when empty), or ""
//   holds_show_files(data)              at least one of them is there
//   FailedTextures                      gathers the image files the device could not load
//   scene_textures_report(failed)       one line naming those the scenes name, or ""

#include <string>
#include <vector>

#include "gfx/trace_record.h"
#include "shell/base/file_lookup.h"

constexpr const char* MUSIC_FILE = "vorn.mp3";
extern const char* const SHOW_FILES[28];

std::string show_files_report(const DataFolder& data, const std::string& hint);
bool holds_show_files(const DataFolder& data);

// Attached to the device while the show loads.
class FailedTextures : public CallRecorder {
 public:
  void call(const CallRecord& record) override;
  void misuse(const std::string&) override {}
  const std::vector<std::string>& files() const { return files_; }

 private:
  std::vector<std::string> files_;
};

std::string scene_textures_report(const std::vector<std::string>& failed);
