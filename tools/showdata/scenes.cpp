#include "showdata/scenes.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "showdata/textures.h"

namespace showdata {

namespace {

constexpr double kPi = std::numbers::pi;

ShowScene new_scene(const std::string& file, Vec3 up) {
  ShowScene s;
  s.file = file;
  s.up = up;
  return s;
}

void material(ShowScene& s, const std::string& name, const std::string& file, RgbImage image) {
  s.desc.materials.push_back({name, file, CHUNK_TEXTURE_MAP, true});
  s.textures.push_back({file, std::move(image)});
}

void mesh(ShowScene& s, const MeshBuilder& b) { s.desc.meshes.push_back(b.build()); }

void finish_camera(ShowScene& s) {
  s.desc.frame_range = {{s.camera.first_frame, s.camera.last_frame}};
  s.desc.tracks.push_back(s.camera.desc());
  // An editor camera too, so that general .3ds readers see a camera object.
  s.desc.cameras.push_back({s.camera.name, to_float(s.camera.eye_keys[0]),
                            to_float(s.camera.target_keys[0]), 0.0f, 45.0f});
}

// A cube of half-size h turned by `yaw` about z and `tilt` about x.
void turned_cube(MeshBuilder& b, Vec3 c, double h, double yaw, double tilt) {
  const auto turn = [&](Vec3 p) {
    const Vec3 q{p.x, p.y * std::cos(tilt) - p.z * std::sin(tilt),
                 p.y * std::sin(tilt) + p.z * std::cos(tilt)};
    return c + Vec3{q.x * std::cos(yaw) - q.y * std::sin(yaw),
                    q.x * std::sin(yaw) + q.y * std::cos(yaw), q.z};
  };
  const auto corner = [&](int i) {
    return turn({(i & 1) ? h : -h, (i & 2) ? h : -h, (i & 4) ? h : -h});
  };
  const int faces[6][4] = {{4, 5, 7, 6}, {0, 2, 3, 1}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& f : faces)
    b.quad(corner(f[0]), corner(f[1]), corner(f[2]), corner(f[3]), 0, 0, 1, 1);
}

// ---------------------------------------------------------------- echec
// A chessboard whose top lies at z = 85 round the fountain at (10, 0, 90),
// seven glass boxes floating round it, a tiled hall with columns. The camera
// (up (1, 0, 1)) always looks along +x, so that up reads as +z with no roll.
ShowScene echec() {
  ShowScene s = new_scene("echec.3ds", {1, 0, 1});
  material(s, "damier", "damier.bmp", checker_board());
  material(s, "bois", "bois.bmp", wood());
  material(s, "marbre_b", "marbre_b.bmp", shaded_marble({235, 230, 220}, {150, 145, 140}, 1u));
  material(s, "marbre_n", "marbre_n.bmp", shaded_marble({55, 45, 60}, {120, 90, 130}, 2u));
  material(s, "verre", "verre.bmp", glass_glow({80, 160, 255}));
  material(s, "dalle", "dalle.png", floor_tiles());
  material(s, "colonne", "colonne.bmp", column_stone());

  const double x0 = -150;  // the board: 8 squares of 40 from (x0, y0)
  const double y0 = -160;
  const double top = 85;
  MeshBuilder board("Plateau", "damier");
  board.quad({x0, y0, top}, {x0 + 320, y0, top}, {x0 + 320, y0 + 320, top}, {x0, y0 + 320, top}, 0,
             0, 1, 1);
  mesh(s, board);

  MeshBuilder rim("Cadre", "bois");
  rim.box({x0 - 16, y0 - 16, 60}, {x0 + 336, y0, top + 3}, 40);
  rim.box({x0 - 16, y0 + 320, 60}, {x0 + 336, y0 + 336, top + 3}, 40);
  rim.box({x0 - 16, y0, 60}, {x0, y0 + 320, top + 3}, 40);
  rim.box({x0 + 320, y0, 60}, {x0 + 336, y0 + 320, top + 3}, 40);
  mesh(s, rim);

  using Profile = std::vector<std::pair<double, double>>;
  const Profile pawn{{0, 0},  {12, 0}, {12, 4},   {9, 6},  {6, 10}, {5, 20}, {8, 22},
                     {4, 24}, {7, 28}, {7.5, 32}, {6, 36}, {3, 38}, {0, 39}};
  const Profile rook{{0, 0},   {13, 0},  {13, 5}, {10, 8}, {8, 12}, {8, 36},
                     {11, 38}, {11, 48}, {8, 48}, {8, 45}, {0, 45}};
  const Profile bishop{{0, 0},  {13, 0}, {13, 5}, {9, 8},  {6, 14}, {5, 36}, {9, 38},
                       {5, 40}, {8, 46}, {8, 52}, {5, 58}, {2, 60}, {3, 62}, {0, 64}};
  const Profile queen{{0, 0},  {14, 0},  {14, 5},  {10, 9}, {7, 15}, {6, 50}, {10, 52},
                      {6, 54}, {10, 62}, {11, 66}, {6, 66}, {4, 70}, {0, 72}};
  const Profile king{{0, 0},  {14, 0}, {14, 5}, {10, 9}, {7, 15}, {6, 54},   {10, 56},
                     {6, 58}, {9, 66}, {9, 70}, {3, 72}, {3, 80}, {1.5, 82}, {0, 82}};
  const auto square = [&](int i, int j) {
    return Vec3{x0 + 40.0 * i + 20.0, y0 + 40.0 * j + 20.0, top};
  };
  for (int side = 0; side < 2; ++side) {
    MeshBuilder pieces(side == 0 ? "PiecesB" : "PiecesN", side == 0 ? "marbre_b" : "marbre_n");
    const int back = side == 0 ? 0 : 7;
    const int front = side == 0 ? 1 : 6;
    // A game under way: the centre stays clear for the fountain.
    for (int j : {0, 1, 2, 5, 6, 7})
      pieces.lathe(square(j == 2 || j == 5 ? front + (side ? -1 : 1) : front, j), pawn, 16);
    pieces.lathe(square(back, 0), rook, 16);
    pieces.lathe(square(back, 7), rook, 16);
    pieces.lathe(square(back, 2), bishop, 16);
    pieces.lathe(square(back + (side ? -2 : 2), 5), bishop, 16);
    pieces.lathe(square(back, 3), queen, 16);
    pieces.lathe(square(back, 4), king, 16);
    mesh(s, pieces);
  }

  // The glass boxes, clear of the camera's low pass on the -x side.
  const double box_angles[7] = {0, 50, 100, 135, 225, 265, 310};
  const double box_heights[7] = {170, 230, 150, 200, 250, 160, 210};
  for (int k = 0; k < 7; ++k) {
    MeshBuilder b("Box0" + std::to_string(k + 1), "verre");
    const double a = box_angles[k] * kPi / 180.0;
    turned_cube(b, {10 + 210 * std::cos(a), 210 * std::sin(a), box_heights[k]}, 16 + 3 * (k % 3),
                a * 0.7, 0.3 + 0.2 * k);
    mesh(s, b);
  }

  MeshBuilder floor("Sol", "dalle");
  floor.grid({-1400, -1400, 60}, {2800, 0, 0}, {0, 2800, 0}, 100, 128);
  mesh(s, floor);

  MeshBuilder columns("Colonnes", "colonne");
  const Profile column{{0, 0},    {42, 0},   {42, 14},  {32, 24}, {29, 380},
                       {38, 392}, {44, 404}, {44, 412}, {0, 412}};
  for (int k = 0; k < 6; ++k) {
    const double a = (30.0 + 60.0 * k) * kPi / 180.0;
    columns.lathe({10 + 560 * std::cos(a), 560 * std::sin(a), 60}, column, 20);
  }
  mesh(s, columns);

  s.desc.lights.push_back({"Omni01", {10, 0, 450}});
  s.desc.lights.push_back({"Omni02", {-450, 0, 330}});

  // Down from the hall onto the board, along its edge just over the pieces,
  // then up over the fountain to look down on the whole game.
  const std::vector<Vec3> eyes{{-700, -60, 420}, {-500, -40, 310}, {-340, 10, 230},
                               {-260, 70, 185},  {-250, -30, 180}, {-230, -120, 200},
                               {-170, -60, 320}, {-80, 0, 470},    {-40, 0, 560}};
  const std::vector<Vec3> targets{{10, 0, 120},    {10, 0, 130},    {20, 0, 150},
                                  {80, 40, 150},   {100, -20, 150}, {120, -80, 160},
                                  {150, -20, 130}, {60, 0, 100},    {40, 0, 90}};
  s.camera = make_track(kCameraAccented,
                        {[=](double u) { return catmull_rom(eyes, u); },
                         [=](double u) { return catmull_rom(targets, u); }},
                        1104, 48);
  finish_camera(s);
  return s;
}

// ---------------------------------------------------------------- tunnel2
// A tube whose centre line is a closed loop in the horizontal plane, up being
// -z for this camera. The fountain's point (81, -601, -86) lies on the wall
// where the wall's inward normal is the normal of the fountain's plane, so the
// jet leaves the wall square to it; the camera laps the loop one and a half
// times and passes over the fountain twice.
struct TunnelLoop {
  std::vector<Vec3> points;  // dense centre line
  std::vector<double> along;
  double total = 0;

