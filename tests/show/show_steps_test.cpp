// The show driven one step at a time, as a browser's animation frames drive
// it, against run_show's loop: the same calls in the same order, whatever
// the steps that only waited.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "show/run_show.h"
#include "show/scenes3d_fixture.h"
#include "show/show_fixture.h"

namespace {

class ShowSteps : public ShowFixture {
 protected:
  void SetUp() override {
    ShowFixture::SetUp();
    write_bmp(dir / "particle.bmp", 4, 4, 0xFFFFFF);
    write_bmp(dir / "particule2.bmp", 4, 4, 0xFF0000);
    scenes3d::write_scene_set(dir);
  }

  // One run with the clock read as the 2002 pacing reads it, once per frame:
  // the titles, then the first 3D window (the chess hall from 12600 ms), then
  // past the end. Returns the device's calls.
  std::vector<std::string> run(bool by_steps, int not_ready_answers) {
    show_rand_reset();
    std::string error;
    EXPECT_TRUE(platform.make_device({}, error));  // buffers numbered from 1 again
    trace = platform.trace;
    music = ScriptedMusic{};
    music.log = &music_log;
    music.trace = trace;
    music.positions = {0, 6000, 12599, 12600, 20000, 30999, 240001};
    music.not_ready_answers = not_ready_answers;
    ShowViewing viewing;
    viewing.original_pacing = true;
    if (by_steps) {
      ShowRun show(platform, data(), viewing);
      while (show.step()) {
        ++steps;
      }
      EXPECT_FALSE(show.failed());
    } else {
      EXPECT_FALSE(run_show(platform, data(), viewing));
    }
    return trace->calls();
  }

  int steps = 0;
};

TEST_F(ShowSteps, AMusicStillOpeningDelaysTheStartAndChangesNoCall) {
  const std::vector<std::string> looped = run(false, 0);
  const std::vector<std::string> stepped = run(true, 2);

  EXPECT_EQ(music.not_ready_answers, 0) << "asked until ready";
  // Ten loading steps, two that waited, the one that started the music, six frames.
  EXPECT_EQ(steps, 10 + 2 + 1 + 6);
  EXPECT_EQ(music.plays, 1);
  EXPECT_EQ(music.closes, 1);
  ASSERT_EQ(stepped.size(), looped.size());
  for (std::size_t i = 0; i < looped.size(); ++i) {
    ASSERT_EQ(stepped[i], looped[i]) << "call " << i;
  }
  // The chess hall was drawn: its opaque pieces are in the trace.
  bool drew_echec = false;
  for (const TraceDraw& draw : trace->draws()) {
    drew_echec |= !draw.sprite && draw.primitive_count == scenes3d::ECHEC_OPAQUE_TRIANGLES;
  }
  EXPECT_TRUE(drew_echec);
  // The music started after the five loading screens, before the first frame presented.
  const auto presents = [&](std::size_t end) {
    return std::count(stepped.begin(), stepped.begin() + static_cast<std::ptrdiff_t>(end),
                      std::string("Present()"));
  };
  EXPECT_EQ(presents(music.calls_before_play), 5);
  EXPECT_EQ(presents(stepped.size()), 5 + 6);
}

}  // namespace
