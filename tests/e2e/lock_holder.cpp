// Another program that holds the saved filters locked: the whole database
// file (SQLite) or the saved filters' table (PostgreSQL), from the moment it
// writes READY_FILE until RELEASE_FILE appears.
//
//   zevdt-lock-holder DATABASE READY_FILE RELEASE_FILE
//
// A process of its own: SQLite's file locks are the process's, so a lock
// taken in the process that also runs the stand-in would lock nothing.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef ZEVDT_LOCK_POSTGRES
#include <libpq-fe.h>
#endif

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: zevdt-lock-holder DATABASE READY_FILE RELEASE_FILE\n");
        return 2;
    }
    const std::string database = argv[1];
    bool held = false;
    sqlite3* lite = nullptr;
#ifdef ZEVDT_LOCK_POSTGRES
    PGconn* pg = nullptr;
    if (database.rfind("postgresql://", 0) == 0) {
        pg = PQconnectdb(database.c_str());
        PGresult* r = PQexec(pg, "BEGIN; LOCK TABLE dt_saved_filter IN ACCESS EXCLUSIVE MODE");
        held = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    } else
#endif
    {
        held = sqlite3_open_v2(database.c_str(), &lite, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
               sqlite3_busy_timeout(lite, 10000) == SQLITE_OK &&
               sqlite3_exec(lite, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    if (!held) {
        std::fprintf(stderr, "zevdt-lock-holder: no lock on %s\n", database.c_str());
        return 1;
    }
    std::ofstream(argv[2]) << "held\n";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!std::filesystem::exists(argv[3]) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
#ifdef ZEVDT_LOCK_POSTGRES
    if (pg)
        PQfinish(pg);
#endif
    if (lite)
        sqlite3_close(lite);  // rolls the open transaction back
    return 0;
}
