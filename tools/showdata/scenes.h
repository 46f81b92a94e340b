#pragma once
// The six .3ds scenes of the show and the texture images their materials name.
//
//   ShowScene      one scene: its file name, its contents and its camera track
//   build_scenes   the six scenes, described (tests check them)
//   make_scenes    the scene files and their textures, in a fixed order

#include <string>
#include <vector>

#include "showdata/bmp_writer.h"
#include "showdata/camera_path.h"
#include "showdata/data_file.h"
#include "showdata/text.h"
#include "showdata/writer3ds.h"

namespace showdata {

struct TextureImage {
  std::string file;  // .bmp or .png
  RgbImage image;
};

struct ShowScene {
  std::string file;
  writer3ds::SceneDesc desc;
  CameraTrack camera;
  Vec3 up;  // the up vector the show gives this scene's camera
  std::vector<TextureImage> textures;
};

std::vector<ShowScene> build_scenes(const Font& font);
std::vector<DataFile> make_scenes(const Font& font);

}  // namespace showdata
