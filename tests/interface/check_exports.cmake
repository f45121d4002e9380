# cmake -DLIBRARY=... -DTOOL=... -DFORMAT=pe|elf -P check_exports.cmake
# The library shows its host exactly the drill-through functions, under their
# plain names: nothing of its inside leaks out, nothing is decorated.
cmake_minimum_required(VERSION 3.20)
set(expected ZevDTClose ZevDTExit ZevDTGetData ZevDTGetHeader ZevDTGetHeaderInfo ZevDTGetSourcePassword
             ZevDTInit ZevDTOpen ZevDTSetSourcePassword)
if(FORMAT STREQUAL "pe")
  execute_process(COMMAND ${TOOL} -p ${LIBRARY} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)*)" table "${out}")
  string(REGEX MATCHALL "\\[ *[0-9]+\\] [^ \t\r\n]+" entries "${CMAKE_MATCH_1}")
  set(names)
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^.*\\] " "" name "${entry}")
    list(APPEND names "${name}")
  endforeach()
else()
  # Systems without the platform's string loading and without visible message
  # boxes also get the text of a code and of the last message a handle showed.
  list(APPEND expected ZevDTLoadString ZevDTGetLastMessage)
  execute_process(COMMAND ${TOOL} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  # Functions only: the runtime's unique data objects (u, V, W) are not exports of ours.
  string(REGEX MATCHALL "[0-9a-f]+ T [^\n]+" lines "${out}")
  list(TRANSFORM lines REPLACE "^[0-9a-f]+ T " "")
  set(names ${lines})
  list(FILTER names EXCLUDE REGEX "^_(init|fini)$")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed on ${LIBRARY}")
endif()
list(SORT names)
list(SORT expected)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exports of ${LIBRARY}:\n  ${names}\nexpected:\n  ${expected}")
endif()
list(LENGTH names n)
message(STATUS "${n} exports, as expected")
