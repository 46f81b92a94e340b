#include "camera/camera_error.h"

#include "shell/base/log.h"

void camera_error(CameraErrorCode code) {
  switch (code) {
    case CAMERA_LOAD_PROBLEM:
      report_load_result(code);
      break;
    case CAMERA_NO_PATH:
      write_log("\nCamera draw impossible : no path");
      break;
    case CAMERA_SET_TRANSFORM_REFUSED:
      write_log("\nCamera SetTransform error");
      break;
    case CAMERA_PERSPECTIVE_NOT_BUILT:
      write_log("\nCamera MatrixPerspective error");
      break;
    default:
      break;
  }
}

void report_load_result(std::int32_t result) {
  if (result != 0) {
    write_log("\nCamera load problem : %ld", static_cast<long>(result));
  }
}