  Vec3 at(double s) const {
    s = std::fmod(s, total);
    if (s < 0) s += total;
    const auto it = std::upper_bound(along.begin(), along.end(), s);
    const auto i = static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - along.begin() - 1, 0));
    const std::size_t j = (i + 1) % points.size();
    const double seg = (i + 1 < along.size() ? along[i + 1] : total) - along[i];
    const double t = seg > 0 ? (s - along[i]) / seg : 0;
    return points[i] + (points[j] - points[i]) * t;
  }
};

constexpr double kTunnelRadius = 100;

TunnelLoop tunnel_loop() {
  const Vec3 p1{81, -601, -86};
  const Vec3 n = normalized(cross(Vec3{84, -580, -82} - p1, Vec3{99, -608, -91} - p1));
  const Vec3 centre = p1 + n * kTunnelRadius;
  const Vec3 d = normalized(Vec3{n.y, -n.x, 0});
  const Vec3 e2{-d.y, d.x, 0};
  TunnelLoop loop;
  const int count = 2400;
  for (int i = 0; i < count; ++i) {
    const double t = 2 * kPi * i / count;
    loop.points.push_back(centre + d * (700 * std::sin(t)) +
                          e2 * (450 * (1 - std::cos(t)) + 50 * (1 - std::cos(3 * t))));
  }
  for (std::size_t i = 0; i < loop.points.size(); ++i) {
    loop.along.push_back(loop.total);
    loop.total += length(loop.points[(i + 1) % loop.points.size()] - loop.points[i]);
  }
  return loop;
}

