#include <gtest/gtest.h>

#include <regex>

#include "show/run_show.h"
#include "show/schedule.h"
#include "show/show.h"
#include "show/show_fixture.h"

namespace {

// The shared generator's sequence, computed here on its own.
class ExpectedDraws {
 public:
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_ = 1;
};

TEST(TimeWindows, EachBoundIsOpenOrClosedAsNamed) {
  using W = TimeWindow;
  struct Case {
    TimeWindow window;
    int t;
    bool holds;
  };
  const Case cases[] = {
      {W::before(4000), 3999, true},
      {W::before(4000), 4000, false},
      {W::after(240000), 240000, false},
      {W::after(240000), 240001, true},
      {W::between(12600, 31000), 12600, false},
      {W::between(12600, 31000), 12601, true},
      {W::between(12600, 31000), 31000, false},
      {W::from_until(31000, 61500), 31000, true},
      {W::from_until(31000, 61500), 61500, false},
      {W::from_to_inclusive(3000, 12600), 2999, false},
      {W::from_to_inclusive(3000, 12600), 3000, true},
      {W::from_to_inclusive(3000, 12600), 12600, true},
      {W::from_to_inclusive(3000, 12600), 12601, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.window.holds(c.t), c.holds)
        << "t=" << c.t << " low=" << c.window.low << " high=" << c.window.high;
  }
}

class FrameLoop : public LoadedShowFixture {
 protected:
  FrameEnd frame_at(int t) {
    music.at(t);
    return show.frame_body();
  }
  // Clears of the whole target to black, as the title windows make them.
  int title_clears() const { return count_calls(CLEAR_BLACK); }
};

TEST_F(FrameLoop, TitleAFadesWithWrapAndRises) {
  for (int i = 0; i < 154; ++i) {
    frame_at(0);
  }
  EXPECT_EQ(show.overlays.talvores->color(), 0x00FFFFFFu);
  frame_at(0);
  EXPECT_EQ(show.overlays.talvores->color(), 0x01FFFFFFu);
  trace->clear_trace();
  frame_at(2000);
  const std::vector<SpriteDraw> draws = sprite_draws_of(*trace, "Talvores.bmp");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].position_y, 398.0f);  // moved up by t / 1000
}

TEST_F(FrameLoop, SlidePairFadesInAndTakesTurns) {
  frame_at(100);
  ASSERT_EQ(sprite_draws_of(*trace, "pamo.bmp").size(), 1u);
  EXPECT_EQ(sprite_draws_of(*trace, "pamo.bmp")[0].color, 0x08FFFFFFu);
  EXPECT_TRUE(sprite_draws_of(*trace, "vostl.bmp").empty());
  trace->clear_trace();
  // 30 steps of 10.2 take pamo below 600; in that frame vostl makes its first step.
  for (int i = 1; i < 30; ++i) {
    frame_at(100);
  }
  EXPECT_EQ(show.loop.slide_turn, 1);
  EXPECT_EQ(show.overlays.pamo->x(), 900.0f);
  EXPECT_EQ(show.overlays.pamo->color(), 0x00FFFFFFu);
  ASSERT_EQ(sprite_draws_of(*trace, "vostl.bmp").size(), 1u);
  EXPECT_FLOAT_EQ(sprite_draws_of(*trace, "vostl.bmp")[0].position_x, 889.8f);
}

TEST_F(FrameLoop, TitlesAAndBOverlapBetween3000And3999) {
  frame_at(3500);
  EXPECT_EQ(sprite_draws_of(*trace, "Talvores.bmp").size(), 1u);
  EXPECT_EQ(sprite_draws_of(*trace, "Presents.bmp").size(), 1u);
  EXPECT_EQ(title_clears(), 2);
  EXPECT_EQ(show.overlays.talvores->color(), 0x67FFFFFFu);
  // B's clear comes after A's draw, so A's title is erased but still moved.
  EXPECT_LT(find_call("DrawSprite(\"Talvores.bmp\""), find_call(CLEAR_BLACK, 1));
}

TEST_F(FrameLoop, WindowEdges) {
  frame_at(12600);
  EXPECT_EQ(sprite_draws_of(*trace, "Presents.bmp").size(), 1u);
  EXPECT_TRUE(sprite_draws_of(*trace, "clouds.bmp").empty());
  EXPECT_EQ(show.show3d.frames.echec, 0.0f);
  trace->clear_trace();

  frame_at(12601);
  EXPECT_TRUE(sprite_draws_of(*trace, "Presents.bmp").empty());
  EXPECT_EQ(sprite_draws_of(*trace, "clouds.bmp").size(), 1u);
  EXPECT_EQ(show.show3d.frames.echec, 1.0f);
  EXPECT_EQ(show.show3d.frames.node, 4.0f);  // the inset ran at 12600 too

  frame_at(31000);
  EXPECT_EQ(show.show3d.frames.echec, 1.0f);
  EXPECT_EQ(show.show3d.frames.tunnel, 1.5f);
  frame_at(31000);
  EXPECT_EQ(show.show3d.frames.tunnel, 3.0f);

  trace->clear_trace();
  frame_at(100000);
  EXPECT_EQ(sprite_draws_of(*trace, "vorn.bmp").size(), 1u);
  EXPECT_EQ(show.show3d.frames.greets, 1.0f);

  EXPECT_EQ(frame_at(240000), FrameEnd::present);
  EXPECT_EQ(show.show3d.frames.credits, 20.0f);
  EXPECT_EQ(frame_at(240001), FrameEnd::show_over);
}

