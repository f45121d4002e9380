// A PostgreSQL server of the test process's own: a data directory in a fresh
// temporary folder, a socket in that folder and nowhere else, a port no other
// server uses. It is stopped when the process ends, and a watchdog process
// stops it too when the test process dies without ending normally.
// As root the server runs as the unprivileged "postgres" user, since initdb
// refuses root.
#ifndef ZEVDTAPI_PG_SERVER_H
#define ZEVDTAPI_PG_SERVER_H

#include <optional>
#include <string>
#include <vector>

namespace zevdtapi_test {

class PgServer {
  public:
    // The one server of this process, started on first use. A server that
    // cannot start fails the calling test (and every later one).
    static PgServer& Get();

    bool ok() const { return ok_; }
    const std::string& failure() const { return failure_; }

    // The connection URI of one database; extra is appended to the query part.
    std::string Uri(const std::string& database, const std::string& extra = "") const;
    // The same over TCP on 127.0.0.1.
    std::string TcpUri(const std::string& database, const std::string& extra = "") const;
    // Stops (SIGSTOP) or resumes every process of the server: to a client, a
    // frozen server looks like a lost network.
    void Freeze(bool frozen);
    // A new database, empty or copied from a template database.
    std::string CreateDatabase(const std::string& name, const std::string& templateName = "");
    // A new database holding the sample warehouse with its catalog and
    // reader roles (loaded once, then copied).
    std::string SampleCopy(const std::string& name);

    void Stop();
    ~PgServer();

  private:
    PgServer();
    bool Run(const std::vector<std::string>& argv, std::string* output = nullptr) const;

    bool ok_ = false;
    std::string failure_;
    std::string dir_, data_, bin_;
    int port_ = 0;
    bool asPostgresUser_ = false;
    bool sampleLoaded_ = false;
    bool stopped_ = false;
};

// Rows of one statement on a PostgreSQL database, every value as text and
// NULL as nullopt, `params` bound to $1, $2...; with `realsAsSqlite` a double
// precision with no fraction gets ".0", as SQLite prints a REAL. A failed
// statement fails the test and gives no rows.
std::vector<std::vector<std::optional<std::string>>> PgRows(const std::string& uri, const std::string& sql,
                                                            const std::vector<std::string>& params = {},
                                                            bool realsAsSqlite = false);
// Runs statements whose result does not matter; false (and a test failure) when they fail.
bool PgExec(const std::string& uri, const std::string& sql);

}  // namespace zevdtapi_test

#endif
