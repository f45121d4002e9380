# GoogleTest for both builds and one way to register a test executable.
if(WIN32)
  # No mingw GoogleTest package: build it from Debian's sources.
  set(ZEVDT_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${ZEVDT_GTEST_SOURCE}/src/gtest-all.cc)
    message(FATAL_ERROR "GoogleTest sources not found in ${ZEVDT_GTEST_SOURCE} (package googletest)")
  endif()
  add_library(zevdt_gtest STATIC ${ZEVDT_GTEST_SOURCE}/src/gtest-all.cc ${ZEVDT_GTEST_SOURCE}/src/gtest_main.cc)
  target_include_directories(zevdt_gtest SYSTEM PUBLIC ${ZEVDT_GTEST_SOURCE}/include PRIVATE ${ZEVDT_GTEST_SOURCE})
  target_compile_options(zevdt_gtest PRIVATE -w -Wno-error)
  add_library(zevdt::gtest_main ALIAS zevdt_gtest)
else()
  find_package(GTest REQUIRED)
  add_library(zevdt::gtest_main INTERFACE IMPORTED)
  target_link_libraries(zevdt::gtest_main INTERFACE GTest::gtest_main GTest::gtest)
endif()

# zevdt_add_gtest(name SOURCES ... LIBS ... [TIMEOUT s] [LABELS ...] [KEYS] [DIALOGS])
# Every test has a timeout: a modal loop that nobody closes would hang forever.
# Every test may include the shared helpers of tests/ (support/...).
# DIALOGS: the test shows the library's dialogs, so it links their resources
# (the compiled script on Windows, the embedded image on Linux).
# KEYS: the test presses keys in its dialogs, or opens window after window for
# a long time. Under Wine every test of a build shares one prefix and so one
# desktop, and two programs opening windows at once take the keyboard focus
# from each other: such tests run one at a time.
# In the cross build the test runs under Wine through CMAKE_CROSSCOMPILING_EMULATOR,
# which CMake applies because the command names the executable target.
function(zevdt_add_gtest name)
  cmake_parse_arguments(T "KEYS;DIALOGS" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} zevdt::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  if(T_DIALOGS)
    zevdt_add_resources(${name})
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
  if(T_KEYS AND WIN32)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_keyboard_focus)
  endif()
endfunction()

# The cross build's binaries must import no mingw runtime DLL: Wine (and a user's
# machine) would not find one. Checked over everything in bin/ after the build.
if(WIN32 AND CMAKE_CROSSCOMPILING)
  add_test(NAME runtime_imports
           COMMAND ${CMAKE_COMMAND} -DBIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
                   -DOBJDUMP=${ZEVDT_OBJDUMP} -P ${CMAKE_CURRENT_LIST_DIR}/CheckImports.cmake)
  set_tests_properties(runtime_imports PROPERTIES TIMEOUT 60 LABELS build)
endif()
