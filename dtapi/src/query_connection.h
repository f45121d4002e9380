// The read-only connection on which report queries run. Its authorizer lets a
// statement read the current report's tables and call LIKE, nothing else; a
// progress handler lets ZevDTAPIServerCancel stop a statement mid-step.
#ifndef ZEVDTAPI_QUERY_CONNECTION_H
#define ZEVDTAPI_QUERY_CONNECTION_H

#include <atomic>
#include <set>
#include <string>

#include "sqlite_handle.h"

namespace zevdtapi {

class QueryConnection {
  public:
    // cancel is polled during every statement; it must outlive the connection.
    void Open(const std::string& path, const std::atomic<bool>* cancel);
    void Close() { db_.Close(); }
    sqlite3* get() const { return db_.get(); }
    explicit operator bool() const { return bool(db_); }

    // Tables that statements prepared from now on may read (names without regard to case).
    void AllowTables(const std::set<std::string>& lowerCaseNames) { allowed_ = lowerCaseNames; }

  private:
    static int Authorize(void* self, int action, const char* a, const char* b, const char* db,
                         const char* trigger);

    Connection db_;
    std::set<std::string> allowed_;
};

}  // namespace zevdtapi

#endif
