#include "camera/camera_error.h"

#include "shell/base/log.h"

void camera_error(std::int32_t code) {
  switch (code) {
    case 1:
      report_load_result(code);
      break;
    case 2:
      write_log("\nCamera draw impossible : no path");
      break;
    case 3:
      write_log("\nCamera SetTransform error");
      break;
    case 4:
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
