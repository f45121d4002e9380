# What `cmake --install` puts into the prefix (GNU layout):
#   include/                    zevdtu.h, and zevdtapi.h for writers of a data-transfer library
#   lib/ (Linux)                libzevdtu.so.1.0.0 and libzevdtapiu.so.1.0.0 with their links;
#                               the drill-through library loads the stand-in beside itself
#   bin/ (Windows)              ZEVDTU.dll and zevdtapiu.dll side by side, zevdt.exe
#   lib/ (Windows)              the import libraries
#   bin/zevdt                   the host program, finding the libraries through its RUNPATH
#   bin/zevdtapi-sample         the operators' tool of the stand-in
#   share/zevdtu/               catalog-postgresql.sql, the stand-in's catalog tables for psql
#   lib/cmake/ZEVDTU/           find_package(ZEVDTU): the imported target ZEVDTU::zevdtu
#   lib/pkgconfig/zevdtu.pc     pkg-config --cflags --libs zevdtu
#   share/doc/zevdtu/           README, CHANGELOG, LICENSE, docs/ (as in the tree, so links hold) and
#                               examples/: the hosting page's C host and the demo UI scripts
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/HostingExample.cmake)

set(ZEVDT_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZEVDTU)

# Hosts that use the imported target get the installed header.
target_include_directories(zevdtu INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS zevdtu EXPORT ZEVDTUTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The stand-in is loaded at run time, from the drill-through library's folder:
# on Windows both go to bin/, on Linux both to lib/.
install(TARGETS zevdtapiu
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(NOT WIN32)
  # bin/ to lib/ stays the same whatever --prefix is given.
  file(RELATIVE_PATH bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(zevdt PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
endif()
install(TARGETS zevdt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The operators' tool: sample warehouses, password hashes, grants.
install(TARGETS zevdtapi-sample RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZEVDTAPI_CATALOG_SQL} DESTINATION ${CMAKE_INSTALL_DATADIR}/zevdtu)
install(FILES ${CMAKE_SOURCE_DIR}/include/zevdtu.h ${CMAKE_SOURCE_DIR}/include/zevdtapi.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# CMake package: ZEVDTUConfig.cmake loads the exported target.
install(EXPORT ZEVDTUTargets NAMESPACE ZEVDTU:: DESTINATION ${ZEVDT_CMAKE_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZEVDTUConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/ZEVDTUConfig.cmake
  INSTALL_DESTINATION ${ZEVDT_CMAKE_PACKAGE_DIR})
# Within one major version the exports and items keep their layout.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/ZEVDTUConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/ZEVDTUConfig.cmake
              ${CMAKE_BINARY_DIR}/package/ZEVDTUConfigVersion.cmake
        DESTINATION ${ZEVDT_CMAKE_PACKAGE_DIR})

# pkg-config, relative to the prefix the file lands in (so --prefix at install time holds).
if(WIN32)
  # The import library by its file name: -lZEVDTU finds nothing when a host links
  # with -static, which takes only lib*.a archives.
  set(ZEVDT_PC_LIBRARY :ZEVDTU.dll.a)
else()
  set(ZEVDT_PC_LIBRARY zevdtu)
endif()
file(RELATIVE_PATH pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
set(ZEVDT_PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zevdtu.pc.in ${CMAKE_BINARY_DIR}/package/zevdtu.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/zevdtu.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Documentation, with the hosting page's C host as a file of its own.
zevdt_extract_hosting_example(${CMAKE_SOURCE_DIR}/docs/hosting.md ${CMAKE_BINARY_DIR}/package/drill.c)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/package/drill.c
              ${CMAKE_SOURCE_DIR}/tools/zevdt/demo.ui ${CMAKE_SOURCE_DIR}/tools/zevdt/demo-login.ui
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
