// bench_loop DATA [STEP_MS]: whether looping holds memory steady. Runs the
// built plovermix offscreen with `--fixed-step STEP_MS --start 230000` and
// `--loop 2`, `--loop 3` and `--loop 10`, and prints the peak resident memory
// of each process: each pass after the first starts from the state loading
// left, so more passes may not add more than 2 MB. The step (default 100 ms,
// 2400 frames a pass) keeps ten passes within about a minute and a half.
//
// llvmpipe grows once, by about 4.5 MB, during the second whole pass (the
// third with --start 230000), and never again: it compiles more of its own
// shader variants there (softpipe grows by 0.4 MB). So the verdict compares
// ten passes with three; the growth from two is printed beside it.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double ALLOWED_GROWTH_MB = 2.0;

// The peak resident memory of one run in MB, or a negative number when the
// run failed.
double peak_mb(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    // The readers' progress texts would bury the figures.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
      _exit(127);
    }
    execv(program.c_str(), argv.data());
    std::perror("bench_loop: cannot start plovermix");
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    return -1.0;
  }
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KB
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: bench_loop DATA [STEP_MS]\n");
    return 2;
  }
  const std::string step = argc == 3 ? argv[2] : "100";
  // The program sits one folder above its benchmarks in the build.
  const std::filesystem::path own = std::filesystem::read_symlink("/proc/self/exe");
  const std::string program = (own.parent_path().parent_path() / "plovermix").string();
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);

  double peaks[3] = {};
  const char* const passes[3] = {"2", "3", "10"};
  for (int i = 0; i < 3; ++i) {
    peaks[i] = peak_mb(program, {"--windowed", "--data", argv[1], "--fixed-step", step, "--start",
                                 "230000", "--loop", passes[i]});
    if (peaks[i] < 0.0) {
      std::fprintf(stderr, "bench_loop: %s --loop %s failed\n", program.c_str(), passes[i]);
      return 1;
    }
    std::printf("peak resident memory, %2s passes of %s ms steps: %7.1f MB\n", passes[i],
                step.c_str(), peaks[i]);
  }
  const double growth = peaks[2] - peaks[1];
  std::printf("growth from 3 to 10 passes: %.1f MB (at most %.0f MB); from 2 to 10: %.1f MB\n",
              growth, ALLOWED_GROWTH_MB, peaks[2] - peaks[0]);
  return growth <= ALLOWED_GROWTH_MB ? 0 : 1;
}
