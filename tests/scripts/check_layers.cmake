# scripts/check-layers on the real src/ (which must keep to the layers) and on a
# planted tree, where exactly the three includes that break the table are named.
#   cmake -DSCRIPT=... -DSRC=... -DWORK=... -P check_layers.cmake

execute_process(COMMAND ${SCRIPT} ${SRC} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "src/ breaks the layers (status ${rc}):\n${out}")
endif()

# Allowed on purpose: the file's own folder, a lower layer, a header beside the
# file, a <...> include and shell's use of the shell/base below it.
set(tree ${WORK}/check_layers_tree)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/scene/planted.cpp
  "#include <show/show.h>\n#include \"scene/mesh3d.h\"\n#include \"format3ds/chunk_file.h\"\n"
  "#include \"mesh3d.h\"\n#include \"show/show.h\"\n")
file(WRITE ${tree}/shell/base/planted.cpp "#include \"shell/app.h\"\n")
file(WRITE ${tree}/shell/planted.cpp "#include \"shell/base/log.h\"\n")
# Folders of one level may not include each other either.
file(WRITE ${tree}/overlay/planted.cpp "#include \"camera/camera3d.h\"\n")

execute_process(COMMAND ${SCRIPT} ${tree} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX MATCHALL "may not include" broken "${out}")
list(LENGTH broken count)
if(NOT rc EQUAL 1
   OR NOT count EQUAL 3
   OR NOT out MATCHES "scene/planted.cpp:5: scene may not include show/show.h"
   OR NOT out MATCHES "shell/base/planted.cpp:1: shell/base may not include shell/app.h"
   OR NOT out MATCHES "overlay/planted.cpp:1: overlay may not include camera/camera3d.h")
  message(FATAL_ERROR "the planted tree got status ${rc} and:\n${out}")
endif()
file(REMOVE_RECURSE ${tree})