ShowScene tunnel() {
  ShowScene s = new_scene("tunnel2.3ds", {0, 0, -1});
  material(s, "paroi", "paroi.bmp", tunnel_wall());
  material(s, "anneau", "anneau.bmp", rib_metal());
  material(s, "socle", "socle.bmp", basin());

  const TunnelLoop loop = tunnel_loop();
  std::vector<Vec3> line;
  const int rings = 190;
  for (int i = 0; i < rings; ++i) line.push_back(loop.at(loop.total * i / rings));

  // Ribs first: the tube is drawn last and blended over what lies behind it.
  MeshBuilder ribs("Anneaux", "anneau");
  const int rib_count = 16;
  for (int k = 0; k < rib_count; ++k) {
    const double at = loop.total * (k + 0.5) / rib_count;
    const Vec3 p = loop.at(at);
    const Vec3 t = normalized(loop.at(at + 1) - loop.at(at - 1));
    ribs.tube(p - t * 6, p + t * 6, kTunnelRadius * 0.9, 24, 12);
    // Flanges from the rib out to the wall on both faces.
    for (double side : {-6.0, 6.0}) {
      ribs.lathe(p + t * side, {{kTunnelRadius * 0.9, 0}, {kTunnelRadius * 0.99, 0}}, 24, t);
    }
  }
  mesh(s, ribs);

  const Vec3 p1{81, -601, -86};
  const Vec3 n = normalized(cross(Vec3{84, -580, -82} - p1, Vec3{99, -608, -91} - p1));
  MeshBuilder basin_mesh("Socle", "socle");
  basin_mesh.lathe(p1 - n * 4, {{6, 6}, {16, 6}, {22, 10}, {25, 10}, {28, 0}}, 20, n);
  mesh(s, basin_mesh);

  MeshBuilder tube("tunnel", "paroi");
  tube.sweep_ring(line, kTunnelRadius, 24, {0, 0, 1}, 2, 128);
  mesh(s, tube);

  const double start = -380;  // the fountain comes into view after a few seconds
  const double laps = 1.5;
  const double ahead = 260;
  const Vec3 lift{0, 0, -15};
  s.camera = make_track(
      kCameraAccented,
      {[=](double u) { return loop.at(start + u * laps * loop.total) + lift; },
       // Looking a little down, so that the jet stays in view longer.
       [=](double u) { return loop.at(start + u * laps * loop.total + ahead) - lift * 1.3; }},
      2745, 160);
  finish_camera(s);
  return s;
}

