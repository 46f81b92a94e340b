// The music's own clock, with the caller's times: it stands still while
// paused, and a seek while paused holds until resumed.
#include "audio/own_clock.h"

#include <gtest/gtest.h>

TEST(OwnClock, LeavesPausesOutAndSeeksWhilePaused) {
  OwnClock clock;
  clock.start(1000.0);
  EXPECT_EQ(clock.position_ms(1250.0), 250);
  clock.pause(1500.0);
  clock.pause(1700.0);  // paused already: the first pause holds
  EXPECT_EQ(clock.position_ms(9000.0), 500);
  clock.seek(9000.0, 60000);
  EXPECT_EQ(clock.position_ms(9500.0), 60000);
  clock.resume(10000.0);
  EXPECT_EQ(clock.position_ms(10100.0), 60100);
  clock.resume(10200.0);  // running already: nothing changes
  EXPECT_EQ(clock.position_ms(10300.0), 60300);
  clock.start(20000.0);  // play again: from 0, running
  EXPECT_EQ(clock.position_ms(20040.0), 40);
}
