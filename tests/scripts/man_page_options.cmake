# The man page's OPTIONS name exactly the long options `plovermix --help` lists.
#   cmake -DPROGRAM=... -DMAN_PAGE=... -P man_page_options.cmake

# --help: the option column, "  -h,--help" or "  --windowed [WxH]".
execute_process(COMMAND ${PROGRAM} --help RESULT_VARIABLE rc OUTPUT_VARIABLE help ERROR_VARIABLE help)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (status ${rc}):\n${help}")
endif()
string(REGEX MATCHALL "\n  (-[a-z],)?--[a-z-]+" listed "${help}")
list(TRANSFORM listed REPLACE "^\n  (-[a-z],)?" "")

# The man page: the tag line after each .TP of the OPTIONS section.
file(READ ${MAN_PAGE} page)
string(REPLACE "\\-" "-" page "${page}")
string(FIND "${page}" "\n.SH OPTIONS\n" start)
string(SUBSTRING "${page}" ${start} -1 options)
string(REGEX REPLACE "^\n\\.SH OPTIONS" "" options "${options}")
string(REGEX REPLACE "\n\\.SH .*" "" options "${options}")
string(REGEX MATCHALL "\n\\.TP\n[^\n]*" tags "${options}")
set(documented)
foreach(tag IN LISTS tags)
  string(REGEX MATCHALL "--[a-z-]+" names "${tag}")
  list(APPEND documented ${names})
endforeach()

foreach(side listed documented)
  list(REMOVE_DUPLICATES ${side})
  list(SORT ${side})
endforeach()
if(NOT listed STREQUAL documented OR listed STREQUAL "")
  message(FATAL_ERROR "--help lists: ${listed}\nthe man page's OPTIONS: ${documented}")
endif()