// ---------------------------------------------------------------- node
// A network of glowing spheres and links, circled by the inset's camera (up +y).
ShowScene node() {
  ShowScene s = new_scene("node.3ds", {0, 1, 0});
  material(s, "noeud", "noeud.bmp", node_sphere());
  material(s, "lien", "lien.bmp", link_glow());

  std::vector<Vec3> points;
  for (unsigned i = 0; points.size() < 18; ++i) {
    const Vec3 p{hash01(i, 1, 77) * 2 - 1, hash01(i, 2, 77) * 2 - 1, hash01(i, 3, 77) * 2 - 1};
    if (length(p) > 1.0 || length(p) < 0.35) continue;
    points.push_back(p * 170.0);
  }
  MeshBuilder spheres("Noeuds", "noeud");
  spheres.sphere({0, 0, 0}, 28, 16, 10);
  for (std::size_t i = 0; i < points.size(); ++i)
    spheres.sphere(points[i], 9 + 5 * hash01(static_cast<unsigned>(i), 9, 78), 12, 8);
  mesh(s, spheres);

  MeshBuilder links("Liens", "lien");
  for (std::size_t i = 0; i < points.size(); ++i) {
    // Each point links to its two nearest neighbours, and the inner ones to the core.
    std::vector<std::pair<double, std::size_t>> near;
    for (std::size_t j = 0; j < points.size(); ++j)
      if (j != i) near.emplace_back(length(points[j] - points[i]), j);
    std::sort(near.begin(), near.end());
    for (int k = 0; k < 2; ++k)
      if (near[static_cast<std::size_t>(k)].second > i)
        links.tube(points[i], points[near[static_cast<std::size_t>(k)].second], 2.5, 6, 40);
    if (length(points[i]) < 110) links.tube({0, 0, 0}, points[i], 3, 6, 40);
  }
  mesh(s, links);

  s.camera =
      make_track(kCameraPlain,
                 {[](double u) {
                    const double a = 0.3 + 1.2 * 2 * kPi * u;
                    const double r = 430 - 90 * u;
                    return Vec3{r * std::cos(a), 110 * std::sin(3 * kPi * u), r * std::sin(a)};
                  },
                  [](double u) {
                    return Vec3{0, 15 * std::sin(2 * kPi * u), 0};
                  }},
                 2112, 64);
  finish_camera(s);
  return s;
}

