// The rows of SQL on a SQLite file, for tests that check what a drill left in
// a warehouse or set one up by hand.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

// Runs the statements of sql in turn on an existing file, each with the texts
// of bound for its parameters, and returns their rows together, every value
// as text (NULL as ""). Throws std::runtime_error when the file cannot be
// opened or a statement fails.
inline std::vector<std::vector<std::string>> SqliteRows(const std::string& path, const std::string& sql,
                                                        const std::vector<std::string>& bound = {}) {
    sqlite3* db = nullptr;
    auto fail = [&](const std::string& what) {
        std::string message = what + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        throw std::runtime_error(message);
    };
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        fail("cannot open " + path);
    std::vector<std::vector<std::string>> rows;
    for (const char* tail = sql.c_str(); *tail;) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, tail, -1, &statement, &tail) != SQLITE_OK)
            fail("SQL fails");
        if (!statement)
            break;  // only blanks were left
        for (int i = 0; i < sqlite3_bind_parameter_count(statement) && i < int(bound.size()); ++i)
            sqlite3_bind_text(statement, i + 1, bound[i].c_str(), -1, SQLITE_TRANSIENT);
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const unsigned char* text = sqlite3_column_text(statement, c);
                row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(row);
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE)
            fail("SQL fails");
    }
    sqlite3_close(db);
    return rows;
}

}  // namespace testsupport
