#pragma once
// The GL functions and types of the backend, from the one header the build
// names: libepoxy's desktop GL today, GLES 3.0's for WebGL 2 in a browser.
// Every other file that calls GL includes this one.

#ifndef PLOVERMIX_GL_HEADER
#error "the build names the GL header in PLOVERMIX_GL_HEADER"
#endif

#include PLOVERMIX_GL_HEADER

#ifdef PLOVERMIX_GLES
// GLES has only the float forms of the depth calls.
inline void glClearDepth(double depth) { glClearDepthf(static_cast<float>(depth)); }
inline void glDepthRange(double near, double far) {
  glDepthRangef(static_cast<float>(near), static_cast<float>(far));
}
#endif
