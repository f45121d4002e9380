// How the stand-in reaches a PostgreSQL server: the limits it adds to a
// connection URI (each one only where the URI sets none), and texts about a
// URI kept free of its password.
#ifndef ZEVDTAPI_PG_CONNINFO_H
#define ZEVDTAPI_PG_CONNINFO_H

#include <string>
#include <vector>

namespace zevdtapi {

// A server that accepts a connection and then says nothing is given up after
// this many seconds (libpq's connect_timeout), unless the URI sets its own.
constexpr int kDefaultConnectTimeoutS = 10;
// A statement's answer is waited for the statement timeout and this much more:
// a server that did not answer by then will not.
constexpr long long kAnswerMarginMs = 2000;

struct PgConnectParams {
    // Keyword, value, keyword, value... for PQconnectdbParams: our limits
    // first, the URI last ("dbname"), so that whatever the URI sets wins.
    std::vector<std::string> settings;
    int connectTimeoutS = kDefaultConnectTimeoutS;  // the one in force; 0: none
    // The URI's password, and what its user part holds where one would
    // stand ("user:pa@ss@host" is read as the password "pa" and the host
    // "ss@host"): kept out of every text.
    std::vector<std::string> secrets;
};

// Checks the URI with libpq's own parser first: a URI it cannot read fails
// with kDatabaseOpen and a text without the password.
PgConnectParams PgConnectParamsFor(const std::string& uri);

// The text with every password it shows replaced by "***": the one of a URI
// ("user:***@"), of a "password=" parameter, and the given secrets wherever
// they stand (those of four characters or more; shorter ones would mask
// innocent words, and the masks above find them where they stand in a URI).
std::string MaskPassword(std::string text, const std::vector<std::string>& secrets = {});

}  // namespace zevdtapi

#endif
