#pragma once
// Per-vertex fog presets of the 3D scenes.
//
//   set_fog(colour, vertex_mode, range_fog, density)
//
// Switches fog on and sets its colour and formula. Nothing switches fog off
// again, and a zero range_fog leaves range fog as an earlier call set it.

#include <cstdint>

#include "gfx/d3d_types.h"

void set_fog(D3DCOLOR colour, DWORD vertex_mode, std::int32_t range_fog, float density);
