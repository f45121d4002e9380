# zevdt::xlsxwriter - the library zevdt writes .xlsx files with.
# Native: the system's libxlsxwriter (libxlsxwriter-dev). Cross (mingw): Debian's
# source of the same release, which scripts/prepare-xlsxwriter puts into the build
# tree, compiled here into a static library against the mingw zlib
# (libz-mingw-w64-dev); configuring runs the script when the folder is empty.
if(WIN32)
  set(ZEVDT_XLSXWRITER_SOURCE "${CMAKE_SOURCE_DIR}/build/_deps/xlsxwriter" CACHE PATH
      "Folder holding libxlsxwriter's sources for the cross build")
  set(src "${ZEVDT_XLSXWRITER_SOURCE}")
  if(NOT EXISTS "${src}/src/workbook.c")
    message(STATUS "Preparing libxlsxwriter's sources in ${src}")
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/prepare-xlsxwriter "${src}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT EXISTS "${src}/src/workbook.c")
      message(FATAL_ERROR "The cross build needs libxlsxwriter's sources in ZEVDT_XLSXWRITER_SOURCE "
                          "(scripts/prepare-xlsxwriter failed)")
    endif()
  endif()
  find_library(ZEVDT_MINGW_ZLIB NAMES libz.a REQUIRED)
  file(GLOB xlsxwriter_sources "${src}/src/*.c")
  add_library(zevdt_xlsxwriter STATIC ${xlsxwriter_sources}
    "${src}/third_party/minizip/ioapi.c" "${src}/third_party/minizip/zip.c"
    "${src}/third_party/minizip/iowin32.c" "${src}/third_party/tmpfileplus/tmpfileplus.c"
    "${src}/third_party/md5/md5.c")
  target_include_directories(zevdt_xlsxwriter SYSTEM PUBLIC "${src}/include")
  target_include_directories(zevdt_xlsxwriter PRIVATE "${src}/third_party")
  # mingw has no fopen64 and friends; minizip then takes the 32-bit names, whose
  # offsets mingw's own headers make 64-bit.
  target_compile_definitions(zevdt_xlsxwriter PRIVATE USE_FILE32API)
  target_link_libraries(zevdt_xlsxwriter PUBLIC ${ZEVDT_MINGW_ZLIB})
  # Third-party code: no warnings, no debug information.
  target_compile_options(zevdt_xlsxwriter PRIVATE -w -Wno-error -g0)
  add_library(zevdt::xlsxwriter ALIAS zevdt_xlsxwriter)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET GLOBAL xlsxwriter)
  add_library(zevdt::xlsxwriter ALIAS PkgConfig::XLSXWRITER)
endif()