// ---------------------------------------------------------------- indus
// A plant in white fog: an alley between pipes, tanks and sheds, ending at the
// glowing column Cylinder03. The camera (up (1, 0, 1)) dollies along +x.
ShowScene indus() {
  ShowScene s = new_scene("indus.3ds", {1, 0, 1});
  material(s, "rouille", "rouille.bmp", rust_metal());
  material(s, "tole", "tole.bmp", corrugated());
  material(s, "cuve", "cuve.bmp", tank_paint());
  material(s, "sol_ind", "sol_ind.bmp", plant_floor());
  material(s, "reacteur", "reacteur.bmp", reactor_glow());

  MeshBuilder floor("Sol", "sol_ind");
  floor.grid({-1300, -900, 0}, {2900, 0, 0}, {0, 1800, 0}, 100, 128);
  mesh(s, floor);

  MeshBuilder pipes("Tuyaux", "rouille");
  for (double side : {-1.0, 1.0}) {
    for (int k = 0; k < 3; ++k) {
      const double y = side * (95 + 22 * k);
      const double z = 35 + 30 * k;
      pipes.tube({-1300, y, z}, {1600, y, z}, 9 + 2 * k, 12, 64, 100);
    }
  }
  for (int k = 0; k < 12; ++k) {
    const double x = -1100 + 240 * k;
    const double z = 175.0 + 15.0 * (k % 3);
    pipes.tube({x, -700, z}, {x, 700, z}, 10, 12, 64, 100);
    for (double side : {-1.0, 1.0}) pipes.tube({x, side * 150, 0}, {x, side * 150, 190}, 7, 10, 64);
  }
  mesh(s, pipes);

  MeshBuilder walk("Passerelle", "rouille");
  for (int k = 0; k < 6; ++k) {
    const double x = -900 + 460 * k;
    walk.box({x, -160, 150}, {x + 40, 160, 156}, 40, 80);
  }
  mesh(s, walk);

  using Profile = std::vector<std::pair<double, double>>;
  const Profile tank{{0, 0}, {72, 0}, {72, 200}, {62, 228}, {40, 244}, {0, 250}};
  const Vec3 tanks[4] = {{150, 260, 0}, {-250, -270, 0}, {560, -270, 0}, {880, 270, 0}};
  const char* tank_names[4] = {"Cylinder01", "Cylinder02", "Cylinder04", "Cylinder05"};
  for (int k = 0; k < 4; ++k) {
    MeshBuilder t(tank_names[k], "cuve");
    t.lathe(tanks[k], tank, 24);
    mesh(s, t);
  }

  MeshBuilder column("Cylinder03", "reacteur");
  column.lathe({760, 0, 0}, {{0, 0}, {48, 0}, {48, 320}, {0, 320}}, 24);
  mesh(s, column);

  MeshBuilder sheds("Hangars", "tole");
  for (int k = 0; k < 5; ++k) {
    const double x = -1100 + 560 * k;
    sheds.box({x, 420, 0}, {x + 380, 640, 260}, 128, 80);
    sheds.box({x + 180, -660, 0}, {x + 520, -440, 230}, 128, 80);
  }
  mesh(s, sheds);

  // A dome far out in the fog: the sky turns white with it instead of black.
  MeshBuilder dome("Dome", "tole");
  dome.sphere({150, 0, 0}, 1800, 24, 12);
  mesh(s, dome);

  s.desc.lights.push_back({"Omni01", {760, 0, 160}});
  s.desc.lights.push_back({"Omni02", {100, 0, 500}});
  s.desc.lights.push_back({"Omni03", {-650, 0, 400}});

  const std::vector<Vec3> eyes{
      {-520, -20, 90}, {-300, 10, 70}, {-60, -15, 105}, {200, 10, 85}, {470, 0, 115}};
  const std::vector<Vec3> targets{
      {-120, 0, 60}, {100, 0, 80}, {340, 0, 110}, {600, 0, 140}, {800, 0, 170}};
  s.camera = make_track(kCameraAccented,
                        {[=](double u) { return catmull_rom(eyes, u); },
                         [=](double u) { return catmull_rom(targets, u); }},
                        3900, 24);
  finish_camera(s);
  return s;
}

