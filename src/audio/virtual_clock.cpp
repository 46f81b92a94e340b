#include "audio/virtual_clock.h"

#include <cmath>

#include "audio/music_stream.h"

namespace {

class VirtualSource : public PositionSource {
 public:
  explicit VirtualSource(const VirtualClock& clock) : clock_(clock) {}
  bool play() override { return true; }
  double length_ms() const override { return clock_.pass_ms(); }
  int position_ms() override {
    const double whole = std::floor(clock_.elapsed_ms());
    return static_cast<int>(std::fmod(whole, clock_.pass_ms()));
  }
  void close() override {}

 private:
  const VirtualClock& clock_;
};

}  // namespace

std::unique_ptr<PositionSource> VirtualClock::source() {
  return std::make_unique<VirtualSource>(*this);
}
