#include "showdata/overlays.h"

#include <cmath>
#include <numbers>
#include <string>

namespace showdata {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The palette of the titles: ice blue to deep violet, with a warm accent.
constexpr Rgb kIce{220, 240, 255};
constexpr Rgb kSky{90, 170, 255};
constexpr Rgb kViolet{120, 70, 220};
constexpr Rgb kAmber{255, 170, 60};
constexpr Rgb kWhite{255, 255, 255};

// Overlays treat exact black as transparent; the faint tails of glows would
// otherwise draw as dark veils over whatever lies under them.
void clean_black(RgbImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgb c = image.at(x, y);
      if (c.r < 8 && c.g < 8 && c.b < 8) image.set(x, y, {});
    }
  }
}

DataFile bmp(const std::string& name, RgbImage image) {
  clean_black(image);
  return {name, encode_bmp(image)};
}

TextStyle title_style() {
  TextStyle s;
  s.top = kIce;
  s.bottom = kSky;
  s.glow = kViolet;
  s.glow_radius = 10;
  s.glow_strength = 1.4f;
  return s;
}

TextStyle warm_style() {
  TextStyle s;
  s.top = {255, 240, 200};
  s.bottom = kAmber;
  s.glow = {200, 60, 20};
  s.glow_radius = 8;
  s.glow_strength = 1.2f;
  return s;
}

// A thin horizontal rule that fades out at both ends.
void rule(RgbImage& image, int x0, int x1, int y, Rgb c) {
  for (int x = x0; x <= x1; ++x) {
    const float t = static_cast<float>(x - x0) / static_cast<float>(std::max(1, x1 - x0));
    const float fade = std::sin(t * kPi);
    blend(image, x, y, c, fade);
    blend(image, x, y + 1, c, fade * 0.4f);
  }
}

// Threshold of an 8 x 8 ordered dither, in (0, 1).
float bayer(int x, int y) {
  int v = 0;
  for (int bit = 0; bit < 3; ++bit) {
    const int bx = (x >> bit) & 1;
    const int by = (y >> bit) & 1;
    v = v * 4 + (2 * by + (bx ^ by));
  }
  return (static_cast<float>(v) + 0.5f) / 64.0f;
}

// A comet 180 pixels long and 36 wide, its head at the far end of its travel.
RgbImage comet(bool falling, Rgb tail_color) {
  RgbImage img(falling ? 36 : 180, falling ? 180 : 36);
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const float along = static_cast<float>(falling ? y : x);
      const float across = static_cast<float>(falling ? x : y) - 17.5f;
      const float t = along / 179.0f;
      const float spread = across / (2.0f + 14.0f * t);
      const float tail = t * t * std::exp(-spread * spread * 2.0f);
      const float head =
          std::exp(-(std::pow((along - 165.0f) / 9.0f, 2.0f) + std::pow(across / 9.0f, 2.0f)));
      img.set(x, y, mix(mix({}, tail_color, tail), kWhite, head));
    }
  }
  return img;
}

}  // namespace

