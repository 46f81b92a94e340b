#pragma once
// The camera's messages to the log.
//
//   camera_error(code)        1 load problem, 2 no path, 3 SetTransform refused,
//                             4 projection not built; other codes write nothing
//   report_load_result(code)  the constructor's line for a failed key import

#include <cstdint>

void camera_error(std::int32_t code);

// "\nCamera load problem : %ld" with the importer's result (1 to 10), nothing
// for 0. Every failed import gets this one line, so that the number in the
// log is the importer's own and no failure goes unreported.
void report_load_result(std::int32_t result);
