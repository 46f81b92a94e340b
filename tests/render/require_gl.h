#pragma once
// A render test on a machine without a GL context skips itself, except in CI
// (CI set, as CI systems do): there a context is expected, and a broken setup
// must not pass as a run of skipped tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

inline bool in_ci() {
  const char* ci = std::getenv("CI");
  if (ci == nullptr) return false;
  const std::string_view value(ci);
  return !value.empty() && value != "0" && value != "false";
}

// Ends the calling test (a void function) because GL is missing: a failure in
// CI, a skip elsewhere.
#define PLOVERMIX_NO_GL(message)                                                  \
  do {                                                                            \
    if (in_ci()) {                                                                \
      GTEST_FAIL() << (message) << "; with CI set, no GL context fails the test"; \
    }                                                                             \
    GTEST_SKIP() << (message);                                                    \
  } while (0)
