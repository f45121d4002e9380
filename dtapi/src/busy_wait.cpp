#include "busy_wait.h"

namespace zevdtapi {
namespace {

constexpr int kStepMs = 20;

int WaitStep(void* cancel, int attempts) {
    const auto* flag = static_cast<const std::atomic<bool>*>(cancel);
    if ((flag && flag->load()) || attempts * kStepMs >= kBusyWaitMs)
        return 0;
    sqlite3_sleep(kStepMs);
    return 1;
}

}  // namespace

void WaitBrieflyWhenBusy(sqlite3* db, const std::atomic<bool>* cancel) {
    sqlite3_busy_handler(db, WaitStep, const_cast<std::atomic<bool>*>(cancel));
}

std::string LockedMessage() {
    return "the database is locked by another program (waited " + std::to_string(kBusyWaitMs / 1000) +
           " s); try again when it has finished";
}

std::string DatabaseMessage(sqlite3* db) {
    int code = sqlite3_errcode(db) & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return LockedMessage();
    return sqlite3_errmsg(db);
}

}  // namespace zevdtapi
