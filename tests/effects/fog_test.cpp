#include "effects/fog.h"

#include <string>
#include <vector>

#include "effects_fixture.h"

namespace {

using FogTest = EffectsTest;
using Lines = std::vector<std::string>;

std::string rs(DWORD state, DWORD value) {
  return "RS " + std::to_string(state) + " " + std::to_string(value);
}

TEST_F(FogTest, ExponentialPresetSetsDensityAndLeavesRangeFogAlone) {
  set_fog(0xFF000000u, D3DFOG_EXP, 0, 0.0001f);
  EXPECT_EQ(dev->calls,
            (Lines{rs(28, 1), rs(34, 0xFF000000u), rs(35, 0), rs(140, 1), rs(38, 0x38D1B717u)}));
}

TEST_F(FogTest, RangeFogIsOnlyEverSwitchedOn) {
  set_fog(0xFFFFFFFFu, D3DFOG_EXP, 1, 0.0015f);
  EXPECT_EQ(dev->calls, (Lines{rs(28, 1), rs(34, 0xFFFFFFFFu), rs(35, 0), rs(140, 1),
                               rs(38, 0x3AC49BA6u), rs(48, 1)}));
  dev->calls.clear();
  set_fog(0xFF000000u, D3DFOG_EXP, 0, 0.0025f);
  for (const std::string& line : dev->calls) {
    EXPECT_NE(line.rfind("RS 48 ", 0), 0u) << "a zero range_fog must not touch range fog";
  }
}

TEST_F(FogTest, LinearUsesFixedStartAndEndInsteadOfDensity) {
  set_fog(0xFF102030u, D3DFOG_LINEAR, 0, 123.0f);
  EXPECT_EQ(dev->calls, (Lines{rs(28, 1), rs(34, 0xFF102030u), rs(35, 0), rs(140, 3),
                               rs(36, 0x3DCCCCCDu), rs(37, 0x3F666666u)}));
}

}  // namespace