TEST_F(FrameLoop, CloudsScrollOnePixelPer100Ms) {
  frame_at(12799);
  frame_at(20000);
  const std::vector<SpriteDraw> draws = sprite_draws_of(*trace, "clouds.bmp");
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].position_x, -1.0f);
  EXPECT_EQ(draws[1].position_x, -74.0f);
  EXPECT_EQ(draws[1].color, 0x44FFFFFFu);
}

// Splashes, tesk2 splashes and flickers take exactly the draws the schedule says.
TEST_F(FrameLoop, RandomDrawsOfOneFrame) {
  ExpectedDraws expected;
  expected.next();  // the two draws of loading
  expected.next();
  const int splashes = expected.next() % 40;
  std::vector<float> tesk_x;
  for (int i = 0; i < splashes; ++i) {
    expected.next();
    tesk_x.push_back(static_cast<float>(expected.next() % 800));
    expected.next();
  }
  const int splashes2 = expected.next() % 10;
  for (int i = 0; i < 2 * splashes2; ++i) {
    expected.next();
  }
  expected.next();  // the two flickers
  expected.next();

  frame_at(5000);
  const std::vector<SpriteDraw> tesk = sprite_draws_of(*trace, "tesk.bmp");
  ASSERT_EQ(tesk.size(), static_cast<std::size_t>(splashes));
  for (std::size_t i = 0; i < tesk.size(); ++i) {
    EXPECT_EQ(tesk[i].position_x, tesk_x[i]);
  }
  EXPECT_EQ(sprite_draws_of(*trace, "tesk2.bmp").size(), static_cast<std::size_t>(splashes2));
  EXPECT_EQ(sprite_draws_of(*trace, "trai.bmp").size(), 2u);
  EXPECT_EQ(sprite_draws_of(*trace, "caca.bmp").size(), 1u);
  EXPECT_EQ(sprite_draws_of(*trace, "sp1.bmp").size(), 1u);
  EXPECT_EQ(show_rand(), expected.next());
}

TEST_F(FrameLoop, DriftersComeBackWithNewRowAndScale) {
  // caca moves 10 per frame from -200: past 950 on its 116th frame.
  for (int i = 0; i < 115; ++i) {
    frame_at(12000);
  }
  EXPECT_EQ(show.loop.caca_x, 950);
  EXPECT_EQ(show.overlays.caca->scale_x(), 1.0f);
  frame_at(12000);
  EXPECT_EQ(show.loop.caca_x, -200);
  EXPECT_GE(show.loop.caca_y, 0);
  EXPECT_LT(show.loop.caca_y, 600);
  const float sx = show.overlays.caca->scale_x();
  EXPECT_EQ(sx, static_cast<float>(static_cast<int>(sx)));
  EXPECT_LE(sx, 4.0f);
  frame_at(12600);
  EXPECT_EQ(show.loop.caca_x, -200);  // drifters stop at 12600
}

TEST_F(FrameLoop, AFlickerWhoseDrawIsSixNeitherMovesNorShows) {
  ExpectedDraws expected;
  show_rand_reset();
  while (expected.next() % 12 != 6) {
    show_rand();
  }
  sprite2d& trai = *show.overlays.trai1;
  trai.set_position(0, 70);
  show_steps::flicker(trai, 2);
  EXPECT_EQ(trai.y(), 70.0f);
  const SpriteDraw d = sprite_draws_of(*trace, "trai.bmp").back();
  EXPECT_EQ(d.scale_x, 0.0f);
  EXPECT_EQ(d.scale_y, 0.0f);

  while (expected.next() % 12 != 11) {
    show_rand();
  }
  show_steps::flicker(trai, 3);
  EXPECT_EQ(trai.y(), 67.0f);
  EXPECT_EQ(sprite_draws_of(*trace, "trai.bmp").back().scale_x, 1.0f);
}

class RunShow : public ShowFixture {
 protected:
  int presents() const { return count_calls("Present()"); }
};

TEST_F(RunShow, EndsUnpresentedPast240000AndTearsDown) {
  music.positions = {239999, 240000, 240001, 250000};
  // One scripted reading per frame body: the 2002 pacing reads the clock at each.
  ShowViewing viewing;
  viewing.original_pacing = true;
  EXPECT_FALSE(run_show(platform, data(), viewing));
  EXPECT_EQ(presents(), 5 + 2);
  EXPECT_EQ(music.closes, 1);
  EXPECT_EQ(trace->live_textures(), 0u);
}

