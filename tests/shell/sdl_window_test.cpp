#include "shell/sdl_window.h"

#include <gtest/gtest.h>

namespace {

TEST(SdlShowWindow, CloseRequestSeenByTheShowAfterPumping) {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
  SdlShowWindow window;
  window.pump_events();
  EXPECT_FALSE(window.close_requested());
  EXPECT_FALSE(window.escape_down());

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  EXPECT_FALSE(window.close_requested()) << "seen only once events are pumped";
  window.pump_events();
  EXPECT_TRUE(window.close_requested());
  SDL_Quit();
}

}  // namespace
