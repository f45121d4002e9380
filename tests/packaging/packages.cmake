# The packages cpack makes (cmake/Packaging.cmake), unpacked and checked; the
# operators' tool answers --help. Not in sanitizer builds, which ship nothing.
if(ZEVDT_SANITIZE OR NOT TARGET zevdt)
  return()
endif()
include(GNUInstallDirs)
set(doc ${CMAKE_INSTALL_DOCDIR})
set(required include/zevdtu.h include/zevdtapi.h LICENSE ${doc}/LICENSE ${doc}/CHANGELOG.md ${doc}/README.md
             ${doc}/docs/hosting.md ${doc}/docs/hosts/ZevDTU.cs ${doc}/docs/hosts/ZevDTU.bas
             ${doc}/docs/hosts/zevdtu.py ${doc}/examples/drill.c ${CMAKE_INSTALL_DATADIR}/zevdtu/catalog-postgresql.sql
             ${CMAKE_INSTALL_LIBDIR}/pkgconfig/zevdtu.pc ${CMAKE_INSTALL_LIBDIR}/cmake/ZEVDTU/ZEVDTUConfig.cmake)
if(WIN32)
  set(bin ${CMAKE_INSTALL_BINDIR})
  set(binaries ${bin}/ZEVDTU.dll ${bin}/zevdtapiu.dll ${bin}/zevdt.exe ${bin}/zevdtapi-sample.exe)
  list(APPEND required ${binaries} ${CMAKE_INSTALL_LIBDIR}/$<TARGET_LINKER_FILE_NAME:zevdtu>
       ${CMAKE_INSTALL_LIBDIR}/$<TARGET_LINKER_FILE_NAME:zevdtapiu>
       ${CMAKE_INSTALL_LIBDIR}/ZEVDTU.lib ${CMAKE_INSTALL_LIBDIR}/zevdtapiu.lib)
  set(objdump ${ZEVDT_OBJDUMP})
  set(ext zip)
  find_program(ZEVDT_CLANG NAMES clang-14 clang)
  find_program(ZEVDT_LLD_LINK lld-link)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(msvc_check ${ZEVDT_CLANG} x86_64-pc-windows-msvc ${ZEVDT_LLD_LINK} x64)
  else()
    set(msvc_check ${ZEVDT_CLANG} i686-pc-windows-msvc ${ZEVDT_LLD_LINK} x86)
  endif()
  list(APPEND msvc_check ${CMAKE_CURRENT_SOURCE_DIR}/msvc_host.c)
  # The hosting page's static mingw link, through the package's pkg-config file.
  find_program(ZEVDT_PKG_CONFIG pkg-config)
  set(static_check ${CMAKE_C_COMPILER} ${ZEVDT_PKG_CONFIG} ${doc}/examples/drill.c)
else()
  set(lib ${CMAKE_INSTALL_LIBDIR})
  set(binaries ${lib}/libzevdtu.so.${PROJECT_VERSION} ${lib}/libzevdtapiu.so.${PROJECT_VERSION}
               ${CMAKE_INSTALL_BINDIR}/zevdt ${CMAKE_INSTALL_BINDIR}/zevdtapi-sample)
  list(APPEND required ${binaries} ${lib}/libzevdtu.so.${PROJECT_VERSION_MAJOR} ${lib}/libzevdtu.so)
  find_program(ZEVDT_NATIVE_OBJDUMP objdump)
  set(objdump ${ZEVDT_NATIVE_OBJDUMP})
  set(ext tar.gz)
  set(msvc_check)
  set(static_check)
endif()
# Lists travel to the script with | between their items.
string(REPLACE ";" "|" required "${required}")
string(REPLACE ";" "|" binaries "${binaries}")
string(REPLACE ";" "|" msvc_check "${msvc_check}")
string(REPLACE ";" "|" static_check "${static_check}")
add_test(NAME package_contents
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DEXT=${ext}
                 "-DREQUIRED=${required}" "-DBINARIES=${binaries}" -DOBJDUMP=${objdump} -DOBJCOPY=${ZEVDT_PACKAGE_OBJCOPY}
                 "-DMSVC_CHECK=${msvc_check}" "-DSTATIC_CHECK=${static_check}" -P ${CMAKE_CURRENT_SOURCE_DIR}/package_contents.cmake)
# cpack installs the whole tree: after the builds of every target it holds. It runs
# only the build machine's tools, so it counts among the checks of the build.
set_tests_properties(package_contents PROPERTIES TIMEOUT 300 LABELS "packaging;build" RUN_SERIAL TRUE)

if(WIN32)
  # The MSI installed, used and uninstalled in this build's Wine prefix, with the
  # sample warehouse of the hosting example's tests.
  list(FIND CMAKE_CROSSCOMPILING_EMULATOR --prefix at)
  math(EXPR at "${at} + 1")
  list(GET CMAKE_CROSSCOMPILING_EMULATOR ${at} wine_prefix)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(bits 64)
  else()
    set(bits 32)
  endif()
  add_test(NAME msi_roundtrip
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/msi_roundtrip.sh ${CMAKE_BINARY_DIR} ${bits}
                   ${CMAKE_BINARY_DIR}/tests/e2e/hosting.db ${CMAKE_SOURCE_DIR}/tools/zevdt/demo.ui
                   ${wine_prefix} ${CMAKE_CROSSCOMPILING_EMULATOR})
  set_tests_properties(msi_roundtrip PROPERTIES TIMEOUT 300 LABELS "packaging;e2e" RUN_SERIAL TRUE
    FIXTURES_REQUIRED hosting_db)
endif()

add_test(NAME zevdtapi_sample_help COMMAND zevdtapi-sample --help)
set_tests_properties(zevdtapi_sample_help PROPERTIES TIMEOUT 60 LABELS "unit;packaging")
