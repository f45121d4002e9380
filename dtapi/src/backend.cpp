#include "backend.h"

#include "errors.h"

namespace zevdtapi {

std::unique_ptr<Backend> OpenSqliteBackend(const std::string& path, const std::atomic<bool>* cancel);
#ifdef ZEVDTAPI_WITH_POSTGRES
std::unique_ptr<Backend> OpenPostgresBackend(const std::string& uri, const std::atomic<bool>* cancel);
#endif

bool IsPostgresUri(const std::string& where) {
    return where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0;
}

std::unique_ptr<Backend> OpenBackend(const std::string& where, const std::atomic<bool>* cancel) {
    if (IsPostgresUri(where)) {
#ifdef ZEVDTAPI_WITH_POSTGRES
        return OpenPostgresBackend(where, cancel);
#else
        Fail(kDatabaseOpen,
             "This build of the library serves SQLite databases only; a PostgreSQL "
             "connection URI cannot be opened.");
#endif
    }
    return OpenSqliteBackend(where, cancel);
}

}  // namespace zevdtapi
