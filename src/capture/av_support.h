#pragma once
// What the FFmpeg-facing files of this folder share; kept free of FFmpeg's own
// headers so that it can sit beside the public ones.
//
//   quiet_ffmpeg_log   once per process: FFmpeg reports errors only, so its
//                      chatter does not mix with the caller's progress lines
//   av_error_text      an AVERROR code as the sentence FFmpeg gives for it
//   AvPtr              owns an FFmpeg object and frees it with its own function,
//                      whether that takes the pointer or its address

#include <memory>
#include <string>
#include <type_traits>

void quiet_ffmpeg_log();
std::string av_error_text(int code);

template <auto free_function>
struct FreeWith {
  template <class T>
  void operator()(T* object) const {
    if constexpr (std::is_invocable_v<decltype(free_function), T**>)
      free_function(&object);
    else
      free_function(object);
  }
};

template <class T, auto free_function>
using AvPtr = std::unique_ptr<T, FreeWith<free_function>>;
