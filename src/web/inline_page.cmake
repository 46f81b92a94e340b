# Writes OUTPUT: the page PAGE with the program SCRIPT inside it in place of
# its <script src="plovermix.js">, so that one file holds the whole show.
#   cmake -DPAGE=index.html -DSCRIPT=plovermix-single.js -DOUTPUT=plovermix.html -P this
file(READ "${PAGE}" page)
file(READ "${SCRIPT}" script)
# A "</script" inside the program would end the element early.
string(REPLACE "</script" "<\\/script" script "${script}")
set(tag "<script src=\"plovermix.js\"></script>")
string(FIND "${page}" "${tag}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "inline_page: ${PAGE} has no ${tag}")
endif()
string(REPLACE "${tag}" "<script>\n${script}\n</script>" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
