# Platform settings of the two builds.
if(WIN32)
  # Wine must find no runtime DLLs beside ours.
  add_link_options(-static-libgcc -static-libstdc++)
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static")
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
