#include "fuzz_entries.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "camera/camera3d.h"
#include "format3ds/chunk_file.h"
#include "format3ds/object_lookup.h"
#include "gfx/image_file.h"
#include "gfx/trace_device.h"
#include "scene/light3d.h"
#include "scene/mesh3d.h"
#include "scene/scene3d.h"
#include "shell/base/file_lookup.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"

namespace {

namespace fs = std::filesystem;

// The readers take file names, so each input becomes a file in a folder of
// our own (in memory where the system has one). That folder is the show's
// data folder for the inputs: it holds a small texture for scenes whose
// materials name it, and the log, which no input leaves behind to grow from
// one input to the next.
class WorkFolder {
 public:
  WorkFolder() {
    const fs::path base =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    folder_ = base / ("plovermix-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    write(folder_ / "wood.bmp", tiny_bmp());
  }
  // The one folder of this process.
  static const WorkFolder& get() {
    static const WorkFolder folder;
    return folder;
  }
  ~WorkFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  const fs::path& path() const { return folder_; }
  DataFolder data() const { return DataFolder(folder_); }

  static void write(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    write(file, bytes.data(), bytes.size());
  }
  static void write(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr || (size > 0 && std::fwrite(data, 1, size, out) != size)) std::abort();
    std::fclose(out);
  }

 private:
  // 2 x 2, 24 bits: a valid image, so texture creation runs past the decoder.
  static std::vector<std::uint8_t> tiny_bmp() {
    std::vector<std::uint8_t> bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                     0,   0,   0,  2, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
    bmp.resize(70, 0x80);
    for (std::size_t i = 30; i < 54; ++i) bmp[i] = 0;
    return bmp;
  }

  fs::path folder_;
};

// Writes the input as `name` in the work folder, and logs there, until destroyed.
class InputFile {
 public:
  InputFile(const char* name, const std::uint8_t* data, std::size_t size)
      : path_((WorkFolder::get().path() / name).string()),
        log_(WorkFolder::get().path() / "plovermix.log") {
    WorkFolder::write(path_, data, size);
  }
  ~InputFile() {
    std::error_code ignored;
    fs::remove(WorkFolder::get().path() / "plovermix.log", ignored);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const char* name() const { return path_.c_str(); }

 private:
  std::string path_;
  LogFile log_;
};

// The show's two camera names: "Caméra01" (the é as the byte 0xE9) and "Camera01".
constexpr const char* CAMERA_NAMES[] = {"Cam\xE9ra01", "Camera01"};

// Frames a scene asks its camera for, and those no scene should but may.
std::vector<std::int32_t> probe_frames(const Camera3d& camera) {
  const std::int64_t span = camera.frameSpan;
  std::vector<std::int32_t> frames = {INT_MIN, -1, 0, 1, INT_MAX};
  for (std::int64_t frame : {span / 3, span / 2 + 7, span - 1, span}) {
    frames.push_back(static_cast<std::int32_t>(std::clamp<std::int64_t>(frame, INT_MIN, INT_MAX)));
  }
  return frames;
}

}  // namespace

int fuzz_load3ds(const std::uint8_t* data, std::size_t size) {
  ChunkFile file(std::vector<std::uint8_t>(data, data + size));
  if (const auto names = meshNames(file)) {
    for (const std::string& name : *names) {
      for (DWORD format : {FVF_XYZ_DIFFUSE, FVF_XYZ_NORMAL_DIFFUSE_TEX1}) {
        Mesh3d mesh(file, name.c_str(), format, WorkFolder::get().data());
        mesh.setAmbient(1.0f, 1.0f, 1.0f);
      }
    }
  }
  if (const auto names = lightNames(file)) {
    for (const std::string& name : *names) loadLight(file, name.c_str());
  }
  // A name that is nowhere: every scan runs to the end.
  Mesh3d absent(file, "\x01", FVF_XYZ_DIFFUSE_TEX1, WorkFolder::get().data());
  return 0;
}

int fuzz_camera(const std::uint8_t* data, std::size_t size) {
  const InputFile input("scene.3ds", data, size);
  for (const char* name : CAMERA_NAMES) {
    Camera3d camera(input.name(), name);
    for (std::int32_t frame : probe_frames(camera)) camera.place_camera(frame);
  }
  return 0;
}

int fuzz_scene(const std::uint8_t* data, std::size_t size) {
  // The trace device loads textures and checks every call as the real one
  // does, without a GL context; it stays installed for every later input.
  static const bool installed = [] {
    auto made = std::make_unique<TraceDevice>();
    made->set_recording(false);
    made->SetFileFolder(WorkFolder::get().path());
    return install_device(std::move(made)) == D3D_OK;
  }();
  if (!installed) std::abort();
  const InputFile input("scene.3ds", data, size);
  for (DWORD format : {FVF_XYZ_DIFFUSE_TEX1, FVF_XYZ_NORMAL_DIFFUSE_TEX1}) {
    Scene3d scene(WorkFolder::get().data());
    scene.loadMeshes(input.name(), format);
    scene.loadLights(input.name());
    if (scene.getMeshCount() > 0) {
      Mesh3d* first = scene.getMesh(0);
      first->setBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
      scene.moveToEnd(first->getName());
    }
    Camera3d camera(input.name(), CAMERA_NAMES[format == FVF_XYZ_DIFFUSE_TEX1 ? 0 : 1]);
    // The inset's viewport, as the show gives one of its cameras.
    camera.set_viewport(300, 400, 300, 180, 0.0f, 1.0f);
    device->BeginScene();
    camera.clear_viewport(0, 0, 0);
    for (std::int32_t frame : probe_frames(camera)) {
      camera.draw_opaque(scene, frame);
      camera.draw_blended(scene, frame);
    }
    camera.draw_scene(scene, 0);
    device->EndScene();
  }
  return 0;
}

int fuzz_image(const std::uint8_t* data, std::size_t size) {
  const InputFile input("texture.img", data, size);
  Image image;
  std::string error;
  if (load_image_file(input.name(), image, error)) {
    // What the texture upload relies on.
    if (image.width == 0 || image.height == 0 ||
        image.rgba.size() != std::size_t{image.width} * image.height * 4) {
      std::abort();
    }
    apply_color_key(image, 0xFF000000u);
  } else if (error.empty()) {
    std::abort();  // every refusal says why
  }
  return 0;
}