// Distance along a flight of `length` at u, slowing to a third of the mean
// speed every `spacing` units from `first_slow` on: the camera lingers where
// it reads a sign and hurries between signs.
double reading_pace(double u, double length, double spacing, double first_slow) {
  const double amount = 0.65;
  return length * u -
         amount * spacing / (2 * kPi) * std::sin(2 * kPi * (length * u - first_slow) / spacing);
}

// Text panels along a flight, each turned to face the camera as it comes up
// to the panel, with the camera's own up: readable whatever the up vector.
// Panel i shows the atlas's cell first_cell + i.
void text_panels(MeshBuilder& b, const Flight& flight, Vec3 up, const std::vector<double>& at_u,
                 const std::vector<Vec3>& offsets, double lead_u, int columns, int cell_w,
                 int cell_h, int atlas_h, double width, std::size_t first_cell = 0) {
  const double atlas_w = columns * cell_w;
  for (std::size_t i = 0; i < at_u.size(); ++i) {
    const Vec3 centre = flight.eye(at_u[i]) + offsets[i];
    const LookBasis view = look_basis(flight.eye(at_u[i] - lead_u), centre, up);
    const int col = static_cast<int>(first_cell + i) % columns;
    const int row = static_cast<int>(first_cell + i) / columns;
    const double inset = 1.0;
    b.panel(centre, view.right, view.up, width, width * cell_h / cell_w,
            (col * cell_w + inset) / atlas_w, (row * cell_h + inset) / atlas_h,
            ((col + 1) * cell_w - inset) / atlas_w, ((row + 1) * cell_h - inset) / atlas_h);
  }
}

// ---------------------------------------------------------------- greets
// Greetings on signs over a glowing floor in black fog; the camera (up
// (1, 0, 1)) flies along +x and weaves gently between them.
ShowScene greets(const Font& font) {
  ShowScene s = new_scene("greets.3ds", {1, 0, 1});
  const std::vector<std::string> lines{
      "greetings to",           "all demosceners",        "the tracker musicians",
      "the pixel artists",      "the 4k and 64k coders",  "the party organisers",
      "the chiptune composers", "the late night hackers", "everyone at the compo",
      "the shader wizards",     "the open source crowd",  "the bbs sysops of old",
      "the mod collectors",     "the first releasers",    "friends near and far",
      "and you, for watching"};
  material(s, "greets", "greets.bmp",
           text_atlas(font, lines, 2, 512, 128, {255, 255, 255}, {140, 220, 255}, {40, 90, 200}));
  material(s, "grille", "grille.bmp", glow_grid({60, 120, 255}));

  // The signs hang over the flight like gantries: the camera passes under
  // each one, reading it on the way in.
  const double length_x = 4800;
  const Flight flight{
      [=](double u) {
        return Vec3{reading_pace(u, length_x, 265, 470) - 300, 12 * std::sin(2 * kPi * 3 * u),
                    50 + 8 * std::sin(2 * kPi * 2 * u)};
      },
      [=](double u) {
        return Vec3{reading_pace(u, length_x, 265, 470) - 300 + 260,
                    5 * std::sin(2 * kPi * 3 * u + 0.8), 72 + 6 * std::sin(2 * kPi * 2 * u + 0.6)};
      }};
  std::vector<double> at;
  std::vector<Vec3> offsets;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double x = 320 + 265.0 * static_cast<double>(i);
    at.push_back((x + 300) / length_x);
    const double side = i % 2 == 0 ? 1.0 : -1.0;
    offsets.push_back(Vec3{x, side * 10.0, 108.0} - flight.eye(at.back()));
  }
  MeshBuilder signs("Panneaux", "greets");
  text_panels(signs, flight, s.up, at, offsets, 170.0 / length_x, 2, 512, 128, 1024, 130);
  mesh(s, signs);

  MeshBuilder floor("Sol", "grille");
  floor.grid({-800, -700, 0}, {6000, 0, 0}, {0, 1400, 0}, 100, 128);
  mesh(s, floor);

  MeshBuilder posts("Piliers", "grille");
  for (int k = 0; k < 24; ++k) {
    const double x = -200 + 210.0 * k;
    for (double side : {-1.0, 1.0})
      posts.box({x, side * 190 - 8, 0}, {x + 16, side * 190 + 8, 160}, 64);
  }
  mesh(s, posts);

  s.camera = make_track(kCameraAccented, flight, 4080, 160);
  finish_camera(s);
  return s;
}

