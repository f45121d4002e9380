# zevdt::sqlite3 - the SQLite the stand-in library links.
# Native: the system's libsqlite3. Cross (mingw): built from the amalgamation
# that scripts/test prepares (see ZEVDT_SQLITE_AMALGAMATION).
if(WIN32)
  set(ZEVDT_SQLITE_AMALGAMATION "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h for the cross build")
  if(NOT EXISTS "${ZEVDT_SQLITE_AMALGAMATION}/sqlite3.c")
    message(FATAL_ERROR "The cross build needs the SQLite amalgamation: set ZEVDT_SQLITE_AMALGAMATION (scripts/test prepares it)")
  endif()
  add_library(zevdt_sqlite3 STATIC "${ZEVDT_SQLITE_AMALGAMATION}/sqlite3.c")
  target_include_directories(zevdt_sqlite3 SYSTEM PUBLIC "${ZEVDT_SQLITE_AMALGAMATION}")
  target_compile_definitions(zevdt_sqlite3 PUBLIC SQLITE_THREADSAFE=1 SQLITE_DQS=0)
  target_compile_options(zevdt_sqlite3 PRIVATE -w -Wno-error)
  add_library(zevdt::sqlite3 ALIAS zevdt_sqlite3)
else()
  find_package(SQLite3 REQUIRED)
  add_library(zevdt::sqlite3 ALIAS SQLite::SQLite3)
endif()
