#include "pg_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "pg_connection.h"
#include "pg_roles.h"
#include "sample_warehouse.h"

namespace zevdtapi_test {
namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// initdb and pg_ctl of the installed server: where pg_config says, else
// Debian's folder for its server version.
std::string FindBinaries() {
    if (const char* env = std::getenv("ZEVDT_PG_BINDIR"))
        return env;
    std::string bin = Capture("pg_config --bindir 2>/dev/null");
    while (!bin.empty() && (bin.back() == '\n' || bin.back() == ' ')) bin.pop_back();
    if (!bin.empty() && fs::exists(bin + "/initdb"))
        return bin;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        if (fs::exists(e.path() / "bin/initdb"))
            return (e.path() / "bin").string();
    }
    return "";
}

// A TCP port nothing listens on now; the server takes it for its socket's name.
int UnusedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof(a);
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0)
        close(fd);
    return port ? port : 40000 + int(getpid() % 20000);
}

}  // namespace

PgServer& PgServer::Get() {
    static PgServer server;
    return server;
}

bool PgServer::Run(const std::vector<std::string>& argv, std::string* output) const {
    std::string command = asPostgresUser_ ? "runuser -u postgres --" : "";
    for (const std::string& a : argv) command += " " + Quote(a);
    command += " 2>&1; echo \"exit=$?\"";
    std::string out = Capture("cd / && " + command);
    if (output)
        *output = out;
    return out.size() >= 7 && out.compare(out.size() - 7, 7, "exit=0\n") == 0;
}

