// The program as a person installs it: into a prefix under DESTDIR, started
// from a folder without a show, it plays the stand-in show installed beside it
// and logs under the user's state folder.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/plovermix_run.h"
#include "show/bmp_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST(Install, TheInstalledProgramPlaysItsOwnShowFromAnEmptyFolder) {
  const fs::path root = fresh_folder("plovermix-install");
  const fs::path stage = root / "stage", empty = root / "empty", state = root / "state";
  fs::create_directories(empty);
  const std::string install = "DESTDIR='" + stage.string() + "' cmake --install '" +
                              PLOVERMIX_BINARY_DIR + "' --prefix /usr > '" +
                              (root / "install.txt").string() + "' 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << e2e::read_text(root / "install.txt");
  const fs::path program = stage / "usr" / "bin" / "plovermix";
  ASSERT_TRUE(fs::exists(program));
  ASSERT_TRUE(fs::exists(stage / "usr" / "share" / "plovermix" / "data" / "vorn.mp3"));
  EXPECT_FALSE(fs::exists(stage / "usr" / "share" / "plovermix" / "data" / ".showdata-stamp"));

  const std::string run =
      "cd '" + empty.string() + "' && LSAN_OPTIONS=exitcode=0 XDG_STATE_HOME='" + state.string() +
      "' '" + program.string() + "' --fixed-step --frames-at 13000 --out '" +
      (root / "out").string() + "' > '" + (root / "run.txt").string() + "' 2>&1";
  const int raw = std::system(run.c_str());
  const std::string said = e2e::read_text(root / "run.txt");
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << said;
  EXPECT_NE(said.find("playing the stand-in show installed in " +
                      (stage / "usr" / "share" / "plovermix" / "data").string()),
            std::string::npos)
      << said;
  EXPECT_TRUE(fs::is_empty(empty)) << "nothing written where it was started";
  EXPECT_NE(e2e::read_text(state / "plovermix" / "plovermix.log").find("stand-in show installed"),
            std::string::npos);

  // The chess hall is lit: far from a black frame.
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels =
      stbi_load((root / "out" / "frame-13000.png").c_str(), &width, &height, &channels, 3);
  ASSERT_NE(pixels, nullptr);
  double sum = 0.0;
  for (int i = 0; i < width * height * 3; ++i) sum += pixels[i];
  stbi_image_free(pixels);
  EXPECT_GT(sum / (width * height * 3), 30.0);
  fs::remove_all(root);
}

}  // namespace
