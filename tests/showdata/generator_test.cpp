// The generator as the build runs it: `showdata DIR` writes every file the show
// opens, the same bytes on every run, and skips its work when DIR is current.
// The written files are read back here by hand (chunk walk, MP3 frames), the
// music by SDL2_mixer too, and, where it is installed, by assimp as an
// independent .3ds reader.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "showdata/data_file.h"

namespace showdata {
namespace {

namespace fs = std::filesystem;

const std::string kGenerator = std::string(PLOVERMIX_BINARY_DIR) + "/showdata";

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return out;
  std::array<char, 4096> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  pclose(pipe);
  return out;
}

// One generated folder for this test process (ctest runs tests side by side).
fs::path scratch(const std::string& what) {
  return fs::temp_directory_path() /
         ("plovermix-showdata-" + what + "-" + std::to_string(::getpid()));
}

const fs::path& data_dir() {
  static const fs::path dir = scratch("data");
  if (!fs::exists(dir / ".showdata-stamp")) {
    fs::remove_all(dir);
    run(kGenerator + " " + dir.string());
  }
  return dir;
}

std::vector<std::uint8_t> bytes_of(const std::string& name) {
  return read_file((data_dir() / name).string()).value_or(std::vector<std::uint8_t>{});
}

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kGenerator)) GTEST_SKIP() << "build the showdata target first";
  }
};

// What a walk of a .3ds file finds: objects by kind, map files, keyframer nodes.
struct Walk {
  std::set<std::string> meshes, lights, cameras, maps;
  std::vector<std::pair<std::uint16_t, std::string>> nodes;  // id and header name
  std::map<std::string, int> camera_keys, target_keys;
};

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::string cstr(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::string s;
  while (at < b.size() && b[at]) s += static_cast<char>(b[at++]);
  return s;
}

void walk(const std::vector<std::uint8_t>& b, std::size_t begin, std::size_t end, Walk& w,
          std::uint16_t parent, const std::string& object, std::uint16_t node) {
  std::size_t at = begin;
  while (at + 6 <= end) {
    const std::uint16_t id = u16(b, at);
    const std::uint32_t len = u32(b, at + 2);
    ASSERT_GE(len, 6u);
    ASSERT_LE(at + len, end) << "chunk " << std::hex << id << " overruns its parent";
    const std::size_t data = at + 6;
    switch (id) {
      case 0x4D4D:
      case 0x3D3D:
      case 0xAFFF:
      case 0xA200:
      case 0xB000:
        walk(b, data, at + len, w, id, object, node);
        break;
      case 0x4000: {
        const std::string name = cstr(b, data);
        walk(b, data + name.size() + 1, at + len, w, id, name, node);
        break;
      }
      case 0x4100:
        w.meshes.insert(object);
        break;
      case 0x4600:
        w.lights.insert(object);
        break;
      case 0x4700:
        w.cameras.insert(object);
        break;
      case 0xA300:
        w.maps.insert(cstr(b, data));
        break;
      case 0xB003:
      case 0xB004:
      case 0xB002:
      case 0xB005: {
        // Node: header name, then its position track's key count.
        std::string name;
        int keys = -1;
        for (std::size_t sub = data; sub + 6 <= at + len; sub += u32(b, sub + 2)) {
          if (u16(b, sub) == 0xB010) name = cstr(b, sub + 6);
          if (u16(b, sub) == 0xB020) keys = u16(b, sub + 6 + 10);
          if (u32(b, sub + 2) < 6) break;
        }
        w.nodes.emplace_back(id, name);
        if (id == 0xB003) w.camera_keys[name] = keys;
        if (id == 0xB004) w.target_keys[name] = keys;
        break;
      }
      default:
        break;
    }
    (void)parent;
    at += len;
  }
}

Walk walk_file(const std::string& name) {
  const auto b = bytes_of(name);
  Walk w;
  walk(b, 0, b.size(), w, 0, "", 0);
  return w;
}

