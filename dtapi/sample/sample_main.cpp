// zevdtapi-sample: creates the sample warehouse, prints a password hash for a
// user row of the catalog, or grants a PostgreSQL catalog's reader roles.
#include <cstdio>
#include <cstring>
#include <string>

#include "../src/password_hash.h"
#ifdef ZEVDTAPI_WITH_POSTGRES
#include "../src/pg_connection.h"
#include "../src/pg_roles.h"
#endif
#include "sample_warehouse.h"

namespace {

const char kUsage[] =
    "usage: zevdtapi-sample --database FILE [--replace]\n"
    "       zevdtapi-sample --hash-password PASSWORD\n"
    "       zevdtapi-sample --grant URI [--to USER]\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int Help() {
    std::fputs(kUsage, stdout);
    std::fputs(
        "\n"
        "The operators' tool of the stand-in data-transfer library.\n"
        "\n"
        "  --database FILE     create the sample warehouse in the SQLite file FILE, or in\n"
        "                      the PostgreSQL database of a postgresql:// URI\n"
        "  --replace           replace an existing warehouse\n"
        "  --hash-password PW  print the password_hash of a dt_user row for PW\n"
        "  --grant URI         create or refresh each report's reader role in the\n"
        "                      PostgreSQL catalog at URI, granted to the connecting user\n"
        "  --to USER           grant the roles to USER as well, the user that serves\n"
        "                      the reports\n"
        "  --help              this text\n"
        "\n"
        "Exit status: 0 done, 1 failed, 2 usage error.\n",
        stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string database, password, grant, to;
    bool replace = false, hash = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return Help();
        }
        if (std::strcmp(argv[i], "--database") == 0 && i + 1 < argc) {
            database = argv[++i];
        } else if (std::strcmp(argv[i], "--grant") == 0 && i + 1 < argc) {
            grant = argv[++i];
        } else if (std::strcmp(argv[i], "--to") == 0 && i + 1 < argc) {
            to = argv[++i];
        } else if (std::strcmp(argv[i], "--replace") == 0) {
            replace = true;
        } else if (std::strcmp(argv[i], "--hash-password") == 0 && i + 1 < argc) {
            hash = true;
            password = argv[++i];
        } else {
            return Usage();
        }
    }
    if (hash) {
        std::printf("%s\n", zevdtapi::HashPassword(password, zevdtapi::RandomSalt()).c_str());
        return 0;
    }
    if (!grant.empty()) {
#ifdef ZEVDTAPI_WITH_POSTGRES
        try {
            zevdtapi::PgConnection c;
            c.Open(grant);
            c.Run("BEGIN", zevdtapi::kCatalog, "");
            zevdtapi::GrantReportReaders(c, to);
            c.Run("COMMIT", zevdtapi::kCatalog, "");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        std::printf("Reader roles granted\n");
        return 0;
#else
        std::fprintf(stderr, "This build serves SQLite databases only.\n");
        return 1;
#endif
    }
    if (database.empty())
        return Usage();
    std::string error;
    if (!zevdtapi::CreateSampleWarehouse(database, replace, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("Sample warehouse written to %s\n", database.c_str());
    return 0;
}
