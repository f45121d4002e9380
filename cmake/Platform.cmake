# Platform settings of the two builds.
if(WIN32)
  # Wine must find no runtime DLLs beside ours. -static matters for DLLs as well:
  # without it the posix-thread runtime (libwinpthread-1.dll) stays an import even
  # with -static-libgcc -static-libstdc++.
  add_link_options(-static-libgcc -static-libstdc++)
  foreach(kind EXE SHARED MODULE)
    string(APPEND CMAKE_${kind}_LINKER_FLAGS " -static")
  endforeach()
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # 32-bit exports are __stdcall, which the compiler decorates (ZevDTInit@8). Hosts
    # (VBA's Declare, P/Invoke, GetProcAddress) ask for the plain names: the DLLs export
    # only those (--kill-at). --kill-at strips the import library's symbols as well, so
    # zevdt_stdcall_import_library writes it again from a .def of decorated names.
    foreach(kind SHARED MODULE)
      string(APPEND CMAKE_${kind}_LINKER_FLAGS " -Wl,--kill-at")
    endforeach()
    find_program(ZEVDT_DLLTOOL NAMES ${ZEVDT_MINGW_TRIPLE}-dlltool REQUIRED)
  endif()

  if(CMAKE_CROSSCOMPILING)
    # Cross-built tests run under Wine, in a prefix private to this build tree.
    if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
      set(CMAKE_CROSSCOMPILING_EMULATOR
          ${CMAKE_SOURCE_DIR}/scripts/wine-env --prefix ${CMAKE_BINARY_DIR}/wineprefix)
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        list(INSERT CMAKE_CROSSCOMPILING_EMULATOR 1 --win32)
      endif()
    endif()
    find_program(ZEVDT_OBJDUMP NAMES ${ZEVDT_MINGW_TRIPLE}-objdump x86_64-w64-mingw32-objdump REQUIRED)
  endif()
endif()

# The objcopy that strips the packaged binaries. Found here, before any
# add_subdirectory: the packaging tests pass its path on, and a variable found
# later would still be empty for them on a first configure.
if(WIN32)
  find_program(ZEVDT_PACKAGE_OBJCOPY NAMES ${ZEVDT_MINGW_TRIPLE}-objcopy REQUIRED)
else()
  find_program(ZEVDT_PACKAGE_OBJCOPY NAMES objcopy REQUIRED)
endif()

# zevdt_stdcall_import_library(target def): on 32-bit Windows, replaces the import
# library of `target` by one whose symbols carry the @N of `def` (what a stdcall
# caller's object files ask for) and that imports the plain names. Elsewhere nothing.
function(zevdt_stdcall_import_library target def)
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${ZEVDT_DLLTOOL} --kill-at --input-def ${def} --dllname $<TARGET_FILE_NAME:${target}>
              --output-lib $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def})
  endif()
endfunction()
