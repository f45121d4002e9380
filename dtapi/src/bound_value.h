// A value bound to a query parameter, and the query text it belongs to.
#ifndef ZEVDTAPI_BOUND_VALUE_H
#define ZEVDTAPI_BOUND_VALUE_H

#include <string>
#include <vector>

namespace zevdtapi {

enum class Engine { Sqlite, Postgres };

struct BoundValue {
    enum Kind { Text, Number };
    BoundValue(std::string t, Kind k = Text) : text(std::move(t)), kind(k) {}
    std::string text;
    Kind kind;
};

struct BoundQuery {
    std::string sql;
    std::vector<BoundValue> values;  // bound to the placeholders in order
    size_t resultColumns = 0;
    std::vector<bool> decimal;  // per result column: numbers normalised as decimals
};

}  // namespace zevdtapi

#endif
