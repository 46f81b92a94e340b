// Every test program runs headless, on SDL's offscreen video and dummy audio
// drivers, unless the environment already names others. Set here rather than
// as a CTest property, which cannot carry two variables to discovered tests.
#include <cstdlib>

namespace {

[[maybe_unused]] const bool headless = [] {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

}  // namespace
