// The program as a user starts it: exit statuses and messages of the command line.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "show/bmp_fixture.h"

namespace {

struct ProgramRun {
  int status = -1;
  std::string output;  // standard output and error together
};

ProgramRun run_plovermix(const std::string& arguments, const std::string& environment = "") {
  const std::string command =
      environment + " " + PLOVERMIX_BINARY_DIR "/plovermix " + arguments + " 2>&1";
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  std::array<char, 4096> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
    run.output += buffer.data();
  }
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

TEST(CommandLine, UnknownOptionIsRefusedWithStatus2) {
  const ProgramRun run = run_plovermix("--bogus");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("plovermix: unknown option '--bogus'"), std::string::npos)
      << run.output;
}

TEST(CommandLine, MalformedPlayerOptionIsRefusedWithStatus2) {
  const ProgramRun run = run_plovermix("--steps-per-second 0");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output,
            "plovermix: --steps-per-second needs a whole number from 1 to 1000\n"
            "Try 'plovermix --help'.\n");
}

TEST(CommandLine, HelpAndVersionExitZero) {
  const ProgramRun help = run_plovermix("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("--windowed"), std::string::npos);
  const ProgramRun version = run_plovermix("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output.rfind("plovermix ", 0), 0u) << version.output;
}

TEST(CommandLine, MissingDataFolderIsAFailureWithItsReason) {
  const ProgramRun run = run_plovermix("--data /nonexistent/plovermix-data");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("cannot use the data folder '/nonexistent/plovermix-data'"),
            std::string::npos)
      << run.output;
}

TEST(CommandLine, NoGraphicsIsAFailureWithItsReason) {
  // SDL's dummy video driver has no OpenGL: nothing can be drawn, so the program
  // says why and fails instead of reporting success.
  const ProgramRun run = run_plovermix("--windowed", "SDL_VIDEODRIVER=dummy");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("plovermix: cannot create the"), std::string::npos) << run.output;
}

TEST(CommandLine, DeviceThatCannotBeCreatedIsAFailureWithItsReason) {
  // Mesa told to offer OpenGL 3.0 only cannot give the 3.3 core context.
  const ProgramRun run = run_plovermix("--windowed --fixed-step",
                                       "SDL_VIDEODRIVER=offscreen MESA_GL_VERSION_OVERRIDE=3.0");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("plovermix: cannot create the graphics device: "), std::string::npos)
      << run.output;
}

TEST(CommandLine, ASampleCountTheDriverLacksIsAFailureWithItsReason) {
  // Mesa's llvmpipe offers up to 4 samples a pixel; a driver offering 8 passes.
  const ProgramRun run =
      run_plovermix("--windowed --msaa 8 --fixed-step 60000", "SDL_VIDEODRIVER=offscreen");
  if (run.status == 0) {
    GTEST_SKIP() << "this driver draws with 8 samples";
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("plovermix: cannot use --msaa 8: this driver offers multisampling up "
                            "to "),
            std::string::npos)
      << run.output;
}

// Started in the wrong folder, the show says at once what it lacks, plays on,
// and ends as usual; a file spelt in other letter case is the show's file.
TEST(CommandLine, MissingFilesAreNamedInOneLineAndOtherCaseIsFound) {
  const std::filesystem::path dir = fresh_folder("plovermix-missing");
  write_bmp(dir / "PRESENTS.BMP", 4, 4, 0xFFFFFF);
  std::filesystem::create_directory(dir / "gilb.bmp");  // a folder where a file should be
  const ProgramRun run =
      run_plovermix("--data " + dir.string() + " --windowed --fixed-step 1000 --trace " +
                    (dir / "trace.jsonl").string());
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(
      run.output.find("plovermix: 26 of the show's 28 files are missing from " + dir.string() +
                      ": vorn.mp3, echec.3ds, tunnel2.3ds, node.3ds, indus.3ds, credits.3ds, "
                      "greets.3ds, logo.bmp, since.bmp, Talvores.bmp, tesk.bmp,"),
      std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find(", particule2.bmp; 1 cannot be read: gilb.bmp (use --data DIR)\n"),
            std::string::npos)
      << run.output;
  std::ifstream in(dir / "trace.jsonl");
  std::stringstream trace;
  trace << in.rdbuf();
  EXPECT_NE(trace.str().find("{\"call\":\"DrawSprite\",\"texture\":\"PRESENTS.BMP\""),
            std::string::npos);
  std::filesystem::remove_all(dir);
}

}  // namespace
