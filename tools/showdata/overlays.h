#pragma once
// The show's 2D images: every overlay BMP and the two particle sprites, drawn
// on black because black is transparent in overlays and adds nothing in
// particles.
//
//   make_overlays    all of them, in a fixed order

#include <vector>

#include "showdata/data_file.h"
#include "showdata/text.h"

namespace showdata {

std::vector<DataFile> make_overlays(const Font& font);

}  // namespace showdata
