#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "catalog_schema.h"

// The installed .sql file is cut out of the C++ source at build time: it must
// hold exactly the statements the library runs, after its comment lines.
TEST(CatalogSqlFile, HoldsThePostgresCatalogTables) {
    std::ifstream file(ZEVDTAPI_CATALOG_SQL_FILE, std::ios::binary);
    ASSERT_TRUE(file) << ZEVDTAPI_CATALOG_SQL_FILE;
    std::stringstream text;
    text << file.rdbuf();
    std::string sql = text.str();
    size_t body = sql.find("\nCREATE TABLE");
    ASSERT_NE(std::string::npos, body);
    for (size_t line = 0; line < body; line = sql.find('\n', line) + 1) {
        EXPECT_EQ(0u, sql.compare(line, 3, "-- ")) << "not a comment: " << sql.substr(line, 40);
    }
    EXPECT_EQ(std::string(zevdtapi::PostgresCatalogSchemaSql()), sql.substr(body));
}
