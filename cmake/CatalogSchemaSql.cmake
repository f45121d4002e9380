# cmake -DSOURCE=dtapi/src/catalog_schema.cpp -DFUNCTION=PostgresCatalogSchemaSql
#       -DENGINE=PostgreSQL -DVERSION=X.Y.Z -DOUTPUT=file.sql -P CatalogSchemaSql.cmake
#
# Writes the catalog tables that FUNCTION returns as a .sql file for operators
# (psql -f), so that the one C++ source stays the only place they are written.
foreach(var SOURCE FUNCTION ENGINE VERSION OUTPUT)
  if(NOT ${var})
    message(FATAL_ERROR "CatalogSchemaSql.cmake: ${var} not given")
  endif()
endforeach()
file(READ ${SOURCE} text)
string(FIND "${text}" "${FUNCTION}() {" start)
if(start LESS 0)
  message(FATAL_ERROR "${SOURCE}: no ${FUNCTION}()")
endif()
string(SUBSTRING "${text}" ${start} -1 text)
set(open "R\"SQL(")
string(FIND "${text}" "${open}" from)
string(FIND "${text}" ")SQL\"" to)
if(from LESS 0 OR to LESS from)
  message(FATAL_ERROR "${SOURCE}: ${FUNCTION}() returns no R\"SQL(...)SQL\" literal")
endif()
string(LENGTH "${open}" skip)
math(EXPR from "${from} + ${skip}")
math(EXPR length "${to} - ${from}")
string(SUBSTRING "${text}" ${from} ${length} sql)
file(WRITE ${OUTPUT} "-- The catalog tables of the ZEVDTU ${VERSION} stand-in data-transfer library, for ${ENGINE}.
-- Load them into the warehouse's database, then add data sources, users and reports
-- (docs/stand-in.md): psql -d WAREHOUSE -f catalog-postgresql.sql${sql}")