void every_file_the_show_opens() {
  const std::vector<std::string> overlays{
      "logo.bmp",  "since.bmp",    "Presents.bmp",  "Talvores.bmp", "gilb.bmp",  "tesk.bmp",
      "tesk2.bmp", "pamo.bmp",     "vostl.bmp",     "orvex.bmp",    "dulam.bmp", "clouds.bmp",
      "trai.bmp",  "caca.bmp",     "caca2.bmp",     "sp1.bmp",      "vorn.bmp",  "zevuvero.bmp",
      "title.bmp", "particle.bmp", "particule2.bmp"};
  std::vector<std::string> images = overlays;
  for (const char* scene :
       {"echec.3ds", "tunnel2.3ds", "node.3ds", "indus.3ds", "credits.3ds", "greets.3ds"}) {
    ASSERT_TRUE(fs::exists(data_dir() / scene)) << scene;
    for (const std::string& map : walk_file(scene).maps) images.push_back(map);
  }
  bool other_format = false;
  for (const std::string& name : images) {
    const auto b = bytes_of(name);
    int w = 0, h = 0, n = 0;
    ASSERT_TRUE(stbi_info_from_memory(b.data(), static_cast<int>(b.size()), &w, &h, &n)) << name;
    EXPECT_GT(w, 0);
    if (name.substr(name.size() - 4) != ".bmp")
      other_format = true;
    else
      EXPECT_EQ(b[28], 24) << name << " is not 24-bit";
  }
  EXPECT_TRUE(other_format) << "some texture should exercise a format besides BMP";
  EXPECT_TRUE(fs::exists(data_dir() / "vorn.mp3"));
}

void names_the_show_looks_up() {
  const Walk echec = walk_file("echec.3ds");
  for (int i = 1; i <= 7; ++i) EXPECT_TRUE(echec.meshes.count("Box0" + std::to_string(i)));
  EXPECT_FALSE(echec.lights.empty());
  EXPECT_TRUE(walk_file("tunnel2.3ds").meshes.count("tunnel"));
  const Walk indus = walk_file("indus.3ds");
  EXPECT_TRUE(indus.meshes.count("Cylinder03"));
  EXPECT_TRUE(indus.lights.count("Omni01"));
  const std::map<std::string, std::string> cameras{
      {"echec.3ds", "Cam\xE9ra01"}, {"tunnel2.3ds", "Cam\xE9ra01"}, {"node.3ds", "Camera01"},
      {"indus.3ds", "Cam\xE9ra01"}, {"credits.3ds", "Cam\xE9ra01"}, {"greets.3ds", "Cam\xE9ra01"}};
  for (const auto& [file, camera] : cameras) {
    const Walk w = walk_file(file);
    ASSERT_TRUE(w.camera_keys.count(camera)) << file;
    ASSERT_TRUE(w.target_keys.count(camera)) << file << ": target node named after the camera";
    EXPECT_GE(w.camera_keys.at(camera), 4) << file;
    EXPECT_EQ(w.camera_keys.at(camera), w.target_keys.at(camera)) << file;
  }
}

// Samples the decoder gives back: frames after the LAME "Info" frame, less the
// encoder delay and padding that the tag records.
void music_is_one_pass_of_the_clock() {
  const auto b = bytes_of("vorn.mp3");
  ASSERT_GT(b.size(), 1000u);
  int frames = 0;
  int delay = -1, padding = -1;
  std::size_t at = 0;
  while (at + 4 <= b.size()) {
    ASSERT_EQ(b[at], 0xFF) << "lost frame sync at " << at;
    ASSERT_EQ(b[at + 1] & 0xFE, 0xFA) << "not MPEG-1 layer III";
    const int bitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    const int kbps = bitrates[b[at + 2] >> 4];
    ASSERT_EQ((b[at + 2] >> 2) & 3, 0) << "not 44100 Hz";
    EXPECT_NE(b[at + 3] >> 6, 3) << "mono";
    const std::size_t size = 144 * kbps * 1000 / 44100 + ((b[at + 2] >> 1) & 1);
    if (frames == 0) {
      const std::string first(b.begin() + static_cast<long>(at),
                              b.begin() + static_cast<long>(at + size));
      const auto lame = first.find("LAME");
      ASSERT_NE(first.find("Info"), std::string::npos);
      ASSERT_NE(lame, std::string::npos);
      const std::size_t t = at + lame;
      delay = b[t + 21] << 4 | b[t + 22] >> 4;
      padding = (b[t + 22] & 0xF) << 8 | b[t + 23];
    }
    ++frames;
    at += size;
  }
  EXPECT_EQ(at, b.size());
  const long samples = static_cast<long>(frames - 1) * 1152 - delay - padding;
  EXPECT_EQ(samples, 74180L * 441 / 10);

  // The show's own decoder must agree, within one MP3 frame.
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048), 0) << Mix_GetError();
  Mix_Music* music = Mix_LoadMUS((data_dir() / "vorn.mp3").c_str());
  ASSERT_NE(music, nullptr) << Mix_GetError();
  EXPECT_NEAR(Mix_MusicDuration(music) * 1000.0, 74180.0, 1152 * 1000.0 / 44100);
  Mix_FreeMusic(music);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

