// zevdtapi-sample: creates the sample warehouse, or prints a password hash for
// a user row of the catalog.
#include <cstdio>
#include <cstring>
#include <string>

#include "../src/password_hash.h"
#include "sample_warehouse.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: zevdtapi-sample --database FILE [--replace]\n"
                 "       zevdtapi-sample --hash-password PASSWORD\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string database, password;
    bool replace = false, hash = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--database") == 0 && i + 1 < argc) {
            database = argv[++i];
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
