#include "query_connection.h"

#include <cstring>

#include "ascii_lower.h"
#include "busy_wait.h"

namespace zevdtapi {
namespace {

int PollCancel(void* flag) {
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

}  // namespace

void QueryConnection::Open(const std::string& path, const std::atomic<bool>* cancel) {
    db_.Open(path, SQLITE_OPEN_READONLY);
    sqlite3* db = db_.get();
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 2);
    sqlite3_limit(db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 8192);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 64 * 1024 * 1024);
    WaitBrieflyWhenBusy(db, cancel);
    sqlite3_progress_handler(db, 1000, PollCancel, const_cast<std::atomic<bool>*>(cancel));
    sqlite3_set_authorizer(db, Authorize, this);
}

int QueryConnection::Authorize(void* self, int action, const char* a, const char* b, const char*,
                               const char*) {
    const QueryConnection* q = static_cast<const QueryConnection*>(self);
    switch (action) {
        case SQLITE_SELECT:
            return SQLITE_OK;
        case SQLITE_READ:
            return q->allowed_.count(AsciiLower(a ? a : "")) ? SQLITE_OK : SQLITE_DENY;
        case SQLITE_FUNCTION:
            return b && AsciiLower(b) == "like" ? SQLITE_OK : SQLITE_DENY;
        default:
            return SQLITE_DENY;
    }
}

}  // namespace zevdtapi
