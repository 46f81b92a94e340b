#include <gtest/gtest.h>

#include "show/run_show.h"
#include "show/show.h"
#include "show/show_fixture.h"

namespace {

using Loading = ShowFixture;

TEST(ShowRandom, FirstDrawsOfTheSharedGenerator) {
  show_rand_reset();
  EXPECT_EQ(show_rand(), 41);
  EXPECT_EQ(show_rand(), 18467);
  EXPECT_EQ(show_rand(), 6334);
  EXPECT_EQ(show_rand(), 26500);
  EXPECT_EQ(show_rand(), 19169);
}

TEST_F(Loading, TakesTheFirstTwoDrawsForTheDrifters) {
  Show show(data(), music_opener());
  ASSERT_TRUE(load_show(show));
  EXPECT_EQ(show.loop.caca_y, 41);
  EXPECT_EQ(show.loop.caca2_x, 67);
  EXPECT_EQ(show.loop.caca_x, -200);
  EXPECT_EQ(show.loop.caca2_y, -200);
  EXPECT_EQ(show_rand(), 6334);  // loading draws nothing else
}

// What each of the five loading screens draws, and the music started last.
TEST_F(Loading, FiveScreensInOrderThenTheMusic) {
  Show show(data(), music_opener());
  ASSERT_TRUE(load_show(show));
  std::vector<std::vector<std::string>> screens(1);
  std::vector<std::string> clears_before_screen;
  for (const std::string& call : trace->calls()) {
    if (call == "Present()") {
      screens.emplace_back();
    } else if (!sprite_file(call).empty()) {
      screens.back().push_back(sprite_file(call));
    }
  }
  ASSERT_EQ(screens.size(), 6u);  // five presents
  EXPECT_EQ(screens[0], (std::vector<std::string>{"logo.bmp", "since.bmp"}));
  EXPECT_EQ(screens[1], (std::vector<std::string>{"logo.bmp", "since.bmp", "orvex.bmp"}));
  EXPECT_EQ(screens[2], (std::vector<std::string>{"dulam.bmp"}));
  EXPECT_EQ(screens[3],
            (std::vector<std::string>{"logo.bmp", "since.bmp", "dulam.bmp", "zevuvero.bmp"}));
  EXPECT_EQ(screens[4], (std::vector<std::string>{"zevuvero.bmp", "title.bmp"}));
  EXPECT_TRUE(screens[5].empty());

  // The music starts last, after the fifth screen (3D stage 5 comes between).
  EXPECT_EQ(music.calls_before_play, trace->calls().size());
  EXPECT_EQ(trace->calls().front(), CLEAR_BLACK_AND_DEPTH);  // target and depth first

  // Screen 3 draws over the previous frame: no clear between the 2nd and 3rd present.
  const std::size_t second = find_call("Present()", find_call("Present()") + 1);
  const std::size_t third = find_call("Present()", second + 1);
  for (std::size_t i = second; i < third; ++i) {
    EXPECT_NE(trace->calls()[i].rfind("Clear", 0), 0u) << trace->calls()[i];
  }
}

TEST_F(Loading, PlacesTheOverlays) {
  Show show(data(), music_opener());
  ASSERT_TRUE(load_show(show));
  const Overlays& o = show.overlays;
  EXPECT_EQ(o.talvores->color(), 0x66FFFFFFu);
  EXPECT_EQ(o.presents->x(), 150.0f);
  EXPECT_EQ(o.presents->color(), 0x89FFFFFFu);
  EXPECT_EQ(o.gilb->center_x(), 50.0f);
  EXPECT_EQ(o.tesk->center_y(), 0.5f);
  EXPECT_EQ(o.trai1->y(), 70.0f);
  EXPECT_EQ(o.trai2->y(), 300.0f);
  EXPECT_EQ(o.caca2->y(), -200.0f);
  EXPECT_EQ(o.pamo->x(), 900.0f);
  EXPECT_EQ(o.vorn->color(), 0x33FFFFFFu);
  EXPECT_EQ(o.title->x(), 160.0f);
  EXPECT_NE(o.trai1.get(), o.trai2.get());
}

TEST_F(Loading, ACloseRequestEndsTheShowBeforeTheMusicStarts) {
  platform.close_after = 1;  // asked after loading screen 1, seen after 3D stage 1
  EXPECT_FALSE(run_show(platform, data(), {}));
  EXPECT_EQ(music.plays, 0);
  EXPECT_EQ(music.closes, 1);
  EXPECT_EQ(trace->live_textures(), 0u);
  EXPECT_EQ(count_calls("Present()"), 1);
}

TEST_F(Loading, AHalfLoadedShowRunsNoFrame) {
  Show show(data(), music_opener());
  EXPECT_EQ(show.load_step(), LoadStep::loading);
  EXPECT_EQ(show.load_step(), LoadStep::loading);
  EXPECT_EQ(show.frame_body(), FrameEnd::show_over);
  show.teardown();
  EXPECT_EQ(music.plays, 0);
  EXPECT_EQ(trace->live_textures(), 0u);
}

// Music first, then the overlays in the show's order; nothing outlives it.
TEST_F(Loading, TeardownOrder) {
  {
    Show show(data(), music_opener());
    ASSERT_TRUE(load_show(show));
    trace->clear_trace();
    show.teardown();
    show.teardown();  // a second teardown finds nothing left
  }
  EXPECT_EQ(music.closes, 1);
  EXPECT_EQ(music.releases_before_close, 0u);
  std::vector<std::string> expected;
  for (const char* name : {"tesk",  "tesk2", "gilb",  "pamo",     "vostl",    "clouds", "zevuvero",
                           "dulam", "trai",  "trai",  "caca",     "caca2",    "sp1",    "vorn",
                           "logo",  "since", "title", "Presents", "Talvores", "orvex"}) {
    expected.push_back(std::string(name) + ".bmp");
  }
  EXPECT_TRUE(trace->calls().empty()) << trace->calls().front();
  EXPECT_EQ(trace->released_textures(), expected);
  EXPECT_EQ(trace->live_textures(), 0u);
}

// Broken images: the show loads and runs on without them.
TEST_F(Loading, BrokenImagesLeaveOverlaysWithoutTexture) {
  std::filesystem::remove(dir / "logo.bmp");
  write_file(dir / "since.bmp", {});
  std::vector<std::uint8_t> shortened = bmp_bytes(2, 2, 0xFFFFFF);
  shortened.resize(20);
  write_file(dir / "Talvores.bmp", shortened);
  write_file(dir / "Presents.bmp", bmp_bytes(2, 2, 0xFFFFFF, 70000));
  write_file(dir / "tesk.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
  Show show(data(), music_opener());
  ASSERT_TRUE(load_show(show));
  EXPECT_FALSE(show.overlays.logo->has_texture());
  EXPECT_FALSE(show.overlays.since->has_texture());
  EXPECT_FALSE(show.overlays.talvores->has_texture());
  EXPECT_EQ(show.overlays.presents->width(), 4464);
  for (int t : {0, 3500, 5000}) {
    music.at(t);
    EXPECT_EQ(show.frame_body(), FrameEnd::present);
  }
  EXPECT_FALSE(trace->in_scene());
  EXPECT_TRUE(trace->misuse().empty()) << trace->misuse().front();
}

}  // namespace
