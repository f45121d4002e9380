# cmake -DBUILD_DIR=... -DEXT=zip|tar.gz -DREQUIRED=a|b|...
#       -DBINARIES=a|b|... -DOBJDUMP=... -DOBJCOPY=... [-DMSVC_CHECK=clang|target|lld-link|machine|host.c]
#       -P package_contents.cmake
#
# Makes the packages with cpack and checks them as a host developer unpacks
# them: every REQUIRED file in the main archive, BINARIES without debug
# sections but with a debuglink that matches their .debug files, which (and
# nothing else) are in the -debug archive. With MSVC_CHECK, a host compiled for MSVC links against the
# package's .lib files with lld-link and imports the exports from ZEVDTU.dll.
cmake_minimum_required(VERSION 3.20)
foreach(list REQUIRED BINARIES MSVC_CHECK)
  string(REPLACE "|" ";" ${list} "${${list}}")
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/RunStep.cmake)

# The archives' names, as cmake/Packaging.cmake gave them to cpack.
include(${BUILD_DIR}/CPackConfig.cmake)
set(NAME ${CPACK_ARCHIVE_UNSPECIFIED_FILE_NAME})
if(NOT NAME OR NOT CPACK_ARCHIVE_DEBUG_FILE_NAME STREQUAL "${NAME}-debug")
  message(FATAL_ERROR "CPackConfig.cmake names no main and -debug archive")
endif()
set(packages ${BUILD_DIR}/packages)
file(REMOVE_RECURSE ${packages})
run(cpack COMMAND cpack --config ${BUILD_DIR}/CPackConfig.cmake WORKING_DIRECTORY ${BUILD_DIR})
set(work ${packages}/unpacked)
foreach(archive ${NAME} ${NAME}-debug)
  if(NOT EXISTS ${packages}/${archive}.${EXT})
    file(GLOB made ${packages}/*)
    message(FATAL_ERROR "no ${archive}.${EXT}; cpack made: ${made}")
  endif()
  file(SIZE ${packages}/${archive}.${EXT} size)
  message(STATUS "${archive}.${EXT}: ${size} bytes")
  file(MAKE_DIRECTORY ${work}/${archive})
  run(unpack COMMAND ${CMAKE_COMMAND} -E tar xf ${packages}/${archive}.${EXT} WORKING_DIRECTORY ${work}/${archive})
  file(GLOB_RECURSE files RELATIVE ${work}/${archive} LIST_DIRECTORIES false ${work}/${archive}/*)
  list(SORT files)
  set(${archive}_files ${files})
endforeach()

set(main ${work}/${NAME})
string(REPLACE ";" "\n  " listing "${${NAME}_files}")
foreach(file ${REQUIRED})
  if(NOT file IN_LIST ${NAME}_files)
    message(FATAL_ERROR "${NAME}.${EXT} lacks ${file}; it holds:\n  ${listing}")
  endif()
endforeach()
set(debug_files)
foreach(binary ${BINARIES})
  list(APPEND debug_files ${binary}.debug)
  run(sections COMMAND ${OBJDUMP} -h ${main}/${binary})
  if(sections_out MATCHES "\\.debug_info")
    message(FATAL_ERROR "${binary} is not stripped")
  endif()
  if(NOT sections_out MATCHES "\\.gnu_debuglink")
    message(FATAL_ERROR "${binary} has no debuglink")
  endif()
  set(debug_file ${work}/${NAME}-debug/${binary}.debug)
  run(symbols COMMAND ${OBJDUMP} -h ${debug_file})
  if(NOT symbols_out MATCHES "\\.debug_info")
    message(FATAL_ERROR "${binary}.debug holds no debug information")
  endif()
  # The debuglink holds the .debug file's name and CRC: written again from the
  # packaged .debug file, it must come out the same, or gdb ignores the file.
  get_filename_component(base ${binary} NAME)
  run(link COMMAND ${OBJCOPY} --dump-section .gnu_debuglink=${work}/${base}.link ${main}/${binary})
  run(relink COMMAND ${OBJCOPY} --remove-section .gnu_debuglink --add-gnu-debuglink=${debug_file}
                     ${main}/${binary} ${work}/${base}.relinked)
  run(link COMMAND ${OBJCOPY} --dump-section .gnu_debuglink=${work}/${base}.link2 ${work}/${base}.relinked)
  file(SHA256 ${work}/${base}.link packaged)
  file(SHA256 ${work}/${base}.link2 expected)
  if(NOT packaged STREQUAL expected)
    message(FATAL_ERROR "the debuglink of ${binary} does not match ${binary}.debug (name or CRC)")
  endif()
endforeach()
list(SORT debug_files)
if(NOT "${${NAME}-debug_files}" STREQUAL "${debug_files}")
  message(FATAL_ERROR "${NAME}-debug.${EXT} holds ${${NAME}-debug_files}, expected ${debug_files}")
endif()
foreach(file ${${NAME}_files})
  if(file MATCHES "\\.debug$")
    message(FATAL_ERROR "${NAME}.${EXT} holds the debug file ${file}")
  endif()
endforeach()
message(STATUS "${NAME}.${EXT}:\n  ${listing}")

if(MSVC_CHECK)
  list(GET MSVC_CHECK 0 clang)
  list(GET MSVC_CHECK 1 target)
  list(GET MSVC_CHECK 2 lld_link)
  list(GET MSVC_CHECK 3 machine)
  list(GET MSVC_CHECK 4 host)
  # No C runtime: the headers of clang's freestanding mode and an entry point of our own.
  run(compile COMMAND ${clang} --target=${target} -ffreestanding -fno-builtin -I${main}/include
                      -c ${host} -o ${work}/msvc_host.obj)
  run(link COMMAND ${lld_link} /nologo /nodefaultlib /entry:entry /subsystem:console /machine:${machine}
                   /out:${work}/msvc_host.exe ${work}/msvc_host.obj ${main}/lib/ZEVDTU.lib
                   ${main}/lib/zevdtapiu.lib)
  run(imports COMMAND ${OBJDUMP} -p ${work}/msvc_host.exe)
  foreach(name ZevDTInit ZevDTOpen ZevDTGetHeader ZevDTGetHeaderInfo ZevDTGetData ZevDTClose
               ZevDTGetSourcePassword ZevDTSetSourcePassword ZevDTExit)
    if(NOT imports_out MATCHES "DLL Name: ZEVDTU.dll" OR NOT imports_out MATCHES "[ \t]${name}\n")
      message(FATAL_ERROR "the MSVC host does not import ${name} from ZEVDTU.dll:\n${imports_out}")
    endif()
  endforeach()
  message(STATUS "an MSVC-built host links against lib/ZEVDTU.lib and imports the nine exports")
endif()