TEST_F(Generator, SameBytesEveryRunAndNoWorkWhenCurrent) {
  const fs::path other = scratch("again");
  fs::remove_all(other);
  run(kGenerator + " " + other.string());
  std::size_t compared = 0;
  for (const auto& entry : fs::directory_iterator(data_dir())) {
    const std::string name = entry.path().filename().string();
    const auto mine = read_file((other / name).string());
    ASSERT_TRUE(mine) << name;
    EXPECT_TRUE(*mine == bytes_of(name)) << name << " differs between runs";
    ++compared;
  }
  EXPECT_GE(compared, 49u);
  // A second run over a current folder writes nothing.
  const auto before = fs::last_write_time(other / "vorn.mp3");
  EXPECT_NE(run(kGenerator + " " + other.string()).find("up to date"), std::string::npos);
  EXPECT_EQ(fs::last_write_time(other / "vorn.mp3"), before);
  // A damaged file is noticed and rewritten.
  fs::resize_file(other / "node.3ds", 100);
  run(kGenerator + " " + other.string());
  EXPECT_TRUE(read_file((other / "node.3ds").string()) == bytes_of("node.3ds"));
  fs::remove_all(other);
  fs::remove_all(data_dir());
}

// What `make install` ships: with --no-stamp, the show's files alone, the same bytes.
TEST_F(Generator, NoStampWritesTheFilesAlone) {
  const fs::path bare = scratch("bare");
  fs::remove_all(bare);
  run(kGenerator + " " + bare.string() + " --no-stamp");
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(bare)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(read_file(entry.path().string()) == bytes_of(name)) << name;
    written.insert(name);
  }
  std::set<std::string> stamped;
  for (const auto& entry : fs::directory_iterator(data_dir()))
    stamped.insert(entry.path().filename().string());
  stamped.erase(".showdata-stamp");
  EXPECT_EQ(written, stamped);
  fs::remove_all(bare);
}

TEST_F(Generator, BadArgumentsGiveUsage) {
  EXPECT_NE(run(kGenerator).find("usage: showdata DIR"), std::string::npos);
  EXPECT_NE(run(kGenerator + " a b").find("usage"), std::string::npos);
}

// assimp, where installed, must see the same objects as the show.
void another_reader_agrees() {
  if (run("command -v assimp").empty()) {
    std::printf("assimp (assimp-utils) is not installed: no second reader\n");
    return;
  }
  for (const char* scene :
       {"echec.3ds", "tunnel2.3ds", "node.3ds", "indus.3ds", "credits.3ds", "greets.3ds"}) {
    const Walk w = walk_file(scene);
    const std::string info = run("assimp info " + (data_dir() / scene).string());
    SCOPED_TRACE(scene + ("\n" + info));
    EXPECT_EQ(info.find("ERROR"), std::string::npos);
    EXPECT_NE(info.find("Meshes:             " + std::to_string(w.meshes.size()) + "\n"),
              std::string::npos);
    EXPECT_NE(info.find("Cameras:            1\n"), std::string::npos);
    EXPECT_NE(info.find("Lights:             " + std::to_string(w.lights.size()) + "\n"),
              std::string::npos);
  }
}

TEST_F(Generator, WritesWhatTheShowOpens) {
  {
    SCOPED_TRACE("files");
    every_file_the_show_opens();
  }
  {
    SCOPED_TRACE("names");
    names_the_show_looks_up();
  }
  {
    SCOPED_TRACE("music");
    music_is_one_pass_of_the_clock();
  }
  {
    SCOPED_TRACE("assimp");
    another_reader_agrees();
  }
  fs::remove_all(data_dir());
}

}  // namespace
}  // namespace showdata
