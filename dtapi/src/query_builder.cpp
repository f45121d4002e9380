#include "query_builder.h"

#include <algorithm>

#include "ascii_lower.h"
#include "condition_parser.h"
#include "errors.h"
#include "number_text.h"
#include "quote_identifier.h"
#include "text_copy.h"

namespace zevdtapi {
namespace {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t extra = 0;
        unsigned char lo = 0x80, hi = 0xbf;  // the second byte's range
        if (c >= 0xc2 && c <= 0xdf) {
            extra = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            extra = 2;
            lo = c == 0xe0 ? 0xa0 : 0x80;
            hi = c == 0xed ? 0x9f : 0xbf;
        } else if (c >= 0xf0 && c <= 0xf4) {
            extra = 3;
            lo = c == 0xf0 ? 0x90 : 0x80;
            hi = c == 0xf4 ? 0x8f : 0xbf;
        } else {
            return false;
        }
        if (n - i <= extra || p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (size_t k = 2; k <= extra; ++k) {
            if ((p[i + k] & 0xc0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

// Collects the SQL of one query with its bound values.
class Builder {
  public:
    Builder(Engine engine, const ReportDefinition& report) : engine_(engine), report_(report) {}

    std::string Column(const std::string& table, const std::string& column) const {
        return QuoteName(engine_, table) + "." + QuoteName(engine_, column);
    }
    std::string Column(const ReportColumn& c) const { return Column(c.table, c.column); }

    // The column as the text it compares as: on PostgreSQL its text in byte order,
    // which is what SQLite compares for a column that holds text.
    std::string TextOperand(const std::string& column) const {
        return engine_ == Engine::Postgres ? "CAST(" + column + " AS text) COLLATE \"C\"" : column;
    }

    // PostgreSQL refuses a text value that is not UTF-8 rather than compare
    // it, while SQLite compares its bytes. No text the server holds equals
    // such a value, so equality and IN leave it out on PostgreSQL: the same
    // rows as on SQLite.
    std::vector<std::string> Comparable(const std::vector<std::string>& values, bool number) const {
        if (engine_ != Engine::Postgres || number)
            return values;
        std::vector<std::string> kept;
        for (const std::string& v : values) {
            if (IsUtf8(v))
                kept.push_back(v);
        }
        return kept;
    }

    std::string Param(const std::string& value, bool number) {
        q_.values.emplace_back(value, number ? BoundValue::Number : BoundValue::Text);
        if (engine_ == Engine::Sqlite)
            return "?";
        std::string p = "$" + std::to_string(q_.values.size());
        return number ? "CAST(" + p + " AS numeric)" : p;
    }

    std::string List(const std::vector<std::string>& values, bool number) {
        std::string out = "(";
        for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + Param(values[i], number);
        return out + ")";
    }

    std::string From() const {
        std::string sql = " FROM " + QuoteName(engine_, report_.tables[0].name);
        for (size_t i = 1; i < report_.tables.size(); ++i) {
            const ReportTable& t = report_.tables[i];
            sql += " JOIN " + QuoteName(engine_, t.name) + " ON " + Column(t.name, t.joinColumn) + " = " +
                   Column(t.parentTable, t.parentColumn);
        }
        return sql;
    }

    // One IN per mapped dimension, comparing the members' keys as text;
    // members of dimensions the report does not map, and unresolved recursive
    // members, restrict nothing.
    void MemberTerms(const std::vector<Member>& members, std::vector<std::string>* terms) {
        for (const MemberMap& map : report_.maps) {
            std::vector<std::string> keys;
            for (const Member& m : members) {
                if (m.restricts && EqualNoCase(m.dimension, map.dimension))
                    keys.push_back(m.value);
            }
            if (keys.empty())
                continue;
            keys = Comparable(keys, false);
            if (keys.empty()) {
                terms->push_back("(1 = 0)");
                continue;
            }
            std::string column = Column(map.table, map.column);
            if (engine_ == Engine::Postgres)
                column = "CAST(" + column + " AS text)";
            terms->push_back("(" + column + " IN " + List(keys, false) + ")");
        }
    }

    std::string Comparison(const zevdtapi::Comparison& c, const std::string& owner) {
        const ReportColumn& col = report_.columns[c.column];
        const bool number = IsNumericType(col.dataType);
        const bool like = c.op == Operator::Like || c.op == Operator::NotLike;
        const std::string where = "The filter of column " + owner + " cannot be used: ";
        if (like && col.dataType == 21) {
            Fail(kCondition, where + "like compares text, and " + col.Key() + " holds decimal numbers.");
        }
        if (number && !like) {
            for (const std::string& v : c.values) {
                if (!IsNumberText(v)) {
                    std::string shown = v.size() > 60 ? v.substr(0, 60) + "..." : v;
                    Fail(kCondition,
                         where + "\"" + shown + "\" is not a number, and " + col.Key() + " holds numbers.");
                }
            }
        }
        std::string column = Column(col);
        if (like) {
            // ASCII letters match without regard to case, other characters exactly;
            // % and _ are the only wildcards and nothing escapes them.
            if (engine_ == Engine::Sqlite)
                return "(" + column + " " + OperatorSql(c.op) + " " + Param(c.values[0], false) + ")";
            return "(lower(" + TextOperand(column) + ") " + OperatorSql(c.op) + " lower(CAST(" +
                   Param(c.values[0], false) + " AS text) COLLATE \"C\") ESCAPE '')";
        }
        std::string left = number ? column : TextOperand(column);
        const bool equality = c.op == Operator::In || c.op == Operator::Equal;
        if (equality || c.op == Operator::NotIn || c.op == Operator::NotEqual) {
            std::vector<std::string> kept = Comparable(c.values, number);
            // Nothing left to compare: = and IN hold for no row, <> and NOT IN for every non-NULL one.
            if (kept.empty())
                return equality ? "(1 = 0)" : "(" + column + " IS NOT NULL)";
            if (kept.size() < c.values.size() || c.op == Operator::In || c.op == Operator::NotIn) {
                const bool in = c.op == Operator::In || c.op == Operator::Equal;
                return "(" + left + (in ? " IN " : " NOT IN ") + List(kept, number) + ")";
            }
        }
        return "(" + left + " " + OperatorSql(c.op) + " " + Param(c.values[0], number) + ")";
    }

    // NULLs sort first ascending and last descending, on both engines.
    std::string OrderTerm(const ReportColumn& col, bool descending) const {
        std::string column = Column(col);
        if (engine_ == Engine::Sqlite)
            return column + (descending ? " DESC" : " ASC");
        if (!IsNumericType(col.dataType))
            column = TextOperand(column);
        return column + (descending ? " DESC NULLS LAST" : " ASC NULLS FIRST");
    }

    BoundQuery& query() { return q_; }

  private:
    Engine engine_;
    const ReportDefinition& report_;
    BoundQuery q_;
};

// Long chains of AND or OR are nested as a balanced tree, so that hundreds of
// conditions stay far below the engines' expression depth limits.
std::string JoinBalanced(const std::vector<std::string>& parts, size_t begin, size_t end, const char* op) {
    if (end - begin == 1)
        return parts[begin];
    size_t mid = begin + (end - begin) / 2;
    return "(" + JoinBalanced(parts, begin, mid, op) + " " + op + " " + JoinBalanced(parts, mid, end, op) +
           ")";
}

std::string JoinBalanced(const std::vector<std::string>& parts, const char* op) {
    return JoinBalanced(parts, 0, parts.size(), op);
}

}  // namespace

std::string QuoteName(Engine engine, const std::string& name) {
    if (engine == Engine::Sqlite)
        return QuoteIdentifier(name);
    return QuoteIdentifier(AsciiLower(name));
}

BoundQuery BuildDataQuery(Engine engine, const ReportDefinition& report, const std::vector<Member>& members,
                          const std::vector<ColumnChoice>& choices) {
    std::vector<std::string> keys;
    for (const ReportColumn& c : report.columns) keys.push_back(c.Key());

    std::vector<const ColumnChoice*> shown, sorted;
    for (const ColumnChoice& c : choices) {
        if (c.displayPosition >= 1)
            shown.push_back(&c);
        if (c.sortPosition >= 1)
            sorted.push_back(&c);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const ColumnChoice* a, const ColumnChoice* b) {
        return a->displayPosition < b->displayPosition;
    });
    std::stable_sort(sorted.begin(), sorted.end(), [](const ColumnChoice* a, const ColumnChoice* b) {
        return a->sortPosition < b->sortPosition;
    });

    Builder b(engine, report);
    BoundQuery& q = b.query();
    q.resultColumns = shown.size();
    if (shown.empty())
        return q;
    q.sql = "SELECT ";
    for (size_t i = 0; i < shown.size(); ++i) {
        const ReportColumn& col = report.columns[shown[i]->column];
        q.sql += (i ? ", " : "") + b.Column(col);
        q.decimal.push_back(col.dataType == 21);
    }
    q.sql += b.From();

    std::vector<std::string> terms;
    b.MemberTerms(members, &terms);
    for (const ColumnChoice& c : choices) {
        const std::string owner = report.columns[c.column].Key();
        ConditionTree tree = ParseCondition(c.condition, keys, owner);
        if (tree.anyOf.empty())
            continue;
        std::vector<std::string> alternatives;
        for (const auto& group : tree.anyOf) {
            std::vector<std::string> all;
            for (const Comparison& cmp : group) all.push_back(b.Comparison(cmp, owner));
            alternatives.push_back(JoinBalanced(all, "AND"));
        }
        terms.push_back(JoinBalanced(alternatives, "OR"));
    }
    if (!terms.empty())
        q.sql += " WHERE " + JoinBalanced(terms, "AND");

    if (!sorted.empty()) {
        q.sql += " ORDER BY ";
        for (size_t i = 0; i < sorted.size(); ++i) {
            q.sql += (i ? ", " : "") +
                     b.OrderTerm(report.columns[sorted[i]->column], sorted[i]->sortDirection == 2);
        }
    }
    return q;
}

BoundQuery BuildValueQuery(Engine engine, const ReportDefinition& report, const std::vector<Member>& members,
                           size_t column) {
    const ReportColumn& col = report.columns[column];
    Builder b(engine, report);
    BoundQuery& q = b.query();
    std::string target = b.Column(col);
    q.resultColumns = 1;
    q.decimal.push_back(col.dataType == 21);
    std::vector<std::string> terms;
    b.MemberTerms(members, &terms);
    terms.push_back("(" + target + " IS NOT NULL)");
    std::string shown =
        engine == Engine::Postgres && !IsNumericType(col.dataType) ? b.TextOperand(target) : target;
    q.sql = "SELECT DISTINCT " + shown + b.From() + " WHERE " + JoinBalanced(terms, "AND") + " ORDER BY 1";
    return q;
}

std::string BuildProbeQuery(Engine engine, const ReportDefinition& report) {
    Builder b(engine, report);
    std::string sql = "SELECT ";
    for (size_t i = 0; i < report.columns.size(); ++i) sql += (i ? ", " : "") + b.Column(report.columns[i]);
    for (const MemberMap& m : report.maps) sql += ", " + b.Column(m.table, m.column);
    return sql + b.From() + " LIMIT 0";
}

}  // namespace zevdtapi
