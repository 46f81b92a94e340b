#pragma once
// The camera's messages to the log.
//
//   camera_error(code)        the line of a CameraErrorCode; other codes write nothing
//   report_load_result(code)  the constructor's line for a failed key import

#include <cstdint>

// What went wrong; the values are the codes the show always used.
enum CameraErrorCode : std::int32_t {
  CAMERA_LOAD_PROBLEM = 1,
  CAMERA_NO_PATH = 2,
  CAMERA_SET_TRANSFORM_REFUSED = 3,
  CAMERA_PERSPECTIVE_NOT_BUILT = 4,
};

void camera_error(CameraErrorCode code);

// "\nCamera load problem : %ld" with the number given: the importer's result
// (KeyImportResult, 1 to 10), nothing for 0. Every failed import gets this
// one line, so that the number in the log is the importer's own and no
// failure goes unreported.
void report_load_result(std::int32_t result);
