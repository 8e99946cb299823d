# The layering rule: every file under src/ includes only headers of its own
# layer or of the layers below it. Run by CTest as
#   cmake -DSRC=<source dir>/src -P tests/layers.cmake
# and fails, naming each offending line, when an include points upward.
set(LAYERS base board eval search book learn frontend)  # bottom to top

file(GLOB_RECURSE FILES RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(BAD "")
foreach(f ${FILES})
  string(REGEX MATCH "^[^/]+" from "${f}")
  list(FIND LAYERS "${from}" fromRank)
  if(fromRank LESS 0)
    string(APPEND BAD "  ${f}: folder ${from} is no layer\n")
    continue()
  endif()
  file(STRINGS "${SRC}/${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${lines})
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" inc "${line}")
    string(REGEX MATCH "^[^/]+" to "${inc}")
    list(FIND LAYERS "${to}" toRank)
    if(toRank LESS 0 OR NOT inc MATCHES "/")
      string(APPEND BAD "  ${f}: include \"${inc}\" names no layer\n")
    elseif(toRank GREATER fromRank)
      string(APPEND BAD "  ${f}: include \"${inc}\" points up from ${from} to ${to}\n")
    endif()
  endforeach()
endforeach()
list(LENGTH FILES n)
if(BAD)
  message(FATAL_ERROR "Includes against the layers ${LAYERS}:\n${BAD}")
endif()
message(STATUS "layers: ${n} files, every include points down")
