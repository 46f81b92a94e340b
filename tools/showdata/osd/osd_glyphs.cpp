// osd_glyphs FONT OUT.cpp: bakes the printable ASCII characters of FONT (our
// stand-in data's face, DejaVu Sans Bold) into the player's on-screen
// display as a C++ table, so that the player reads no font when it runs.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "shell/osd_font.h"
#include "showdata/text.h"

namespace {

// The display's text height in pixels of the show's 800 x 600 picture.
constexpr float kPixels = 15.0f;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: osd_glyphs FONT OUT.cpp\n");
    return 2;
  }
  showdata::Font font;
  if (!font.load(argv[1])) {
    std::fprintf(stderr, "osd_glyphs: %s\n", font.error().c_str());
    return 1;
  }
  std::ofstream out(argv[2]);
  out << "// Baked by osd_glyphs from " << argv[1] << " at " << kPixels
      << " pixels; rebuilt with the program.\n"
      << "#include \"shell/osd_font.h\"\n\nnamespace {\n\n";
  std::string table = "}  // namespace\n\nconst OsdGlyph OSD_GLYPHS[OSD_GLYPH_COUNT] = {\n";
  for (int c = OSD_FIRST_CHAR; c < OSD_FIRST_CHAR + OSD_GLYPH_COUNT; ++c) {
    const std::string text(1, static_cast<char>(c));
    const showdata::Mask mask = font.text_mask(text, kPixels);
    out << "constexpr unsigned char glyph_" << c << "[] = {";
    for (std::size_t i = 0; i < mask.v.size(); ++i) {
      out << (i % 24 == 0 ? "\n    " : " ") << std::lround(mask.v[i] * 255.0f) << ",";
    }
    out << "\n    0};\n";
    table += "    {" + std::to_string(mask.width) + ", " + std::to_string(mask.height) + ", " +
             std::to_string(std::lround(font.text_width(text, kPixels))) + ", glyph_" +
             std::to_string(c) + "},\n";
  }
  out << "\n" << table << "};\n";
  return out ? 0 : 1;
}
