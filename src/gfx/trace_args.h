#pragma once
// The arguments of the device's calls as trace values: one helper per record
// the calls take (light, material, viewport, matrix, ...), so that each call
// describes itself in a line.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "gfx/device.h"

namespace trace_args {

using Value = TraceValue;
using Args = std::vector<TraceArg>;

TraceArg arg(const char* name, TraceValue value);
TraceArg labelled(const char* name, TraceValue value);
Value count(std::uint64_t value);
Value reals(std::initializer_list<double> values);
Value colour(const D3DCOLORVALUE& c);
Value vector(const D3DVECTOR& v);
Value texture_value(const Texture* texture);
Value buffer_value(const VertexBuffer* buffer);
Value clear_flags(DWORD flags);
Value matrix_value(const D3DMATRIX* matrix);
Value viewport_value(const D3DVIEWPORT8* v);
Value light_value(const D3DLIGHT8* light);
Value material_value(const D3DMATERIAL8* material);

}  // namespace trace_args