// ---------------------------------------------------------------- credits
// Credit lines drifting past in a field of stars. The camera's up vector,
// (0.185287, 0.209351, -0.960126), is the reference: the flight runs square to
// it and every sign is turned to the camera's view.
ShowScene credits(const Font& font) {
  ShowScene s = new_scene("credits.3ds", {0.185287, 0.209351, -0.960126});
  const std::vector<std::string> lines{"plovermix",
                                       "a realtime show for linux",
                                       "code: the plovermix engineers",
                                       "music: synthesised by showdata",
                                       "scenes: generated, not modelled",
                                       "text: dejavu sans bold",
                                       "built with sdl2, opengl, stb",
                                       "mp3 encoded with lame",
                                       "no pixel drawn by hand",
                                       "every run is the same",
                                       "made in the 2002 spirit",
                                       "thanks for watching"};
  material(s, "credits", "credits.bmp",
           text_atlas(font, lines, 2, 512, 128, {255, 250, 230}, {255, 180, 90}, {180, 60, 20}));
  material(s, "etoile", "etoile.bmp", star());

  const Vec3 up = normalized(s.up);
  const Vec3 dir = normalized(Vec3{1, 0, 0} - up * up.x);
  const Vec3 side = cross(up, dir);
  // Signs hang on the up side of the flight; the camera passes under each but
  // the last, which waits ahead of the flight's end so that the show closes on it.
  const double travel = 6000;
  const double spacing = 470;
  const Flight flight{[=](double u) {
                        return dir * reading_pace(u, travel, spacing, 220) +
                               side * (15 * std::sin(2 * kPi * 2 * u)) +
                               up * (10 * std::sin(2 * kPi * 3 * u));
                      },
                      [=](double u) {
                        return dir * (reading_pace(u, travel, spacing, 220) + 300) + up * 20.0 +
                               side * (5 * std::sin(2 * kPi * 2 * u + 0.7));
                      }};
  std::vector<double> at;
  std::vector<Vec3> offsets;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {  // the last one below
    const double along = 420 + spacing * static_cast<double>(i);
    at.push_back(along / travel);
    const double lateral = i % 2 == 0 ? 10.0 : -10.0;
    offsets.push_back(dir * along + up * 62.0 + side * lateral - flight.eye(at.back()));
  }
  MeshBuilder signs("Panneaux", "credits");
  text_panels(signs, flight, s.up, at, offsets, 200.0 / travel, 2, 512, 128, 1024, 150);
  // The last sign, twice the others' size, waits on the camera's line of
  // sight 500 ahead of where it stops: the track runs 5 % past the window's
  // frames, so the show ends at u = needed / playable, not at 1. Coming up to
  // it, the camera has it a third of the picture wide 11 s before the end.
  constexpr int kNeeded = 124800;  // window G's 104 s at 20 camera frames a body
  s.camera = make_track(kCameraAccented, flight, kNeeded, 160);
  const double end_u = static_cast<double>(kNeeded) / s.camera.playable_frames();
  const Vec3 sight = normalized(flight.target(end_u) - flight.eye(end_u));
  text_panels(signs, flight, s.up, {end_u}, {sight * 500.0}, 200.0 / travel, 2, 512, 128, 1024, 300,
              lines.size() - 1);
  mesh(s, signs);

  MeshBuilder stars("Etoiles", "etoile");
  for (unsigned k = 0; k < 500; ++k) {
    const double along = -1500 + 9000 * hash01(k, 1, 91);
    const double a = 2 * kPi * hash01(k, 2, 91);
    const double r = 900 + 2500 * hash01(k, 3, 91);
    const Vec3 p = dir * along + side * (r * std::cos(a)) + up * (r * std::sin(a));
    const LookBasis face = look_basis(dir * (along - 800), p, up);
    const double size = 10 + 30 * hash01(k, 4, 91);
    stars.panel(p, face.right, face.up, size, size, 0, 0, 1, 1);
  }
  mesh(s, stars);

  finish_camera(s);
  return s;
}