TEST_F(RunShow, EscapeEndsTheShowWithinOneFrame) {
  // Ten pumps during loading, then one per frame: Escape is down at the third frame.
  platform.escape_after = 10 + 2;
  run_show(platform, data(), {});
  EXPECT_EQ(presents(), 5 + 2);
  EXPECT_EQ(music.plays, 1);
  EXPECT_EQ(music.closes, 1);
}

TEST_F(RunShow, FixedStepAdvancesTheVirtualClockPerPresentedFrame) {
  platform.escape_after = 10 + 5;
  ShowViewing viewing;
  viewing.fixed_step_ms = 250.0;
  run_show(platform, data(), viewing);
  EXPECT_TRUE(music.opened.empty()) << "the virtual clock is the music";
  EXPECT_EQ(presents(), 5 + 5);
  // Talvores rises by t/1000 per frame: 0 + 0.25 + 0.5 + 0.75 + 1.0.
  EXPECT_FLOAT_EQ(sprite_draws_of(*trace, "Talvores.bmp").back().position_y, 397.5f);
}

TEST_F(RunShow, TheDefaultFixedStepLandsOnTheLivePlayersGrid) {
  // The live player's body k runs at k * 1000 / 60 ms, truncated; so must the
  // fixed step's k-th frame, or the two draw different frames.
  struct Times : ShowCapture {
    bool frame_presented(int t) override {
      seen.push_back(t);
      return seen.size() < 100;
    }
    std::vector<int> seen;
  } times;
  ShowViewing viewing;
  viewing.fixed_step_ms = DEFAULT_FIXED_STEP_MS;
  viewing.capture = &times;
  run_show(platform, data(), viewing);
  ASSERT_EQ(times.seen.size(), 100u);
  for (int k = 0; k < 100; ++k) {
    EXPECT_EQ(times.seen[static_cast<std::size_t>(k)], k * 1000 / 60) << "frame " << k;
  }
}

// --loop: the show's end starts the next pass until the count is reached.
class LoopedRun : public RunShow {
 protected:
  // The calls of a fixed-step run from its first frame's clear, on a fresh device.
  std::vector<std::string> frames_of(int start_ms, int passes) {
    show_rand_reset();
    std::string error;
    EXPECT_TRUE(platform.make_device({}, error));
    trace = platform.trace;
    ShowViewing viewing;
    viewing.fixed_step_ms = 60000.0;
    viewing.start_ms = start_ms;
    viewing.passes = passes;
    EXPECT_FALSE(run_show(platform, data(), viewing));
    std::vector<std::string> calls = trace->calls();
    std::size_t loading = 0;
    for (int present = 0; present < 5; ++present) {
      loading = find_call("Present()", loading) + 1;
    }
    const std::size_t first_clear = find_call("Clear(", loading);
    calls.erase(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(first_clear));
    // Buffers are numbered by creation over the whole run; the particles make one per draw.
    const std::regex buffer_number("vb#[0-9]+");
    for (std::string& call : calls) {
      call = std::regex_replace(call, buffer_number, "vb#");
    }
    return calls;
  }
};

TEST_F(LoopedRun, EachPassAfterTheFirstIsARunFromTheStart) {
  // Bodies at 0, 60 s, ..., 240 s are drawn; the one at 300 s is past the end.
  const std::vector<std::string> straight = frames_of(0, 1);
  const std::vector<std::string> looped = frames_of(180000, 3);
  EXPECT_EQ(count_calls("Present()"), 5 + 2 + 5 + 5) << "180 s and 240 s, then two whole passes";
  ASSERT_GT(looped.size(), straight.size());
  const std::vector<std::string> last_pass(
      looped.end() - static_cast<std::ptrdiff_t>(straight.size()), looped.end());
  EXPECT_EQ(last_pass, straight) << "the random draws, overlays and device state put back";
}

TEST_F(LoopedRun, TheLivePlayerRestartsAtZeroShowingItsFirstFrameAtOnce) {
  // One reading per body (2002 pacing); the restart shows body 0 without reading.
  music.positions = {239999, 240001, 2000, 240001};
  ShowViewing viewing;
  viewing.original_pacing = true;
  viewing.passes = 3;
  EXPECT_FALSE(run_show(platform, data(), viewing));
  // 239999; 0 and 2000 in the second pass; 0 in the third, whose clock then reads the end.
  EXPECT_EQ(presents(), 5 + 4);
  EXPECT_EQ(music.closes, 1);
  const std::vector<SpriteDraw> titles = sprite_draws_of(*trace, "Talvores.bmp");
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_FLOAT_EQ(titles[1].position_y, titles[0].position_y - 2.0f) << "rises t/1000 from 400";
  EXPECT_FLOAT_EQ(titles[2].position_y, titles[0].position_y) << "back where loading left it";
}

}  // namespace
