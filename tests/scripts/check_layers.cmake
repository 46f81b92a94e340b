# scripts/check-layers on the real src/ (which must keep to the layers) and on a
# planted tree, where exactly the includes that break the rules are named.
#   cmake -DSCRIPT=... -DSRC=... -DWORK=... -P check_layers.cmake

execute_process(COMMAND ${SCRIPT} ${SRC} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "src/ breaks the layers (status ${rc}):\n${out}")
endif()

# Allowed on purpose: the file's own folder, a lower layer, a header beside the
# file, a <...> include, shell's use of the shell/base below it, shell's use of
# the platform's libraries and gl_api.h's of the GL header.
set(tree ${WORK}/check_layers_tree)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/scene/planted.cpp
  "#include <show/show.h>\n#include \"scene/mesh3d.h\"\n#include \"format3ds/chunk_file.h\"\n"
  "#include \"mesh3d.h\"\n#include \"show/show.h\"\n#include <SDL.h>\n")
# shell/base is a Part below shell: the platform's libraries are as foreign to it as to scene.
file(WRITE ${tree}/shell/base/planted.cpp
  "#include \"shell/app.h\"\n#include <libavutil/frame.h>\n")
# A GL header is gl_api.h's alone, in shell and in gfx's other files too.
file(WRITE ${tree}/shell/planted.cpp
  "#include \"shell/base/log.h\"\n#include <SDL.h>\n#include <libavcodec/avcodec.h>\n"
  "#include <epoxy/gl.h>\n")
file(WRITE ${tree}/gfx/gl_api.h "#include <epoxy/gl.h>\n")
file(WRITE ${tree}/gfx/planted.cpp "#include \"gfx/gl_api.h\"\n#  include \"GLES3/gl3.h\"\n")
# Capture sits between shell and show, with FFmpeg as its own library.
file(WRITE ${tree}/capture/planted.cpp
  "#include \"show/show.h\"\n#include <libavcodec/avcodec.h>\n")
file(WRITE ${tree}/show/planted.cpp
  "#include \"capture/video_player.h\"\n#include <emscripten/html5.h>\n")
# The page is the desktop's peer: Emscripten is its own, the desktop's shell is not.
file(WRITE ${tree}/web/planted.cpp
  "#include <emscripten/html5.h>\n#include \"show/show.h\"\n#include \"shell/app.h\"\n")
# Folders of one level may not include each other either.
file(WRITE ${tree}/overlay/planted.cpp "#include \"camera/camera3d.h\"\n")

execute_process(COMMAND ${SCRIPT} ${tree} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX MATCHALL "may not include" broken "${out}")
list(LENGTH broken count)
if(NOT rc EQUAL 1
   OR NOT count EQUAL 10
   OR NOT out MATCHES "show/planted.cpp:1: show may not include capture/video_player.h"
   OR NOT out MATCHES "scene/planted.cpp:5: scene may not include show/show.h"
   OR NOT out MATCHES "shell/base/planted.cpp:1: shell/base may not include shell/app.h"
   OR NOT out MATCHES "show/planted.cpp:2: show may not include platform header <emscripten/html5.h>\n"
   OR NOT out MATCHES "web/planted.cpp:3: web may not include shell/app.h"
   OR NOT out MATCHES "overlay/planted.cpp:1: overlay may not include camera/camera3d.h"
   OR NOT out MATCHES "scene/planted.cpp:6: scene may not include platform header <SDL.h>\n"
   OR NOT out MATCHES
      "shell/base/planted.cpp:2: shell/base may not include platform header <libavutil/frame.h>\n"
   OR NOT out MATCHES
      "shell/planted.cpp:4: shell may not include GL header <epoxy/gl.h>, only gfx/gl_api.h does\n"
   OR NOT out MATCHES
      "gfx/planted.cpp:2: gfx may not include GL header \"GLES3/gl3.h\", only gfx/gl_api.h does\n")
  message(FATAL_ERROR "the planted tree got status ${rc} and:\n${out}")
endif()
file(REMOVE_RECURSE ${tree})
