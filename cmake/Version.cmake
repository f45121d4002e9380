# The project's version (project() in the top CMakeLists) in the Windows binaries.
#
# zevdt_version_resource(target DESCRIPTION text)
#   On Windows links a VERSIONINFO resource into `target`: file and product version
#   from PROJECT_VERSION, the description, and the file's own name, which is what
#   Explorer's properties and GetFileVersionInfo show. Elsewhere nothing: a shared
#   library there carries its version in its SONAME.
#
# zevdt_versioned_library(target DESCRIPTION text)
#   A shared library as it ships: on Linux file name and SONAME carry the version
#   (libX.so -> libX.so.1 -> libX.so.1.0.0, SONAME libX.so.1: hosts linked against
#   one major version keep loading it), on Windows the version resource.
set(ZEVDT_VERSION_RC_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)

function(zevdt_version_resource target)
  cmake_parse_arguments(V "" "DESCRIPTION" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(ZEVDT_FILE_TYPE 0x1L)  # VFT_APP
  else()
    set(ZEVDT_FILE_TYPE 0x2L)  # VFT_DLL
  endif()
  set(ZEVDT_FILE_DESCRIPTION "${V_DESCRIPTION}")
  set(ZEVDT_INTERNAL_NAME "$<TARGET_FILE_BASE_NAME:${target}>")
  set(ZEVDT_ORIGINAL_FILENAME "$<TARGET_FILE_NAME:${target}>")
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/version_resource)
  set(rc ${dir}/${target}_version.rc)
  set(obj ${dir}/${target}_version_rc.o)
  # Numbers now, the file's name once the generator knows it.
  configure_file(${ZEVDT_VERSION_RC_TEMPLATE} ${rc}.in @ONLY)
  file(GENERATE OUTPUT ${rc} INPUT ${rc}.in)
  # The resource script includes nothing, so windres needs no header search path.
  add_custom_command(
    OUTPUT ${obj}
    COMMAND ${CMAKE_RC_COMPILER} -O coff -o ${obj} ${rc}
    DEPENDS ${rc} ${ZEVDT_VERSION_RC_TEMPLATE}
    COMMENT "Compiling the version resource of ${target}"
    VERBATIM)
  add_custom_target(${target}_version_resource DEPENDS ${obj})
  add_dependencies(${target} ${target}_version_resource)
  target_link_libraries(${target} PRIVATE ${obj})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${obj})
endfunction()

function(zevdt_versioned_library target)
  cmake_parse_arguments(V "" "DESCRIPTION" "" ${ARGN})
  set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  zevdt_version_resource(${target} DESCRIPTION "${V_DESCRIPTION}")
endfunction()
