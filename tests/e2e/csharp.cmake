# The P/Invoke declarations of docs/hosts/ZevDTU.cs in a host built with Mono's
# compiler, drilling the sample cell. The dllmap is the one the declarations'
# comment gives, with the full path of this build's library.
find_program(ZEVDT_MCS mcs)
find_program(ZEVDT_MONO mono)
set(dir ${CMAKE_CURRENT_BINARY_DIR}/csharp)
file(GENERATE OUTPUT ${dir}/csharp_host.exe.config CONTENT
"<configuration>
  <dllmap dll=\"ZEVDTU.dll\" target=\"$<TARGET_SONAME_FILE:zevdtu>\" />
</configuration>
")
if(ZEVDT_MCS AND ZEVDT_MONO)
  set(build ${ZEVDT_MCS} -unsafe -warnaserror -out:${dir}/csharp_host.exe
            ${CMAKE_SOURCE_DIR}/docs/hosts/ZevDTU.cs ${CMAKE_CURRENT_SOURCE_DIR}/csharp_host.cs)
  set(run ${ZEVDT_MONO} ${dir}/csharp_host.exe)
else()
  # Missing Mono fails the tests instead of leaving them out.
  set(build ${CMAKE_COMMAND} -E false mcs and mono not found)
  set(run ${build})
endif()
add_test(NAME hosting_csharp_build COMMAND ${build})
set_tests_properties(hosting_csharp_build PROPERTIES TIMEOUT 120 LABELS e2e FIXTURES_SETUP csharp_host)
add_test(NAME hosting_csharp COMMAND ${run} Year=2024 Region=East Category=Beverages)
set_tests_properties(hosting_csharp PROPERTIES
  TIMEOUT 120 LABELS e2e FIXTURES_REQUIRED "csharp_host;hosting_db"
  ENVIRONMENT "ZEVDTAPI_DATABASE=${CMAKE_CURRENT_BINARY_DIR}/hosting.db;ZEVDT_UI_SCRIPT=${CMAKE_SOURCE_DIR}/tools/zevdt/demo.ui"
  PASS_REGULAR_EXPRESSION "\n2024-01-01\tEast\tBrno\tBeverages\tIced Tea\t[^\n]*\n.*\n2143 rows\n")
