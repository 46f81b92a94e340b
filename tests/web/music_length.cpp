// music_length FILE: how long the desktop's decoder (SDL2_mixer's) makes FILE,
// where its looping stream starts over: the decoded samples at the mixer's
// 44100 Hz, in ms with three decimals. The browser tier holds the page's loop
// length to it. (Mix_MusicDuration, which the player reads, says the same for
// a file with a gapless tag and only estimates one without.)

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: music_length FILE\n");
    return 2;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);  // decoding needs no sound card
  constexpr int RATE = 44100, CHANNELS = 2;
  if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(RATE, AUDIO_S16SYS, CHANNELS, 2048) != 0) {
    std::fprintf(stderr, "music_length: no mixer: %s\n", Mix_GetError());
    return 1;
  }
  Mix_Chunk* decoded = Mix_LoadWAV(argv[1]);
  if (decoded == nullptr) {
    std::fprintf(stderr, "music_length: cannot decode %s: %s\n", argv[1], Mix_GetError());
    return 1;
  }
  const double samples = decoded->alen / (CHANNELS * 2.0);
  std::printf("%.3f\n", samples * 1000.0 / RATE);
  Mix_FreeChunk(decoded);
  Mix_CloseAudio();
  SDL_Quit();
  return 0;
}
