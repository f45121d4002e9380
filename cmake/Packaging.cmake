# Packages made by `cpack` from the installed tree (cmake/Install.cmake), in
# build/<preset>/packages/:
#   Windows  zevdtu-X.Y.Z-win64.zip (win32 for the 32-bit build): stripped binaries,
#            headers, import libraries for mingw hosts (.dll.a) and for MSVC hosts
#            (.lib, written by llvm-dlltool), the docs with the host declarations, LICENSE and CHANGELOG;
#            zevdtu-X.Y.Z-win64-debug.zip: the binaries' debug symbols, bin/X.debug
#            beside bin/X once both are unpacked into one folder.
#   Linux    zevdtu-X.Y.Z-Linux-x86_64.tar.gz, the installed tree with its versioned
#            libraries and their links, and the -debug.tar.gz beside it.
# Every binary keeps a .gnu_debuglink to its .debug file, so gdb finds the symbols
# in the same folder.
# ZEVDT_PACKAGE_OBJCOPY is found in cmake/Platform.cmake, before the tests that use it.

# zevdt_install_stripped(target destination): `target`, installed into
# `destination`, loses its debug sections, which go to the component `debug`:
# cpack packs them apart, and a plain `cmake --install` leaves them out
# (`--component debug` installs them beside the binaries).
function(zevdt_install_stripped target destination)
  set(name $<TARGET_FILE_NAME:${target}>)
  set(built ${CMAKE_BINARY_DIR}/package/debug/${target}.debug)
  set(named ${CMAKE_BINARY_DIR}/package/debug/named/${name}.debug)
  # The symbols are kept once, when the binary is linked: the debuglink's CRC
  # and the debug package's file are then the same bytes (objcopy stamps a PE
  # file with the time it writes it, so two runs differ).
  add_custom_command(OUTPUT ${built}
    COMMAND ${ZEVDT_PACKAGE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${built}
    DEPENDS ${target}
    VERBATIM)
  add_custom_target(${target}_debug_symbols ALL DEPENDS ${built})
  # Under the binary's own name, which the debuglink records.
  set(copy "execute_process(COMMAND \"${CMAKE_COMMAND}\" -E copy \"${built}\"")
  install(CODE "
    ${copy} \"${named}\" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND \"${ZEVDT_PACKAGE_OBJCOPY}\" --strip-unneeded \"--add-gnu-debuglink=${named}\"
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  ")
  install(CODE "
    ${copy} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}.debug\" COMMAND_ERROR_IS_FATAL ANY)
  " COMPONENT debug EXCLUDE_FROM_ALL)
endfunction()

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package/debug/named)
if(WIN32)
  set(ZEVDT_LIBRARY_DESTINATION ${CMAKE_INSTALL_BINDIR})
else()
  set(ZEVDT_LIBRARY_DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
zevdt_install_stripped(zevdtu ${ZEVDT_LIBRARY_DESTINATION})
zevdt_install_stripped(zevdtapiu ${ZEVDT_LIBRARY_DESTINATION})
foreach(program zevdt zevdtapi-sample)
  if(TARGET ${program})
    zevdt_install_stripped(${program} ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Import libraries for hosts built with MSVC: the same .def files, written by
# LLVM's dlltool in the short import format of MSVC's own lib.exe. 32 bits take
# the decorated stdcall names (what an MSVC object asks for) and import the
# plain ones. (GNU dlltool's libraries hold code objects without the SafeSEH
# mark, which a 32-bit MSVC host linked with /SAFESEH, the default, refuses.)
if(WIN32)
  find_program(ZEVDT_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(machine i386:x86-64)
    set(defs ${CMAKE_SOURCE_DIR}/src/interface/zevdtu.def ${CMAKE_SOURCE_DIR}/dtapi/zevdtapiu.def)
    set(kill_at)
  else()
    set(machine i386)
    set(defs ${CMAKE_SOURCE_DIR}/src/interface/zevdtu-x86.def ${CMAKE_SOURCE_DIR}/dtapi/zevdtapiu-x86.def)
    set(kill_at -k)
  endif()
  set(libs)
  set(dlls ZEVDTU.dll zevdtapiu.dll)
  foreach(def dll IN ZIP_LISTS defs dlls)
    string(REGEX REPLACE "\\.dll$" ".lib" lib ${dll})
    set(out ${CMAKE_BINARY_DIR}/package/msvc/${lib})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package/msvc
      COMMAND ${ZEVDT_LLVM_DLLTOOL} -m ${machine} ${kill_at} -d ${def} -D ${dll} -l ${out}
      DEPENDS ${def}
      COMMENT "MSVC import library ${lib}"
      VERBATIM)
    list(APPEND libs ${out})
  endforeach()
  add_custom_target(msvc_import_libraries ALL DEPENDS ${libs})
  install(FILES ${libs} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_PACKAGE_NAME zevdtu)
set(CPACK_PACKAGE_VENDOR "The ZEVDTU authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Drill-through library for OLAP hosts")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ)
endif()
set(ZEVDT_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
# One archive of everything but the symbols, one of the symbols; both unpack into
# the same folder.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_COMPONENTS_ALL Unspecified debug)
set(CPACK_ARCHIVE_UNSPECIFIED_FILE_NAME ${ZEVDT_PACKAGE_FILE_NAME})
set(CPACK_ARCHIVE_DEBUG_FILE_NAME ${ZEVDT_PACKAGE_FILE_NAME}-debug)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# The installer of a Windows build: `cmake --build --preset mingw --target msi`
# after the build makes packages/zevdtu-X.Y.Z-win64.msi (win32 for 32 bits),
# which installs into Program Files (the 32-bit one for 32 bits). Each width
# keeps its own upgrade code, so that both can be installed side by side.
if(WIN32)
  find_program(ZEVDT_WIXL wixl)
  find_program(ZEVDT_WIXL_HEAT wixl-heat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ZEVDT_MSI_BITS 64)
    set(ZEVDT_MSI_PLATFORM x64)
    set(ZEVDT_MSI_PROGRAM_FILES ProgramFiles64Folder)
    set(ZEVDT_MSI_UPGRADE_CODE 911D6E36-281C-4DE9-B63F-6D291D25FD89)
  else()
    set(ZEVDT_MSI_BITS 32)
    set(ZEVDT_MSI_PLATFORM x86)
    set(ZEVDT_MSI_PROGRAM_FILES ProgramFilesFolder)
    set(ZEVDT_MSI_UPGRADE_CODE 476BB3EF-DB37-43D9-8FF2-AC3860B597BE)
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/zevdtu.wxs.in ${CMAKE_BINARY_DIR}/msi/zevdtu.wxs @ONLY)
  file(WRITE ${CMAKE_BINARY_DIR}/msi/settings.cmake
    "set(ZEVDT_WIXL \"${ZEVDT_WIXL}\")\nset(ZEVDT_WIXL_HEAT \"${ZEVDT_WIXL_HEAT}\")\nset(ZEVDT_MSI_BITS ${ZEVDT_MSI_BITS})\n")
  set(ZEVDT_MSI_FILE ${CMAKE_BINARY_DIR}/packages/${ZEVDT_PACKAGE_FILE_NAME}.msi)
  add_custom_target(msi
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DOUTPUT=${ZEVDT_MSI_FILE}
            -P ${CMAKE_CURRENT_LIST_DIR}/MakeMsi.cmake
    COMMENT "Making ${ZEVDT_PACKAGE_FILE_NAME}.msi"
    VERBATIM)
endif()