void append_png(std::vector<std::uint8_t>* out, void* data, int size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

std::vector<std::uint8_t> encode_png(const RgbImage& image) {
  std::vector<std::uint8_t> out;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        append_png(static_cast<std::vector<std::uint8_t>*>(context), data, size);
      },
      &out, image.width(), image.height(), 3, image.bytes().data(), image.width() * 3);
  return out;
}

// General .3ds readers build their scene graph from the keyframer's nodes, so
// every mesh and light gets a node of its own beside the camera's two (the
// show only looks for the camera's).
std::vector<std::uint8_t> scene_bytes(const writer3ds::SceneDesc& desc) {
  constexpr std::uint16_t kLightNode = 0xB005;
  writer3ds::Chunk keyframer(CHUNK_KEYFRAMER);
  keyframer.add(writer3ds::frame_range_chunk(desc.frame_range->first, desc.frame_range->second));
  const std::vector<writer3ds::PositionKey> still{{0, {0.0f, 0.0f, 0.0f}, 0}};
  for (const writer3ds::MeshDesc& m : desc.meshes)
    keyframer.add(writer3ds::object_node(m.name, still));
  for (const writer3ds::LightDesc& l : desc.lights) {
    writer3ds::Chunk light_node(kLightNode);
    light_node.add(writer3ds::node_header_chunk(l.name))
        .add(writer3ds::position_track_chunk({{0, l.position, 0}}));
    keyframer.add(std::move(light_node));
  }
  for (const writer3ds::CameraTrackDesc& t : desc.tracks) {
    keyframer.add(writer3ds::camera_node(t.name, t.camera_keys));
    keyframer.add(writer3ds::target_node(t.name, t.target_keys));
  }
  writer3ds::Chunk main(CHUNK_MAIN);
  main.add(writer3ds::Chunk(writer3ds::CHUNK_VERSION).u32(3));
  main.add(writer3ds::build_editor(desc));
  main.add(std::move(keyframer));
  return main.bytes();
}

}  // namespace

std::vector<ShowScene> build_scenes(const Font& font) {
  std::vector<ShowScene> scenes;
  scenes.push_back(echec());
  scenes.push_back(tunnel());
  scenes.push_back(node());
  scenes.push_back(indus());
  scenes.push_back(credits(font));
  scenes.push_back(greets(font));
  return scenes;
}

std::vector<DataFile> make_scenes(const Font& font) {
  std::vector<DataFile> files;
  for (const ShowScene& scene : build_scenes(font)) {
    files.push_back({scene.file, scene_bytes(scene.desc)});
    for (const TextureImage& t : scene.textures) {
      const bool png = t.file.size() > 4 && t.file.substr(t.file.size() - 4) == ".png";
      files.push_back({t.file, png ? encode_png(t.image) : encode_bmp(t.image)});
    }
  }
  return files;
}

}  // namespace showdata
