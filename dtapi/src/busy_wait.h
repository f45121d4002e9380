// How long a call waits for a lock that another program holds on the
// database. The caller's user waits with it under a busy cursor, unable to
// do anything else: the wait is kept short, ends early when the request is
// cancelled, and a lock still held then is reported as such.
#ifndef ZEVDTAPI_BUSY_WAIT_H
#define ZEVDTAPI_BUSY_WAIT_H

#include <sqlite3.h>

#include <atomic>
#include <string>

namespace zevdtapi {

constexpr int kBusyWaitMs = 2000;

// Installs the wait on a connection; `cancel` (may be null) ends it early.
void WaitBrieflyWhenBusy(sqlite3* db, const std::atomic<bool>* cancel);

// What a user reads when a lock was still held after the wait, whichever
// engine waited.
std::string LockedMessage();

// The connection's last error as a user reads it: a lock held past the wait
// says so and what to do, anything else is the database's own text.
std::string DatabaseMessage(sqlite3* db);

}  // namespace zevdtapi

#endif
