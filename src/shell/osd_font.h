#pragma once
// The on-screen display's glyphs, baked at build time (tools/showdata/osd)
// from the stand-in data's font: printable ASCII, each a coverage mask of its
// line box (0 to 255, rows top first) and its advance, in pixels of the
// show's 800 x 600 picture.

constexpr int OSD_FIRST_CHAR = 32;
constexpr int OSD_GLYPH_COUNT = 95;

struct OsdGlyph {
  int width, height, advance;
  const unsigned char* coverage;
};

extern const OsdGlyph OSD_GLYPHS[OSD_GLYPH_COUNT];
