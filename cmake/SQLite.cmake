# zevdt::sqlite3 - the SQLite the stand-in library links.
# Native: the system's libsqlite3. Cross (mingw): built from the amalgamation of the
# same Debian release, which scripts/prepare-sqlite generates and caches in the build
# tree (see ZEVDT_SQLITE_AMALGAMATION); configuring runs it when the cache is empty.
if(WIN32)
  set(ZEVDT_SQLITE_AMALGAMATION "${CMAKE_BINARY_DIR}/_deps/sqlite" CACHE PATH
      "Folder holding sqlite3.c and sqlite3.h for the cross build")
  if(NOT EXISTS "${ZEVDT_SQLITE_AMALGAMATION}/sqlite3.c")
    message(STATUS "Preparing the SQLite amalgamation in ${ZEVDT_SQLITE_AMALGAMATION}")
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/prepare-sqlite "${ZEVDT_SQLITE_AMALGAMATION}"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT EXISTS "${ZEVDT_SQLITE_AMALGAMATION}/sqlite3.c")
      message(FATAL_ERROR "The cross build needs the SQLite amalgamation in ZEVDT_SQLITE_AMALGAMATION "
                          "(scripts/prepare-sqlite failed)")
    endif()
  endif()
  add_library(zevdt_sqlite3 STATIC "${ZEVDT_SQLITE_AMALGAMATION}/sqlite3.c")
  target_include_directories(zevdt_sqlite3 SYSTEM PUBLIC "${ZEVDT_SQLITE_AMALGAMATION}")
  # The same limit of bound values as Debian's SQLite of the native build
  # (250000, where SQLite's own default is 32766): long value lists work on both.
  target_compile_definitions(zevdt_sqlite3 PUBLIC SQLITE_THREADSAFE=1 SQLITE_DQS=0)
  target_compile_definitions(zevdt_sqlite3 PRIVATE SQLITE_MAX_VARIABLE_NUMBER=250000)
  # Third-party code: no warnings, and no debug information (it would triple the
  # object's size and the link time for nothing we debug).
  target_compile_options(zevdt_sqlite3 PRIVATE -w -Wno-error -g0)
  add_library(zevdt::sqlite3 ALIAS zevdt_sqlite3)
else()
  find_package(SQLite3 REQUIRED)
  add_library(zevdt::sqlite3 ALIAS SQLite::SQLite3)
endif()
