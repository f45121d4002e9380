#include "query_builder.h"

#include <algorithm>

#include "condition_parser.h"
#include "sqlite_handle.h"
#include "text_copy.h"

namespace zevdtapi {
namespace {

std::string ColumnSql(const std::string& table, const std::string& column) {
    return QuoteIdentifier(table) + "." + QuoteIdentifier(column);
}

std::string FromClause(const ReportDefinition& report) {
    std::string sql = " FROM " + QuoteIdentifier(report.tables[0].name);
    for (size_t i = 1; i < report.tables.size(); ++i) {
        const ReportTable& t = report.tables[i];
        sql += " JOIN " + QuoteIdentifier(t.name) + " ON " + ColumnSql(t.name, t.joinColumn) + " = " +
               ColumnSql(t.parentTable, t.parentColumn);
    }
    return sql;
}

// Long chains of AND or OR are nested as a balanced tree, so that hundreds of
// conditions stay far below SQLite's expression depth limit.
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

std::string Placeholders(size_t count) {
    std::string out = "(";
    for (size_t i = 0; i < count; ++i) out += i ? ",?" : "?";
    return out + ")";
}

// One IN per mapped dimension; members of dimensions the report does not map,
// and unresolved recursive members, restrict nothing.
void AddMemberTerms(const ReportDefinition& report, const std::vector<Member>& members,
                    std::vector<std::string>* terms, std::vector<std::string>* values) {
    for (const MemberMap& map : report.maps) {
        std::vector<std::string> keys;
        for (const Member& m : members) {
            if (m.restricts && EqualNoCase(m.dimension, map.dimension))
                keys.push_back(m.value);
        }
        if (keys.empty())
            continue;
        terms->push_back("(" + ColumnSql(map.table, map.column) + " IN " + Placeholders(keys.size()) + ")");
        values->insert(values->end(), keys.begin(), keys.end());
    }
}

std::string ComparisonSql(const ReportDefinition& report, const Comparison& c,
                          std::vector<std::string>* values) {
    const ReportColumn& col = report.columns[c.column];
    std::string sql = "(" + ColumnSql(col.table, col.column) + " " + OperatorSql(c.op) + " ";
    if (c.op == Operator::In || c.op == Operator::NotIn) {
        sql += Placeholders(c.values.size());
    } else {
        sql += "?";
    }
    values->insert(values->end(), c.values.begin(), c.values.end());
    return sql + ")";
}

}  // namespace

BoundQuery BuildDataQuery(const ReportDefinition& report, const std::vector<Member>& members,
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

    BoundQuery q;
    q.resultColumns = shown.size();
    if (shown.empty())
        return q;
    q.sql = "SELECT ";
    for (size_t i = 0; i < shown.size(); ++i) {
        const ReportColumn& col = report.columns[shown[i]->column];
        q.sql += (i ? ", " : "") + ColumnSql(col.table, col.column);
    }
    q.sql += FromClause(report);

    std::vector<std::string> terms;
    AddMemberTerms(report, members, &terms, &q.values);
    for (const ColumnChoice& c : choices) {
        ConditionTree tree = ParseCondition(c.condition, keys, report.columns[c.column].Key());
        if (tree.anyOf.empty())
            continue;
        std::vector<std::string> alternatives;
        for (const auto& group : tree.anyOf) {
            std::vector<std::string> all;
            for (const Comparison& cmp : group) all.push_back(ComparisonSql(report, cmp, &q.values));
            alternatives.push_back(JoinBalanced(all, "AND"));
        }
        terms.push_back(JoinBalanced(alternatives, "OR"));
    }
    if (!terms.empty())
        q.sql += " WHERE " + JoinBalanced(terms, "AND");

    if (!sorted.empty()) {
        q.sql += " ORDER BY ";
        for (size_t i = 0; i < sorted.size(); ++i) {
            const ReportColumn& col = report.columns[sorted[i]->column];
            q.sql += (i ? ", " : "") + ColumnSql(col.table, col.column) +
                     (sorted[i]->sortDirection == 2 ? " DESC" : " ASC");
        }
    }
    return q;
}

BoundQuery BuildValueQuery(const ReportDefinition& report, const std::vector<Member>& members,
                           size_t column) {
    const ReportColumn& col = report.columns[column];
    std::string target = ColumnSql(col.table, col.column);
    BoundQuery q;
    q.resultColumns = 1;
    std::vector<std::string> terms;
    AddMemberTerms(report, members, &terms, &q.values);
    terms.push_back("(" + target + " IS NOT NULL)");
    q.sql = "SELECT DISTINCT " + target + FromClause(report) + " WHERE " + JoinBalanced(terms, "AND") +
            " ORDER BY 1";
    return q;
}

std::string BuildProbeQuery(const ReportDefinition& report) {
    std::string sql = "SELECT ";
    for (size_t i = 0; i < report.columns.size(); ++i) {
        sql += (i ? ", " : "") + ColumnSql(report.columns[i].table, report.columns[i].column);
    }
    for (const MemberMap& m : report.maps) sql += ", " + ColumnSql(m.table, m.column);
    return sql + FromClause(report) + " LIMIT 0";
}

}  // namespace zevdtapi