std::vector<DataFile> make_overlays(const Font& font) {
  std::vector<DataFile> files;

  {  // logo: the show's name on the loading screens, at (160, 200).
    RgbImage img(480, 150);
    draw_text(img, font, "PLOVERMIX", 76, 240, 20, title_style(), true);
    rule(img, 20, 460, 128, kSky);
    files.push_back(bmp("logo.bmp", img));
  }
  {  // since: under the logo at (400, 450).
    RgbImage img(300, 48);
    TextStyle s;
    s.top = kIce;
    s.bottom = {150, 170, 200};
    draw_text(img, font, "since 2002", 30, 150, 6, s, true);
    files.push_back(bmp("since.bmp", img));
  }
  {  // Presents: drifts down and right from (150, 150) between 3 and 12.6 s.
    RgbImage img(500, 120);
    TextStyle s = title_style();
    s.glow = {40, 90, 200};
    draw_text(img, font, "presents", 84, 250, 10, s, true);
    files.push_back(bmp("Presents.bmp", img));
  }
  {  // Talvores: the first title, rising from (70, 400).
    RgbImage img(660, 130);
    draw_text(img, font, "the synthetic crew", 64, 330, 20, warm_style(), true);
    rule(img, 40, 620, 112, kAmber);
    files.push_back(bmp("Talvores.bmp", img));
  }
  {  // gilb: the spinner, a 100 x 100 star that turns about its centre (50, 50).
    RgbImage img(100, 100);
    Mask star(100, 100);
    for (int k = 0; k < 8; ++k) {
      const float a = static_cast<float>(k) * kPi / 4.0f;
      const float r = (k % 2 == 0) ? 46.0f : 30.0f;
      soft_line(star, 50.0f, 50.0f, 50.0f + r * std::cos(a), 50.0f + r * std::sin(a), 2.5f, 1.5f);
    }
    soft_disc(star, 50.0f, 50.0f, 9.0f, 1.5f);
    glow_mask(img, blur(star, 8), 0, 0, [](int, int) { return kViolet; });
    paint_mask(img, star, 0, 0, [](int x, int y) {
      const float d = std::hypot(static_cast<float>(x) - 50.0f, static_cast<float>(y) - 50.0f);
      return mix(kWhite, kSky, d / 46.0f);
    });
    files.push_back(bmp("gilb.bmp", img));
  }
  {  // tesk: a sparkle splashed up to 39 times a frame, turned about (0.5, 0.5).
    RgbImage img(64, 64);
    Mask spark(64, 64);
    soft_line(spark, 4.0f, 32.0f, 60.0f, 32.0f, 1.0f, 2.0f);
    soft_line(spark, 32.0f, 4.0f, 32.0f, 60.0f, 1.0f, 2.0f);
    soft_line(spark, 14.0f, 14.0f, 50.0f, 50.0f, 0.6f, 1.5f);
    soft_line(spark, 50.0f, 14.0f, 14.0f, 50.0f, 0.6f, 1.5f);
    soft_disc(spark, 32.0f, 32.0f, 4.0f, 3.0f);
    glow_mask(img, blur(spark, 6), 0, 0, [](int, int) { return kSky; });
    paint_mask(img, spark, 0, 0, [](int, int) { return kIce; });
    files.push_back(bmp("tesk.bmp", img));
  }
  {  // tesk2: a small ring, splashed up to 9 times a frame.
    RgbImage img(48, 48);
    Mask ring(48, 48);
    soft_disc(ring, 24.0f, 24.0f, 18.0f, 1.5f);
    Mask hole(48, 48);
    soft_disc(hole, 24.0f, 24.0f, 14.0f, 1.5f);
    for (std::size_t i = 0; i < ring.v.size(); ++i)
      ring.v[i] = std::max(0.0f, ring.v[i] - hole.v[i]);
    glow_mask(img, blur(ring, 4), 0, 0, [](int, int) { return kAmber; });
    paint_mask(img, ring, 0, 0, [](int, int) { return Rgb{255, 220, 160}; });
    files.push_back(bmp("tesk2.bmp", img));
  }
  // pamo and vostl take turns sliding from x 900 to 600 at y 520: each must
  // read within the 200 pixels left of the screen's right edge.
  for (const auto& [name, word] :
       {std::pair{"pamo.bmp", "sound"}, std::pair{"vostl.bmp", "vision"}}) {
    RgbImage img(200, 64);
    draw_text(img, font, word, 44, 100, 6, title_style(), true);
    files.push_back(bmp(name, img));
  }
  {  // orvex: the "loading" badge of loading screen 2, at (300, 50).
    RgbImage img(200, 110);
    Mask ring(200, 110);
    soft_line(ring, 20.0f, 8.0f, 180.0f, 8.0f, 1.0f, 1.0f);
    soft_line(ring, 20.0f, 100.0f, 180.0f, 100.0f, 1.0f, 1.0f);
    paint_mask(img, ring, 0, 0, [](int, int) { return kSky; });
    draw_text(img, font, "loading", 40, 100, 18, title_style(), true);
    for (int k = 0; k < 5; ++k) {
      Mask dot(200, 110);
      soft_disc(dot, 60.0f + 20.0f * static_cast<float>(k), 86.0f, 4.0f, 1.0f);
      paint_mask(img, dot, 0, 0,
                 [k](int, int) { return mix(kIce, kViolet, static_cast<float>(k) / 4.0f); });
    }
    files.push_back(bmp("orvex.bmp", img));
  }
  {  // dulam: second loading badge, at (400, 300) on screens 3 and 4.
    RgbImage img(360, 110);
    draw_text(img, font, "building worlds", 40, 180, 10, warm_style(), true);
    for (int k = 0; k < 12; ++k) {
      Mask bar(360, 110);
      const float x = 40.0f + 24.0f * static_cast<float>(k);
      soft_line(bar, x, 84.0f, x + 14.0f, 84.0f, 5.0f, 1.0f);
      paint_mask(img, bar, 0, 0, [k](int, int) {
        return mix(kAmber, {120, 30, 10}, static_cast<float>(k) / 11.0f);
      });
    }
    files.push_back(bmp("dulam.bmp", img));
  }
  {  // zevuvero: a full-screen frame with corner brackets, at (0, 0).
    RgbImage img(800, 600);
    Mask frame(800, 600);
    const float m = 24.0f;
    const float arm = 90.0f;
    for (const auto& [cx, cy, sx, sy] :
         {std::tuple{m, m, 1.0f, 1.0f}, std::tuple{800.0f - m, m, -1.0f, 1.0f},
          std::tuple{m, 600.0f - m, 1.0f, -1.0f},
          std::tuple{800.0f - m, 600.0f - m, -1.0f, -1.0f}}) {
      soft_line(frame, cx, cy, cx + sx * arm, cy, 2.0f, 1.0f);
      soft_line(frame, cx, cy, cx, cy + sy * arm, 2.0f, 1.0f);
    }
    glow_mask(img, blur(frame, 10), 0, 0, [](int, int) { return kViolet; });
    paint_mask(img, frame, 0, 0, [](int, int) { return kIce; });
    TextStyle s;
    s.top = {160, 180, 210};
    s.bottom = {110, 120, 160};
    draw_text(img, font, "almost there", 22, 400, 548, s, true);
    files.push_back(bmp("zevuvero.bmp", img));
  }
  {  // title: replaces the logo on the last loading screen, at (160, 200).
    RgbImage img(480, 200);
    TextStyle big = title_style();
    big.glow = {200, 80, 255};
    big.glow_radius = 14;
    draw_text(img, font, "PLOVERMIX", 76, 240, 16, big, true);
    TextStyle s;
    s.top = kIce;
    s.bottom = {160, 180, 220};
    draw_text(img, font, "sit back and watch", 28, 240, 140, s, true);
    files.push_back(bmp("title.bmp", img));
  }
  {  // clouds: 1024 wide so that the 184-pixel scroll never shows its edge.
    RgbImage img(1024, 600);
    for (int y = 0; y < img.height(); ++y) {
      for (int x = 0; x < img.width(); ++x) {
        const float n =
            fbm(static_cast<float>(x) / 128.0f, static_cast<float>(y) / 128.0f, 8, 5, 7u);
        const float band = 0.6f + 0.4f * std::sin(static_cast<float>(y) / 600.0f * kPi);
        const float d = clamp01((n * band - 0.38f) * 3.0f);
        // Black is all or nothing in an overlay, and a dark cloud pixel would
        // darken the scene: clouds are bright pixels, thinned out by an
        // ordered dither where the cloud is thin, which filtering softens.
        if (d > bayer(x, y)) img.set(x, y, mix({150, 165, 210}, kIce, d));
      }
    }
    files.push_back(bmp("clouds.bmp", img));
  }
  {  // trai: a streak across the whole screen, flickered at y 70 and 300.
    RgbImage img(800, 24);
    for (int y = 0; y < img.height(); ++y) {
      const float dy = std::abs(static_cast<float>(y) - 11.5f) / 11.5f;
      const float core = std::exp(-dy * dy * 18.0f);
      const float halo = std::exp(-dy * dy * 3.0f) * 0.5f;
      for (int x = 0; x < img.width(); ++x) {
        const float t = static_cast<float>(x) / 799.0f;
        const float along = std::sin(t * kPi) * (0.7f + 0.3f * noise(t * 40.0f, 0.0f, 40, 3u));
        const Rgb c = mix(mix({}, kViolet, halo * along), kIce, core * along);
        img.set(x, y, c);
      }
    }
    files.push_back(bmp("trai.bmp", img));
  }
  // The drifters: caca crosses left to right, caca2 falls top to bottom,
  // each with its head in front.
  files.push_back(bmp("caca.bmp", comet(false, kSky)));
  files.push_back(bmp("caca2.bmp", comet(true, kAmber)));
  {  // sp1: corner mark of the opening, at (10, 10).
    RgbImage img(220, 40);
    TextStyle s;
    s.top = kIce;
    s.bottom = kSky;
    draw_text(img, font, "plovermix 2002", 26, 4, 4, s);
    files.push_back(bmp("sp1.bmp", img));
  }
  {  // vorn: corner mark naming the music, at (10, 10) from 80.5 s.
    RgbImage img(260, 40);
    TextStyle s;
    s.top = {255, 240, 200};
    s.bottom = kAmber;
    draw_text(img, font, "music: vorn", 26, 4, 4, s);
    files.push_back(bmp("vorn.bmp", img));
  }
  // The particle sprites: round glows, bright in the middle.
  for (const auto& [name, inner, outer] :
       {std::tuple{"particle.bmp", Rgb{255, 255, 255}, Rgb{80, 150, 255}},
        std::tuple{"particule2.bmp", Rgb{255, 240, 200}, Rgb{255, 120, 30}}}) {
    RgbImage img(32, 32);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const float d =
            std::hypot(static_cast<float>(x) - 15.5f, static_cast<float>(y) - 15.5f) / 15.5f;
        const float glow = std::exp(-d * d * 4.0f) * clamp01((1.0f - d) * 4.0f);
        img.set(x, y, mix({}, mix(outer, inner, std::exp(-d * d * 12.0f)), glow));
      }
    }
    // Particles are not colour-keyed: keep the soft tail, only its very end is zero.
    files.push_back({name, encode_bmp(img)});
  }
  return files;
}

}  // namespace showdata
