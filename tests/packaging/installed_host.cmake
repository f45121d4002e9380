# cmake -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=X.Y.Z -DC_COMPILER=... -DGENERATOR=...
#       -DPKG_CONFIG=... -DREADELF=... -DBINDIR=bin -DLIBDIR=lib -DINCLUDEDIR=include
#       -DDOCDIR=share/doc/zevdtu -P installed_host.cmake
#
# Installs the build into a fresh prefix and uses only that copy, as a host's
# developer would: checks the layout and the SONAME links, builds the hosting
# page's C host from the installed page once through pkg-config and once through
# find_package(ZEVDTU), and drills the sample cell with each against a sample
# warehouse that the installed zevdt writes.
cmake_minimum_required(VERSION 3.20)
foreach(var BUILD_DIR WORK_DIR VERSION C_COMPILER GENERATOR PKG_CONFIG READELF BINDIR LIBDIR INCLUDEDIR DOCDIR)
  if(NOT ${var})
    message(FATAL_ERROR "installed_host.cmake: ${var} not given (or its tool not found)")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/HostingExample.cmake)

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/RunStep.cmake)

run(install COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# ---- layout -------------------------------------------------------------------------
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
set(lib ${prefix}/${LIBDIR})
set(doc ${prefix}/${DOCDIR})
foreach(file ${INCLUDEDIR}/zevdtu.h ${INCLUDEDIR}/zevdtapi.h ${BINDIR}/zevdt ${LIBDIR}/pkgconfig/zevdtu.pc
             ${LIBDIR}/cmake/ZEVDTU/ZEVDTUConfig.cmake ${LIBDIR}/cmake/ZEVDTU/ZEVDTUConfigVersion.cmake
             ${DOCDIR}/README.md ${DOCDIR}/CHANGELOG.md ${DOCDIR}/docs/hosting.md
             ${DOCDIR}/docs/hosts/zevdtu.py ${DOCDIR}/examples/drill.c ${DOCDIR}/examples/demo.ui)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# Each library: the file with the full version, the SONAME link, the link a linker takes.
foreach(name zevdtu zevdtapiu)
  set(real lib${name}.so.${VERSION})
  set(soname lib${name}.so.${major})
  if(IS_SYMLINK ${lib}/${real} OR NOT EXISTS ${lib}/${real})
    message(FATAL_ERROR "${LIBDIR}/${real} is not the library itself")
  endif()
  foreach(pair "${soname};${real}" "lib${name}.so;${soname}")
    list(GET pair 0 link)
    list(GET pair 1 target)
    if(NOT IS_SYMLINK ${lib}/${link})
      message(FATAL_ERROR "${LIBDIR}/${link} is not a link")
    endif()
    file(READ_SYMLINK ${lib}/${link} points)
    if(NOT points STREQUAL target)
      message(FATAL_ERROR "${LIBDIR}/${link} points to ${points}, not ${target}")
    endif()
  endforeach()
  run(readelf COMMAND ${READELF} -d ${lib}/${real})
  if(NOT readelf_out MATCHES "\\(SONAME\\)[^\n]*\\[${soname}\\]")
    message(FATAL_ERROR "${LIBDIR}/${real} has no SONAME ${soname}:\n${readelf_out}")
  endif()
endforeach()
# Only what ships: no test program, fake library or static library of the build.
file(GLOB shipped RELATIVE ${prefix} ${prefix}/${BINDIR}/* ${lib}/*)
set(expected ${BINDIR}/zevdt ${BINDIR}/zevdtapi-sample)
foreach(name cmake pkgconfig libzevdtapiu.so libzevdtapiu.so.${major} libzevdtapiu.so.${VERSION}
             libzevdtu.so libzevdtu.so.${major} libzevdtu.so.${VERSION})
  list(APPEND expected ${LIBDIR}/${name})
endforeach()
list(SORT shipped)
list(SORT expected)
if(NOT shipped STREQUAL expected)
  message(FATAL_ERROR "${BINDIR}/ and ${LIBDIR}/ hold:\n  ${shipped}\nexpected:\n  ${expected}")
endif()
# The changelog starts with the version being installed.
file(STRINGS ${doc}/CHANGELOG.md headings REGEX "^## ")
list(GET headings 0 first)
if(NOT first MATCHES "^## ${VERSION}( |$)")
  message(FATAL_ERROR "CHANGELOG.md starts with \"${first}\", not with version ${VERSION}")
endif()

# ---- the installed program ---------------------------------------------------------
# Its RUNPATH leads to the libraries: the build tree is no longer named anywhere.
run(zevdt_version COMMAND ${prefix}/${BINDIR}/zevdt --version)
if(NOT zevdt_version_out STREQUAL "zevdt ${VERSION}\n")
  message(FATAL_ERROR "installed zevdt --version printed \"${zevdt_version_out}\"")
endif()
foreach(binary ${BINDIR}/zevdt ${LIBDIR}/libzevdtu.so.${VERSION} ${LIBDIR}/libzevdtapiu.so.${VERSION})
  run(readelf COMMAND ${READELF} -d ${prefix}/${binary})
  string(FIND "${readelf_out}" "${BUILD_DIR}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${binary} still names the build tree:\n${readelf_out}")
  endif()
endforeach()
set(database ${WORK_DIR}/sample.db)
run(sample COMMAND ${prefix}/${BINDIR}/zevdt sample --database ${database})

# ---- the hosting page's C host, from the installed page ------------------------------
zevdt_extract_hosting_example(${doc}/docs/hosting.md ${WORK_DIR}/drill.c)
file(READ ${WORK_DIR}/drill.c from_page)
file(READ ${doc}/examples/drill.c shipped_example)
if(NOT from_page STREQUAL shipped_example)
  message(FATAL_ERROR "examples/drill.c differs from the example in docs/hosting.md")
endif()

# Through pkg-config; the libdir it reports is also where the program finds the library.
set(ENV{PKG_CONFIG_PATH} ${lib}/pkgconfig)
set(ENV{PKG_CONFIG_LIBDIR} ${lib}/pkgconfig)  # nothing from the system's directories
run(pc_version COMMAND ${PKG_CONFIG} --modversion zevdtu OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT pc_version_out STREQUAL VERSION)
  message(FATAL_ERROR "pkg-config reports version ${pc_version_out}")
endif()
run(pc_flags COMMAND ${PKG_CONFIG} --cflags --libs zevdtu OUTPUT_STRIP_TRAILING_WHITESPACE)
run(pc_libdir COMMAND ${PKG_CONFIG} --variable=libdir zevdtu OUTPUT_STRIP_TRAILING_WHITESPACE)
separate_arguments(flags UNIX_COMMAND "${pc_flags_out}")
run(pc_build COMMAND ${C_COMPILER} -std=c11 -Wall -Wextra -Werror ${WORK_DIR}/drill.c ${flags}
                     -Wl,-rpath,${pc_libdir_out} -o ${WORK_DIR}/drill-pkg-config)

# Through find_package(ZEVDTU) and the imported target.
run(consumer_configure COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/consumer -B ${WORK_DIR}/consumer
    -G ${GENERATOR} -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    -DDRILL_SOURCE=${WORK_DIR}/drill.c -DEXPECTED_VERSION=${VERSION} -DEXPECTED_PREFIX=${prefix})
run(consumer_build COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)

# Both programs need the library by its SONAME and drill the sample cell.
foreach(program ${WORK_DIR}/drill-pkg-config ${WORK_DIR}/consumer/drill)
  run(readelf COMMAND ${READELF} -d ${program})
  if(NOT readelf_out MATCHES "\\(NEEDED\\)[^\n]*\\[libzevdtu\\.so\\.${major}\\]")
    message(FATAL_ERROR "${program} does not need libzevdtu.so.${major}:\n${readelf_out}")
  endif()
  run(drill COMMAND ${CMAKE_COMMAND} -E env --unset=ZEVDTAPI_LIBRARY ZEVDTAPI_DATABASE=${database}
                    ZEVDT_UI_SCRIPT=${doc}/examples/demo.ui
                    ${program} Year=2024 Region=East Category=Beverages)
  if(NOT drill_out MATCHES "\n2024-01-01\tEast\t[^\n]*\n" OR NOT drill_out MATCHES "\n2143 rows\n$")
    string(SUBSTRING "${drill_out}" 0 2000 head)
    message(FATAL_ERROR "${program} did not print the sample cell's 2143 rows:\n${head}")
  endif()
  message(STATUS "${program}: 2143 rows")
endforeach()
message(STATUS "installed copy in ${prefix} works")
