#pragma once
// Console texts are written with C stdio and flushed only where the reader
// flushes, so a capture must flush before it reads. take() returns what was
// written so far and goes on capturing until the capture is destroyed.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

class StdoutCapture {
 public:
  StdoutCapture() { start(); }
  ~StdoutCapture() {
    std::fflush(stdout);
    testing::internal::GetCapturedStdout();
  }
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  std::string take() {
    std::fflush(stdout);
    std::string text = testing::internal::GetCapturedStdout();
    start();
    return text;
  }

 private:
  static void start() {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
  }
};
