// showdata DIR [--force] [--no-stamp] [--verbose]: writes our own stand-in show data into DIR.
//
// A stamp file in DIR records the generator binary and the hash of every file
// it wrote; when both still match, the run ends at once without writing, so
// the play command costs nothing when nothing changed. Files whose bytes are
// already right are never rewritten either. --no-stamp leaves the stamp out (and
// so always writes), for a folder that holds the show's files alone.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "showdata/data_file.h"
#include "showdata/mp3_encoder.h"
#include "showdata/music.h"
#include "showdata/overlays.h"
#include "showdata/scenes.h"
#include "showdata/text.h"

namespace {

using namespace showdata;

constexpr const char* kStampName = ".showdata-stamp";

std::string hex(std::uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

std::uint64_t generator_identity(const char* argv0) {
  auto self = read_file("/proc/self/exe");
  if (!self) self = read_file(argv0);
  return self ? fnv1a64(*self) : 0;
}

std::string stamp_text(std::uint64_t identity, const std::vector<DataFile>& files) {
  std::ostringstream out;
  out << "generator " << hex(identity) << "\n";
  for (const DataFile& f : files)
    out << hex(fnv1a64(f.bytes)) << " " << f.bytes.size() << " " << f.name << "\n";
  return out.str();
}

// True when the stamp names this generator and every file it lists is intact.
bool up_to_date(const std::string& dir, std::uint64_t identity) {
  const auto stamp = read_file(dir + "/" + kStampName);
  if (!stamp) return false;
  std::istringstream in(std::string(stamp->begin(), stamp->end()));
  std::string word;
  std::string id;
  if (!(in >> word >> id) || word != "generator" || id != hex(identity)) return false;
  std::string hash;
  std::size_t size = 0;
  std::string name;
  int count = 0;
  while (in >> hash >> size >> name) {
    const auto bytes = read_file(dir + "/" + name);
    if (!bytes || bytes->size() != size || hex(fnv1a64(*bytes)) != hash) return false;
    ++count;
  }
  return count > 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: showdata DIR [--force] [--no-stamp] [--verbose]\n"
               "Writes the stand-in show data (scenes, textures, overlays, music) into DIR.\n"
               "  --force     regenerate even when DIR is up to date\n"
               "  --no-stamp  write no stamp file (and regenerate)\n"
               "  --verbose   say when each part is ready\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir;
  bool force = false;
  bool verbose = false;
  bool stamped = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--force")
      force = true;
    else if (arg == "--no-stamp")
      stamped = false;
    else if (arg == "--verbose")
      verbose = true;
    else if (arg == "--help" || arg == "-h")
      return usage(), 0;
    else if (!arg.empty() && arg[0] == '-')
      return usage();
    else if (dir.empty())
      dir = arg;
    else
      return usage();
  }
  if (dir.empty()) return usage();

  const auto started = std::chrono::steady_clock::now();
  const std::uint64_t identity = generator_identity(argv[0]);
  if (stamped && !force && up_to_date(dir, identity)) {
    std::printf("showdata: %s is up to date\n", dir.c_str());
    return 0;
  }
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!std::filesystem::is_directory(dir)) {
    std::fprintf(stderr, "showdata: cannot create the folder %s\n", dir.c_str());
    return 1;
  }
  Font font;
  if (!font.load(kDefaultFontPath)) {
    std::fprintf(stderr, "showdata: %s\n", font.error().c_str());
    return 1;
  }

  // The music takes longest; it runs beside the images and scenes.
  const auto since_start = [started] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  };
  auto music = std::async(std::launch::async, [&] {
    std::vector<std::int16_t> pcm = synthesize_music();
    if (verbose) std::printf("showdata: music synthesised at %.2f s\n", since_start());
    std::vector<std::uint8_t> bytes = encode_mp3(pcm, kMusicRate, 160);
    if (verbose) std::printf("showdata: music encoded at %.2f s\n", since_start());
    return bytes;
  });
  std::vector<DataFile> files;
  std::vector<std::uint8_t> mp3;
  try {
    files = make_overlays(font);
    if (verbose) std::printf("showdata: overlays drawn at %.2f s\n", since_start());
    for (DataFile& f : make_scenes(font)) files.push_back(std::move(f));
    if (verbose) std::printf("showdata: scenes built at %.2f s\n", since_start());
    mp3 = music.get();
  } catch (const std::exception& e) {
    // A scene beyond what the .3ds format holds (more than 32767 vertices).
    std::fprintf(stderr, "showdata: %s\n", e.what());
    return 1;
  }
  if (mp3.empty()) {
    std::fprintf(stderr, "showdata: MP3 encoding failed (libmp3lame)\n");
    return 1;
  }
  files.push_back({"vorn.mp3", std::move(mp3)});

  int written = 0;
  for (const DataFile& f : files) {
    const WriteOutcome outcome = write_if_changed(dir + "/" + f.name, f.bytes);
    if (outcome == WriteOutcome::failed) {
      std::fprintf(stderr, "showdata: cannot write %s/%s\n", dir.c_str(), f.name.c_str());
      return 1;
    }
    if (outcome == WriteOutcome::written) ++written;
  }
  if (stamped) {
    const std::string stamp = stamp_text(identity, files);
    if (write_if_changed(dir + "/" + kStampName, {stamp.begin(), stamp.end()}) ==
        WriteOutcome::failed) {
      std::fprintf(stderr, "showdata: cannot write %s/%s\n", dir.c_str(), kStampName);
      return 1;
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("showdata: %zu files in %s (%d written, %zu unchanged) in %.1f s\n", files.size(),
              dir.c_str(), written, files.size() - static_cast<std::size_t>(written), seconds);
  return 0;
}
