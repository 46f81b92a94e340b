#include "show/render_size_fit.h"

#include <cstdio>

#include "shell/base/log.h"

namespace {
// A drawn frame may take a quarter more than the refresh interval, for the
// present's own wait, before it counts as too slow.
constexpr double SLOW_MARGIN = 1.25;
}  // namespace

RenderSizeFit::RenderSizeFit(bool follow, double refresh_interval_ms)
    : follow_(follow), slow_(refresh_interval_ms * SLOW_MARGIN) {}

void RenderSizeFit::fit(Presenter& presenter, PixelSize picture) {
  if (follow_ && !(picture == presenter.render_size())) {
    presenter.set_render_size(picture);
  }
}

void RenderSizeFit::frame_drawn(Presenter& presenter, double took_ms, double now) {
  const PixelSize slow = presenter.render_size();
  if (slow == PixelSize{} || !slow_.add(took_ms, now) || !presenter.set_render_size(PixelSize{})) {
    return;
  }
  follow_ = false;  // a larger picture must not bring the slow size back
  std::fprintf(stderr,
               "plovermix: drawing at %dx%d is too slow for this display; drawing at 800x600 "
               "from now on\n",
               slow.width, slow.height);
  write_log("\nDrawing at %dx%d is too slow for this display; drawing at 800x600 from now on",
            slow.width, slow.height);
}
