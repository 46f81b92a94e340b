#pragma once
// The texture images of the scenes, drawn procedurally. Lighting in the show
// is all or nothing (white ambient light of range 1000), so the textures carry
// their own shading: round objects get a lit side along u, which runs once
// round them.
//
//   shaded_marble, checker_board, wood, glass_glow, floor_tiles, column_stone
//   tunnel_wall, rib_metal, basin
//   node_sphere, link_glow
//   rust_metal, corrugated, tank_paint, plant_floor, reactor_glow
//   text_atlas, glow_grid, star

#include <string>
#include <vector>

#include "showdata/bmp_writer.h"
#include "showdata/text.h"

namespace showdata {

RgbImage shaded_marble(Rgb base, Rgb vein, unsigned seed);
RgbImage checker_board();
RgbImage wood();
RgbImage glass_glow(Rgb tint);
RgbImage floor_tiles();
RgbImage column_stone();

RgbImage tunnel_wall();
RgbImage rib_metal();
RgbImage basin();

RgbImage node_sphere();
RgbImage link_glow();

RgbImage rust_metal();
RgbImage corrugated();
RgbImage tank_paint();
RgbImage plant_floor();
RgbImage reactor_glow();

// Lines of text in cells of `cell_w` x `cell_h`, `columns` across, on black.
RgbImage text_atlas(const Font& font, const std::vector<std::string>& lines, int columns,
                    int cell_w, int cell_h, Rgb top, Rgb bottom, Rgb glow);
RgbImage glow_grid(Rgb line);
RgbImage star();

}  // namespace showdata
