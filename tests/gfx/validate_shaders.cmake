# Checks every shader in SHADERS (a folder) with glslangValidator, assembled as the
# GL backend hands it to the driver: the version line, the variant's #define
# lines, the shared BLOCK file, then the .vert/.frag body. Each body is checked
# with no variant and with every name its #ifdef and #ifndef lines test defined.
# Each is written to WORK with its stage's extension, so a reported line number
# can be looked up there.
#   cmake -DVALIDATOR=... -DVERSION=... -DSHADERS=... -DBLOCK=... -DWORK=... -P this
foreach(var VALIDATOR VERSION SHADERS BLOCK WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "validate_shaders: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${VALIDATOR}")
  message(FATAL_ERROR "validate_shaders: no glslangValidator (${VALIDATOR}); "
                      "scripts/install-deps installs glslang-tools")
endif()

file(READ "${SHADERS}/${BLOCK}" block)
file(GLOB bodies "${SHADERS}/*.vert" "${SHADERS}/*.frag")
if(NOT bodies)
  message(FATAL_ERROR "validate_shaders: no .vert or .frag in ${SHADERS}")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failed)
foreach(body_file ${bodies})
  get_filename_component(name "${body_file}" NAME)
  file(READ "${body_file}" body)
  string(REGEX MATCHALL "#ifn?def [A-Z_0-9]+" tests "${body}")
  string(REGEX REPLACE "#ifn?def " "#define " defines "${tests}")
  list(REMOVE_DUPLICATES defines)
  list(JOIN defines "\n" every)
  foreach(variant plain every)
    set(prelude "")
    if(variant STREQUAL "every" AND defines)
      set(prelude "${every}\n")
    endif()
    set(assembled "${WORK}/${variant}/${name}")
    file(WRITE "${assembled}" "#version ${VERSION}\n${prelude}${block}${body}")
    execute_process(COMMAND "${VALIDATOR}" "${assembled}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(rc EQUAL 0)
      message(STATUS "${name} (${variant}): ok")
    else()
      message("${name} (as ${assembled}):\n${out}")
      list(APPEND failed "${name} (${variant})")
    endif()
  endforeach()
endforeach()
if(failed)
  message(FATAL_ERROR "validate_shaders: these do not compile: ${failed}")
endif()
