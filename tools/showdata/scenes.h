#pragma once
// The six .3ds scenes of the show and the texture images their materials name.
//
//   make_scenes   the scene files and their textures, in a fixed order

#include <vector>

#include "showdata/data_file.h"
#include "showdata/text.h"

namespace showdata {

std::vector<DataFile> make_scenes(const Font& font);

}  // namespace showdata