PgServer::PgServer() {
    bin_ = FindBinaries();
    if (bin_.empty()) {
        failure_ = "no PostgreSQL server installed (initdb not found; install postgresql)";
        return;
    }
    char pattern[] = "/tmp/zevdt-pg-XXXXXX";
    if (!mkdtemp(pattern)) {
        failure_ = "no temporary folder";
        return;
    }
    dir_ = pattern;
    data_ = dir_ + "/data";
    chmod(dir_.c_str(), 0755);
    if (geteuid() == 0) {
        passwd* pw = getpwnam("postgres");
        if (!pw) {
            failure_ = "running as root, and there is no postgres user to run the server as";
            return;
        }
        if (chown(dir_.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
            failure_ = "cannot hand the temporary folder to the postgres user";
            return;
        }
        asPostgresUser_ = true;
    }
    port_ = UnusedPort();
    // Whatever way this process ends, the server goes with it.
    // A server a test froze (and could not thaw, having been killed) is thawed first.
    std::string stop = "pm=$(head -n 1 " + Quote(data_ + "/postmaster.pid") +
                       " 2>/dev/null); [ -n \"$pm\" ] && kill -CONT $pm && pkill -CONT -P $pm; " +
                       (asPostgresUser_ ? "runuser -u postgres -- " : "") + Quote(bin_ + "/pg_ctl") + " -D " +
                       Quote(data_) + " stop -m immediate";
    std::string watchdog =
        "setsid sh -c " +
        Quote("while kill -0 " + std::to_string(getpid()) + " 2>/dev/null; do sleep 1; done; " + stop +
              " >/dev/null 2>&1; rm -rf " + Quote(dir_)) +
        " </dev/null >/dev/null 2>&1 &";
    if (std::system(watchdog.c_str()) != 0) {
        failure_ = "cannot start the watchdog";
        return;
    }
    std::string out;
    if (!Run({bin_ + "/initdb", "-D", data_, "-A", "trust", "-U", "zevdt", "-E", "UTF8", "--locale=C.UTF-8",
              "--no-sync"},
             &out)) {
        failure_ = "initdb failed: " + out;
        return;
    }
    std::string options =
        "-k " + dir_ + " -p " + std::to_string(port_) +
        " -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off";
    if (!Run({bin_ + "/pg_ctl", "-D", data_, "-l", dir_ + "/server.log", "-w", "-t", "60", "-o", options,
              "start"},
             &out)) {
        std::string log = Capture("cat " + Quote(dir_ + "/server.log") + " 2>/dev/null");
        failure_ = "the server did not start: " + out + log;
        return;
    }
    ok_ = true;
}

void PgServer::Stop() {
    if (stopped_ || dir_.empty())
        return;
    stopped_ = true;
    if (ok_)
        Run({bin_ + "/pg_ctl", "-D", data_, "stop", "-m", "immediate", "-w"});
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

PgServer::~PgServer() {
    Stop();
}

std::string PgServer::TcpUri(const std::string& database, const std::string& extra) const {
    return "postgresql://zevdt@127.0.0.1:" + std::to_string(port_) + "/" + database +
           (extra.empty() ? "" : "?" + extra);
}

void PgServer::Freeze(bool frozen) {
    std::ifstream pidFile(data_ + "/postmaster.pid");
    pid_t postmaster = 0;
    if (!(pidFile >> postmaster) || postmaster <= 0)
        return;
    const int sig = frozen ? SIGSTOP : SIGCONT;
    kill(postmaster, sig);
    for (const auto& e : fs::directory_iterator("/proc")) {
        std::ifstream stat(e.path() / "stat");
        std::string pid, name, state;
        pid_t parent = 0;
        // "pid (name) state ppid": server process names hold no blanks.
        if (stat >> pid >> name >> state >> parent && parent == postmaster)
            kill(pid_t(std::atoi(pid.c_str())), sig);
    }
}

std::string PgServer::Uri(const std::string& database, const std::string& extra) const {
    return "postgresql:///" + database + "?host=" + dir_ + "&port=" + std::to_string(port_) + "&user=zevdt" +
           (extra.empty() ? "" : "&" + extra);
}

std::string PgServer::CreateDatabase(const std::string& name, const std::string& templateName) {
    PgExec(Uri("postgres"), "DROP DATABASE IF EXISTS \"" + name + "\"");
    PgExec(Uri("postgres"), "CREATE DATABASE \"" + name + "\"" +
                                (templateName.empty() ? "" : " TEMPLATE \"" + templateName + "\""));
    return Uri(name);
}

std::string PgServer::SampleCopy(const std::string& name) {
    if (!sampleLoaded_) {
        std::string error;
        std::string uri = CreateDatabase("zevdt_sample");
        if (!zevdtapi::CreateSampleWarehouse(uri, &error))
            ADD_FAILURE() << error;
        sampleLoaded_ = true;
    }
    std::string uri = CreateDatabase(name, "zevdt_sample");
    // Reader roles carry their database's name: the copy needs its own.
    try {
        zevdtapi::PgConnection c;
        c.Open(uri);
        zevdtapi::GrantReportReaders(c);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
    return uri;
}

std::vector<std::vector<std::optional<std::string>>> PgRows(const std::string& uri, const std::string& sql,
                                                            const std::vector<std::string>& params,
                                                            bool realsAsSqlite) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    PGconn* c = PQconnectdb(uri.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
        ADD_FAILURE() << PQerrorMessage(c);
        PQfinish(c);
        return rows;
    }
    PQclear(PQexec(c, "SET extra_float_digits = 0"));
    std::vector<const char*> values;
    for (const std::string& p : params) values.push_back(p.c_str());
    PGresult* r =
        PQexecParams(c, sql.c_str(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK && PQresultStatus(r) != PGRES_COMMAND_OK) {
        ADD_FAILURE() << PQresultErrorMessage(r) << " in " << sql;
    } else {
        const Oid kFloat8 = 701;
        for (int i = 0; i < PQntuples(r); ++i) {
            std::vector<std::optional<std::string>> row;
            for (int j = 0; j < PQnfields(r); ++j) {
                if (PQgetisnull(r, i, j)) {
                    row.emplace_back();
                    continue;
                }
                std::string v(PQgetvalue(r, i, j), size_t(PQgetlength(r, i, j)));
                if (realsAsSqlite && PQftype(r, j) == kFloat8 &&
                    v.find_first_of(".eEnN") == std::string::npos)
                    v += ".0";
                row.emplace_back(std::move(v));
            }
            rows.push_back(std::move(row));
        }
    }
    PQclear(r);
    PQfinish(c);
    return rows;
}

bool PgExec(const std::string& uri, const std::string& sql) {
    PGconn* c = PQconnectdb(uri.c_str());
    bool ok = PQstatus(c) == CONNECTION_OK;
    if (!ok) {
        ADD_FAILURE() << PQerrorMessage(c);
    } else {
        PQsetNoticeProcessor(
            c, [](void*, const char*) {}, nullptr);
        PGresult* r = PQexec(c, sql.c_str());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        if (!ok)
            ADD_FAILURE() << PQresultErrorMessage(r) << " in " << sql;
        PQclear(r);
    }
    PQfinish(c);
    return ok;
}

}  // namespace zevdtapi_test
