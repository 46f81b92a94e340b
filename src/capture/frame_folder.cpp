#include "capture/frame_folder.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "capture/frame_capture.h"

namespace {

constexpr int CHANNELS = 2;
constexpr int BYTES_PER_FRAME = CHANNELS * 2;
constexpr long WAV_HEADER_BYTES = 44;

void put(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

// The canonical 44-byte header of 16-bit stereo PCM, for `frames` sample frames.
std::array<std::uint8_t, WAV_HEADER_BYTES> wav_header(long frames) {
  const auto data_bytes = static_cast<std::uint32_t>(frames * BYTES_PER_FRAME);
  std::array<std::uint8_t, WAV_HEADER_BYTES> h{};
  std::memcpy(h.data(), "RIFF", 4);
  put(&h[4], 36 + data_bytes, 4);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  put(&h[16], 16, 4);  // the fmt chunk's size
  put(&h[20], 1, 2);   // PCM
  put(&h[22], CHANNELS, 2);
  put(&h[24], FrameFolder::SOUND_RATE, 4);
  put(&h[28], FrameFolder::SOUND_RATE * BYTES_PER_FRAME, 4);
  put(&h[32], BYTES_PER_FRAME, 2);
  put(&h[34], 16, 2);
  std::memcpy(&h[36], "data", 4);
  put(&h[40], data_bytes, 4);
  return h;
}

std::string frame_name(long frame) {
  char name[32];
  std::snprintf(name, sizeof name, "%06ld.png", frame);
  return name;
}

}  // namespace

std::unique_ptr<FrameFolder> FrameFolder::open(const std::string& dir, bool audio,
                                               std::string& error) {
  std::error_code made;
  std::filesystem::create_directories(dir, made);
  if (made) {
    error = "cannot make the folder " + dir + ": " + made.message();
    return nullptr;
  }
  if (access(dir.c_str(), W_OK) != 0) {
    error = "cannot write into the folder " + dir + ": " + std::strerror(errno);
    return nullptr;
  }
  std::unique_ptr<FrameFolder> folder(new FrameFolder(dir));
  if (audio) {
    const std::string wav = (folder->dir_ / "music.wav").string();
    folder->wav_ = std::fopen(wav.c_str(), "wb");
    const std::array<std::uint8_t, WAV_HEADER_BYTES> header = wav_header(0);
    if (folder->wav_ == nullptr ||
        std::fwrite(header.data(), 1, header.size(), folder->wav_) != header.size()) {
      error = "cannot write " + wav + ": " + std::strerror(errno);
      return nullptr;
    }
  }
  return folder;
}

FrameFolder::~FrameFolder() {
  std::string ignored;
  finish(ignored);
}

bool FrameFolder::fail(std::string text) {
  if (!lost_) {
    error_ = std::move(text);
  }
  lost_ = true;
  return false;
}

bool FrameFolder::write_frame(const std::uint8_t* rgba, int width, int height) {
  if (finished_ || lost_) {
    return false;
  }
  const std::string path = (dir_ / frame_name(frames_)).string();
  if (rgba == nullptr || width <= 0 || height <= 0 || !write_png(path, rgba, width, height)) {
    return fail("cannot write " + path);
  }
  ++frames_;
  return true;
}

bool FrameFolder::write_audio(const float* interleaved_stereo, long frames) {
  if (finished_ || lost_) {
    return false;
  }
  if (wav_ == nullptr || frames < 0 || (frames > 0 && interleaved_stereo == nullptr)) {
    return fail("no sound can go into " + dir_.string());
  }
  std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * CHANNELS);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = to_pcm16(interleaved_stereo[i]);
  }
  // WAV's samples are little-endian, as this machine's are.
  if (std::fwrite(samples.data(), sizeof samples[0], samples.size(), wav_) != samples.size()) {
    return fail("cannot write " + (dir_ / "music.wav").string() + ": " + std::strerror(errno));
  }
  sound_frames_ += frames;
  return true;
}

bool FrameFolder::finish(std::string& error) {
  if (!finished_) {
    finished_ = true;
    if (wav_ != nullptr) {
      // The sizes the header left at 0, now that they are known.
      const std::array<std::uint8_t, WAV_HEADER_BYTES> header = wav_header(sound_frames_);
      const bool sized = std::fseek(wav_, 0, SEEK_SET) == 0 &&
                         std::fwrite(header.data(), 1, header.size(), wav_) == header.size();
      if ((std::fclose(wav_) != 0 || !sized)) {
        fail("cannot finish " + (dir_ / "music.wav").string());
      }
      wav_ = nullptr;
    }
    if (frames_ == 0) {
      fail("no frame was written to " + dir_.string());
    }
  }
  if (lost_) {
    error = error_;
  }
  return !lost_;
}
