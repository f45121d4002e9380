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

  if(CMAKE_CROSSCOMPILING)
    # Cross-built tests run under Wine, in a prefix private to this build tree.
    if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
      set(CMAKE_CROSSCOMPILING_EMULATOR
          ${CMAKE_SOURCE_DIR}/scripts/wine-env --prefix ${CMAKE_BINARY_DIR}/wineprefix)
    endif()
    find_program(ZEVDT_OBJDUMP NAMES ${ZEVDT_MINGW_TRIPLE}-objdump x86_64-w64-mingw32-objdump)
  endif()
endif()
