// contact_sheet OUT.png|OUT.jpg COLUMNS CELL_WIDTH IMAGE [LABEL=IMAGE]...
// Puts images (BMP, PNG, anything stb_image reads) side by side on a grid,
// each scaled to the cell width and captioned with its label or file name.
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "showdata/bmp_writer.h"
#include "showdata/text.h"

namespace {

struct Entry {
  std::string label;
  showdata::RgbImage image;
};

bool load(const std::string& path, showdata::RgbImage& out) {
  int w = 0;
  int h = 0;
  int n = 0;
  unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 3);
  if (!px) return false;
  out = showdata::RgbImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = px + (static_cast<std::size_t>(y) * w + x) * 3;
      out.set(x, y, {p[0], p[1], p[2]});
    }
  stbi_image_free(px);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace showdata;
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: contact_sheet OUT.png COLUMNS CELL_WIDTH IMAGE [LABEL=IMAGE]...\n");
    return 2;
  }
  const int columns = std::max(1, std::atoi(argv[2]));
  const int cell_w = std::max(16, std::atoi(argv[3]));
  Font font;
  if (!font.load(kDefaultFontPath)) {
    std::fprintf(stderr, "contact_sheet: %s\n", font.error().c_str());
    return 1;
  }
  std::vector<Entry> entries;
  int cell_h = 0;
  for (int i = 4; i < argc; ++i) {
    std::string arg = argv[i];
    std::string label = std::filesystem::path(arg).filename().string();
    const auto eq = arg.find('=');
    if (eq != std::string::npos) {
      label = arg.substr(0, eq);
      arg = arg.substr(eq + 1);
    }
    Entry e{label, {}};
    if (!load(arg, e.image)) {
      std::fprintf(stderr, "contact_sheet: cannot read %s\n", arg.c_str());
      return 1;
    }
    const int h = e.image.height() * cell_w / std::max(1, e.image.width());
    cell_h = std::max(cell_h, std::min(h, cell_w * 2));
    entries.push_back(std::move(e));
  }
  const int caption = 22;
  const int gap = 6;
  const int rows = (static_cast<int>(entries.size()) + columns - 1) / columns;
  RgbImage sheet(columns * (cell_w + gap) + gap, rows * (cell_h + caption + gap) + gap,
                 {40, 40, 48});
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int cx = gap + static_cast<int>(i % columns) * (cell_w + gap);
    const int cy = gap + static_cast<int>(i / columns) * (cell_h + caption + gap);
    const RgbImage& img = entries[i].image;
    const float scale = std::min(static_cast<float>(cell_w) / static_cast<float>(img.width()),
                                 static_cast<float>(cell_h) / static_cast<float>(img.height()));
    const int w = std::max(1, static_cast<int>(static_cast<float>(img.width()) * scale));
    const int h = std::max(1, static_cast<int>(static_cast<float>(img.height()) * scale));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        sheet.set(cx + x, cy + y,
                  img.at(static_cast<int>(static_cast<float>(x) / scale),
                         static_cast<int>(static_cast<float>(y) / scale)));
    TextStyle s;
    s.top = {230, 230, 230};
    s.bottom = {200, 200, 200};
    draw_text(sheet, font, entries[i].label, 15, cx, cy + cell_h + 2, s);
  }
  const std::string out = argv[1];
  const bool jpeg = out.size() > 4 && (out.substr(out.size() - 4) == ".jpg");
  const int ok =
      jpeg ? stbi_write_jpg(argv[1], sheet.width(), sheet.height(), 3, sheet.bytes().data(), 88)
           : stbi_write_png(argv[1], sheet.width(), sheet.height(), 3, sheet.bytes().data(),
                            sheet.width() * 3);
  if (!ok) {
    std::fprintf(stderr, "contact_sheet: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
