// The on-screen display: what it says, when it shows, and where its parts lie
// in the image laid over the picture.

#include "shell/osd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "shell/osd_font.h"

namespace {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

Rgb at(const OverlayImage& image, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * image.size.width + x) * 4;
  return {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]};
}

TEST(Osd, TimeAndSceneWindowAsTheViewerReadsThem) {
  EXPECT_EQ(osd_time(0), "0:00.000");
  EXPECT_EQ(osd_time(61500), "1:01.500");
  EXPECT_EQ(osd_time(239999), "3:59.999");
  EXPECT_EQ(osd_scene(0), "titles");
  EXPECT_EQ(osd_scene(12599), "titles");
  EXPECT_EQ(osd_scene(12600), "chess hall");
  EXPECT_EQ(osd_scene(61500), "plant");
  EXPECT_EQ(osd_scene(240000), "credits");
}

TEST(Osd, ShownTwoSecondsAfterAKeyAndAlwaysWhilePaused) {
  OsdTimer timer;
  EXPECT_FALSE(timer.shown(0.0, false)) << "nothing pressed yet";
  EXPECT_TRUE(timer.shown(0.0, true));
  timer.poke(1000.0);
  EXPECT_TRUE(timer.shown(2999.0, false));
  EXPECT_FALSE(timer.shown(3000.0, false));
  EXPECT_TRUE(timer.shown(50000.0, true));
}

TEST(Osd, ABarAtTheFootWithTheTimelineAndThePlaceOnIt) {
  const OverlayImage bar = paint_osd(120000, false);
  ASSERT_EQ(bar.size, (PixelSize{800, 44}));
  EXPECT_EQ(bar.x, 0);
  EXPECT_EQ(bar.y, 556) << "its foot on the picture's";
  // The timeline runs from x 12 to 788 on row 32: half-way (120 s of 240) is
  // x 400, where the place is marked in orange; 12.6 s (the chess hall) is a tick.
  EXPECT_EQ(at(bar, 400, 32), (Rgb{255, 170, 70}));
  EXPECT_EQ(at(bar, 12 + 12600 * 776 / 240000, 29), (Rgb{150, 150, 165}));
  EXPECT_EQ(at(bar, 300, 32), (Rgb{80, 80, 95})) << "the track";
  EXPECT_EQ(at(bar, 300, 20), (Rgb{12, 12, 20})) << "the panel";
  // The time's glyphs, bright on the panel at the left.
  int brightest = 0;
  for (int y = 3; y < 20; ++y) {
    for (int x = 12; x < 80; ++x) brightest = std::max(brightest, at(bar, x, y).r);
  }
  EXPECT_GT(brightest, 200);

  // A screenshot's failure, in orange on the text's line after the scene's name.
  const auto orange_text = [](const OverlayImage& image) {
    int orange = 0;
    for (int y = 3; y < 20; ++y) {
      for (int x = 250; x < 790; ++x) {
        const Rgb c = at(image, x, y);
        orange += c.r > 200 && c.b < 120 ? 1 : 0;
      }
    }
    return orange;
  };
  EXPECT_GT(orange_text(paint_osd(120000, false, "cannot write the screenshot")), 50);
  EXPECT_EQ(orange_text(bar), 0);

  const OverlayImage help = paint_osd(120000, true);
  EXPECT_GT(help.size.height, 44 + 40) << "the keys above the bar";
  EXPECT_EQ(help.y + help.size.height, 600);
  EXPECT_EQ(at(help, 400, help.size.height - 12), (Rgb{255, 170, 70}));
}

TEST(OsdFont, EveryPrintableCharacterIsBakedOnOneLineBox) {
  int letters_with_ink = 0;
  for (int i = 0; i < OSD_GLYPH_COUNT; ++i) {
    const OsdGlyph& g = OSD_GLYPHS[i];
    EXPECT_EQ(g.height, OSD_GLYPHS[0].height) << static_cast<char>(OSD_FIRST_CHAR + i);
    EXPECT_GT(g.advance, 0) << static_cast<char>(OSD_FIRST_CHAR + i);
    int ink = 0;
    for (int p = 0; p < g.width * g.height; ++p) ink += g.coverage[p];
    const char c = static_cast<char>(OSD_FIRST_CHAR + i);
    if (c == ' ') {
      EXPECT_EQ(ink, 0);
    }
    letters_with_ink += (std::isalnum(static_cast<unsigned char>(c)) != 0 && ink > 0) ? 1 : 0;
  }
  EXPECT_EQ(letters_with_ink, 62);
}

}  // namespace
