#include "effects/fog.h"

#include <string>
#include <vector>

#include "effects_fixture.h"
#include "gfx/device_state.h"

namespace {

using FogTest = EffectsTest;
using Lines = std::vector<std::string>;

std::string rs(D3DRENDERSTATETYPE state, DWORD value) {
  return "SetRenderState(" + render_state_name(state) + ", " + render_state_value(state, value) +
         ")";
}

TEST_F(FogTest, ExponentialPresetSetsDensityAndLeavesRangeFogAlone) {
  set_fog(0xFF000000u, D3DFOG_EXP, 0, 0.0001f);
  EXPECT_EQ(trace->calls(), (Lines{rs(D3DRS_FOGENABLE, 1), rs(D3DRS_FOGCOLOR, 0xFF000000u),
                                   rs(D3DRS_FOGTABLEMODE, 0), rs(D3DRS_FOGVERTEXMODE, 1),
                                   rs(D3DRS_FOGDENSITY, 0x38D1B717u)}));
}

TEST_F(FogTest, RangeFogIsOnlyEverSwitchedOn) {
  set_fog(0xFFFFFFFFu, D3DFOG_EXP, 1, 0.0015f);
  EXPECT_EQ(trace->calls(),
            (Lines{rs(D3DRS_FOGENABLE, 1), rs(D3DRS_FOGCOLOR, 0xFFFFFFFFu),
                   rs(D3DRS_FOGTABLEMODE, 0), rs(D3DRS_FOGVERTEXMODE, 1),
                   rs(D3DRS_FOGDENSITY, 0x3AC49BA6u), rs(D3DRS_RANGEFOGENABLE, 1)}));
  trace->clear_trace();
  set_fog(0xFF000000u, D3DFOG_EXP, 0, 0.0025f);
  EXPECT_EQ(trace->state().render_states[D3DRS_RANGEFOGENABLE], TRUE);
  for (const std::string& line : trace->calls()) {
    EXPECT_EQ(line.find("D3DRS_RANGEFOGENABLE"), std::string::npos)
        << "a zero range_fog must not touch range fog";
  }
}

TEST_F(FogTest, LinearUsesFixedStartAndEndInsteadOfDensity) {
  set_fog(0xFF102030u, D3DFOG_LINEAR, 0, 123.0f);
  EXPECT_EQ(trace->calls(),
            (Lines{rs(D3DRS_FOGENABLE, 1), rs(D3DRS_FOGCOLOR, 0xFF102030u),
                   rs(D3DRS_FOGTABLEMODE, 0), rs(D3DRS_FOGVERTEXMODE, 3),
                   rs(D3DRS_FOGSTART, 0x3DCCCCCDu), rs(D3DRS_FOGEND, 0x3F666666u)}));
}

}  // namespace
