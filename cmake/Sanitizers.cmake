if(ZEVDT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# ThreadSanitizer cannot share a process with AddressSanitizer: a build of its own.
option(ZEVDT_TSAN "Build with ThreadSanitizer" OFF)
if(ZEVDT_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
# libFuzzer's coverage for everything a fuzz target links; the targets
# themselves add -fsanitize=fuzzer (fuzz/CMakeLists.txt).
option(ZEVDT_LIBFUZZER "Build the fuzz targets with clang's libFuzzer" OFF)
if(ZEVDT_LIBFUZZER)
  add_compile_options(-fsanitize=fuzzer-no-link
                      -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/coverage_ignore.txt)
endif()
# Shared libraries built with clang's sanitizers leave the sanitizer runtime
# to the program that loads them, so they cannot insist on resolving every symbol.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (ZEVDT_SANITIZE OR ZEVDT_LIBFUZZER))
  set(ZEVDT_NO_UNDEFINED "")
else()
  set(ZEVDT_NO_UNDEFINED -Wl,--no-undefined)
endif()
