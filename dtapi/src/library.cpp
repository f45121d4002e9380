#include "library.h"

#include <cstring>
#include <set>

#include "busy_wait.h"
#include "database_path.h"
#include "password_hash.h"
#include "text_copy.h"

namespace zevdtapi {
namespace {

constexpr uint32_t kMaxMembers = 4096;
constexpr size_t kMaxMemberLength = 64 * 1024;
constexpr int32_t kMaxFilterRecords = 100000;
constexpr size_t kMaxFilterRecordLength = 1024 * 1024;
constexpr uint64_t kMaxCells = 0x7fffffffu;

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    }
    return out;
}

// Login fields hold at most 30 bytes of text; a caller may have filled all 31.
std::string LoginField(const char* field) {
    std::string s = ReadFieldLenient(field, ZEVDTAPI_LOGIN_FIELD);
    if (s.size() > ZEVDTAPI_LOGIN_FIELD - 1)
        s.resize(ZEVDTAPI_LOGIN_FIELD - 1);
    return s;
}

void Wipe(std::string& s) {
    volatile char* p = &s[0];
    for (size_t i = 0; i < s.size(); ++i) p[i] = 0;
    s.clear();
}

}  // namespace

Library::RunScope::RunScope(Library& l) : l_(l) {
    std::lock_guard<std::mutex> lock(l_.runGuard_);
    l_.running_ = true;
    l_.cancel_ = false;
}

Library::RunScope::~RunScope() {
    std::lock_guard<std::mutex> lock(l_.runGuard_);
    l_.running_ = false;
    l_.cancel_ = false;
}

Library::Library(uintptr_t initValue) : initValue_(initValue), databasePath_(DatabasePath()) {}

Library::~Library() {
    magic = 0;
    Close();
    Wipe(password_);
}

void Library::ResetSession() {
    std::lock_guard<std::mutex> lock(runGuard_);
    sequence_.reset();
    haveConnection_ = false;
    connected_ = false;
    executed_ = false;
    Wipe(password_);
}

void Library::RequireConnection() const {
    if (!haveConnection_)
        Fail(kCallOrder, "No intersection was given: ZevDTAPISetConnection must come first.");
}

void Library::RequireExecuted() const {
    if (!executed_)
        Fail(kCallOrder, "No report is executed: ZevDTAPIExecuteReport must come first.");
}

void Library::SetConnection(char** members, uint32_t count, uint64_t context) {
    ResetSession();
    if (count > 0 && !members)
        Fail(kNullArgument, "The member strings are NULL.");
    if (count > kMaxMembers) {
        Fail(kBadArgument, "The intersection has " + std::to_string(count) + " member strings; at most " +
                               std::to_string(kMaxMembers) + " are accepted.");
    }
    std::vector<Member> parsed;
    for (uint32_t i = 0; i < count; ++i) {
        if (!members[i])
            Fail(kMemberString, "Member string " + std::to_string(i + 1) + " is NULL.");
        size_t n = strnlen(members[i], kMaxMemberLength + 1);
        if (n > kMaxMemberLength)
            Fail(kMemberString, "Member string " + std::to_string(i + 1) + " is too long.");
        parsed.push_back(ParseMemberString(std::string(members[i], n), i));
    }

    std::lock_guard<std::mutex> lock(runGuard_);
    if (!catalogDb_) {
        catalogDb_.Open(databasePath_, SQLITE_OPEN_READWRITE);
        sqlite3_db_config(catalogDb_.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(catalogDb_.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        WaitBrieflyWhenBusy(catalogDb_.get(), &cancel_);
    }
    if (!queryDb_) {
        try {
            queryDb_.Open(databasePath_, &cancel_);
        } catch (...) {
            catalogDb_.Close();
            throw;
        }
    }
    Catalog catalog(catalogDb_.get());
    catalog.CheckPresent();
    dataSource_ = catalog.FindDataSource(context);
    members_ = std::move(parsed);
    serverName_.clear();
    userName_.clear();
    haveConnection_ = true;
}

void Library::GetInfo(ZevDTAPIConnectionInfo* info) const {
    if (!info)
        Fail(kNullArgument, "The connection-info record is NULL.");
    RequireConnection();
    std::memset(info, 0, sizeof(*info));
    CopyToField(info->serverName, sizeof(info->serverName), dataSource_.serverName);
    CopyToField(info->dataSourceName, sizeof(info->dataSourceName), dataSource_.name);
    CopyToField(info->userName, sizeof(info->userName), userName_);
    info->loginFlags = dataSource_.loginFlags;
}

void Library::SetInfo(const ZevDTAPIConnectionInfo* info) {
    if (!info)
        Fail(kNullArgument, "The connection-info record is NULL.");
    RequireConnection();
    serverName_ = Trim(LoginField(info->serverName));
    userName_ = LoginField(info->userName);
    Wipe(password_);
    password_ = LoginField(info->password);
    connected_ = false;
}

void Library::Connect() {
    RequireConnection();
    connected_ = false;
    std::string password = password_;
    Wipe(password_);
    uint16_t flags = dataSource_.loginFlags;
    if (!serverName_.empty() && !EqualNoCase(serverName_, Trim(dataSource_.serverName))) {
        Wipe(password);
        Fail(kLoginRefused, "The server \"" + serverName_ + "\" does not serve the data source \"" +
                                dataSource_.name + "\".");
    }
    if (flags & ZEVDTAPI_LOGIN_USER) {
        std::string hash;
        Catalog catalog(catalogDb_.get());
        bool known = !userName_.empty() && catalog.FindPasswordHash(Trim(userName_), &hash);
        bool ok = known ? VerifyPassword(password, hash) : (SpendVerificationTime(password), false);
        Wipe(password);
        if (!ok)
            Fail(kLoginRefused, "The user name or password is not correct.");
    }
    Wipe(password);
    connected_ = true;
}

void Library::GetReports(ZevDTAPIReport*** reports, uint32_t* count) {
    if (!reports || !count)
        Fail(kNullArgument, "An out argument of ZevDTAPIGetReports is NULL.");
    *reports = nullptr;
    *count = 0;
    RequireConnection();
    if (!connected_)
        Fail(kCallOrder, "Not connected: ZevDTAPIConnect must succeed first.");
    std::vector<std::string> dimensions;
    for (const Member& m : members_) dimensions.push_back(m.dimension);
    reports_ = Catalog(catalogDb_.get()).ReportsFor(dataSource_.id, dimensions);
    reportRecords_.assign(reports_.size(), ZevDTAPIReport{});
    reportPointers_.clear();
    for (size_t i = 0; i < reports_.size(); ++i) {
        CopyToField(reportRecords_[i].name, sizeof(reportRecords_[i].name), reports_[i].name);
        reportRecords_[i].customisable = reports_[i].customisable ? 1 : 0;
        reportPointers_.push_back(&reportRecords_[i]);
    }
    *reports = reportPointers_.empty() ? nullptr : reportPointers_.data();
    *count = uint32_t(reportPointers_.size());
}

void Library::ExecuteReport(uint32_t index) {
    RequireConnection();
    if (!connected_)
        Fail(kCallOrder, "Not connected: ZevDTAPIConnect must succeed first.");
    if (index >= reports_.size()) {
        Fail(kReportIndex, "Report " + std::to_string(index) + " does not exist; the report list holds " +
                               std::to_string(reports_.size()) + ".");
    }
    {
        std::lock_guard<std::mutex> lock(runGuard_);
        sequence_.reset();
    }
    executed_ = false;
    ReportDefinition report = Catalog(catalogDb_.get()).LoadReport(reports_[index]);
    std::set<std::string> tables;
    for (const ReportTable& t : report.tables) tables.insert(Lower(t.name));
    queryDb_.AllowTables(tables);
    try {
        Statement probe(queryDb_.get(), BuildProbeQuery(report), kReportDefinition);
    } catch (const Failure& f) {
        Fail(kReportDefinition, "Report \"" + report.name + "\" cannot be run. " + f.what());
    }
    report_ = std::move(report);

    // The caller may still hold the previous records until it asks for columns again.
    for (auto& r : columnRecords_) retiredColumns_.push_back(std::move(r));
    columnRecords_.clear();
    for (const ReportColumn& c : report_.columns) {
        auto record = std::make_unique<ZevDTAPIColumn>();
        std::memset(record.get(), 0, sizeof(ZevDTAPIColumn));
        record->displayPosition = c.displayPosition;
        CopyToField(record->tableName, sizeof(record->tableName), c.table);
        CopyToField(record->columnName, sizeof(record->columnName), c.column);
        record->dataType = c.dataType;
        record->sortPosition = c.sortPosition;
        record->sortDirection = c.sortDirection;
        columnRecords_.push_back(std::move(record));
    }
    executed_ = true;
}

void Library::GetColumns(ZevDTAPIColumn*** columns, int32_t* count) {
    if (!columns || !count)
        Fail(kNullArgument, "An out argument of ZevDTAPIGetColumns is NULL.");
    *columns = nullptr;
    *count = 0;
    RequireExecuted();
    retiredColumns_.clear();
    columnPointers_.clear();
    for (auto& r : columnRecords_) columnPointers_.push_back(r.get());
    *columns = columnPointers_.data();
    *count = int32_t(columnPointers_.size());
}

size_t Library::FindColumn(const ZevDTAPIColumn& record, size_t index) const {
    std::string table, column;
    std::string where = "Column record " + std::to_string(index + 1);
    if (!ReadField(record.tableName, sizeof(record.tableName), &table) ||
        !ReadField(record.columnName, sizeof(record.columnName), &column)) {
        Fail(kColumnRecord, where + " has a table or column name without an end.");
    }
    for (size_t i = 0; i < report_.columns.size(); ++i) {
        if (EqualNoCase(report_.columns[i].table, table) && EqualNoCase(report_.columns[i].column, column))
            return i;
    }
    if (table.size() + column.size() > 200) {
        table = table.substr(0, 100);
        column = column.substr(0, 100);
    }
    Fail(kColumnRecord, where + " names " + table + "." + column + ", which is not a column of report \"" +
                            report_.name + "\".");
}

std::vector<ColumnChoice> Library::ReadChoices() const {
    std::vector<ColumnChoice> choices;
    for (size_t i = 0; i < columnRecords_.size(); ++i) {
        const ZevDTAPIColumn& r = *columnRecords_[i];
        ColumnChoice c;
        c.column = FindColumn(r, i);
        c.displayPosition = r.displayPosition;
        c.sortPosition = r.sortPosition;
        c.sortDirection = r.sortDirection;
        if (!ReadField(r.condition, sizeof(r.condition), &c.condition)) {
            Fail(kColumnRecord, "The filter condition of column " + report_.columns[c.column].Key() +
                                    " has no end within its 8193 bytes.");
        }
        choices.push_back(std::move(c));
    }
    return choices;
}

void Library::BindAll(Statement& s, const std::vector<std::string>& values) const {
    for (size_t i = 0; i < values.size(); ++i) s.BindText(int(i + 1), values[i]);
}

void Library::FailStep(int rc) const {
    if (rc == SQLITE_INTERRUPT || cancel_)
        Fail(kCancelled, "The request was cancelled.");
    if (rc == SQLITE_NOMEM)
        Fail(kOutOfMemory, "The database ran out of memory.");
    Fail(kQuery, "The database failed while reading the report: " + DatabaseMessage(queryDb_.get()));
}

void Library::GetData(ZevDTAPICell*** cells, uint32_t* rows, uint32_t* columns) {
    if (!cells || !rows || !columns)
        Fail(kNullArgument, "An out argument of ZevDTAPIGetData is NULL.");
    *cells = nullptr;
    *rows = 0;
    *columns = 0;
    RequireExecuted();
    cells_.clear();
    arena_.Reset();
    BoundQuery q = BuildDataQuery(report_, members_, ReadChoices());
    if (q.resultColumns == 0)
        return;

    RunScope run(*this);
    Statement s(queryDb_.get(), q.sql);
    BindAll(s, q.values);
    sqlite3_stmt* st = s.get();
    const int n = int(q.resultColumns);
    uint64_t rowCount = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if ((rowCount + 1) * uint64_t(n) > kMaxCells) {
            Fail(kResultTooLarge, "The report has more rows than one result can hold (2^31 cells).");
        }
        for (int c = 0; c < n; ++c) {
            const unsigned char* text = sqlite3_column_text(st, c);
            if (!text) {
                if (sqlite3_column_type(st, c) != SQLITE_NULL)
                    Fail(kOutOfMemory, "The database ran out of memory.");
                cells_.push_back(nullptr);
                continue;
            }
            size_t len = size_t(sqlite3_column_bytes(st, c));
            char* p = arena_.Allocate(ZEVDTAPI_CELL_TEXT_OFFSET + len + 1);
            std::memset(p, 0, ZEVDTAPI_CELL_TEXT_OFFSET);
            std::memcpy(p + ZEVDTAPI_CELL_TEXT_OFFSET, text, len);
            p[ZEVDTAPI_CELL_TEXT_OFFSET + len] = 0;
            cells_.push_back(reinterpret_cast<ZevDTAPICell*>(p));
        }
        ++rowCount;
    }
    if (rc != SQLITE_DONE) {
        cells_.clear();
        FailStep(rc);
    }
    if (rowCount == 0)
        return;
    *cells = cells_.data();
    *rows = uint32_t(rowCount);
    *columns = uint32_t(n);
}

void Library::ServerCancel() {
    std::lock_guard<std::mutex> lock(runGuard_);
    if (running_) {
        cancel_ = true;
        if (queryDb_)
            sqlite3_interrupt(queryDb_.get());
    } else {
        // Between batches: the sequence ends here; the next call starts afresh.
        sequence_.reset();
    }
}

void Library::Close() {
    ResetSession();
    std::lock_guard<std::mutex> lock(runGuard_);
    members_.clear();
    reports_.clear();
    reportRecords_.clear();
    reportPointers_.clear();
    columnRecords_.clear();
    retiredColumns_.clear();
    columnPointers_.clear();
    cells_ = std::vector<ZevDTAPICell*>();
    arena_.Release();
    filterRecords_.clear();
    filterPointers_.clear();
    values_.clear();
    valuePointers_.clear();
    queryDb_.Close();
    catalogDb_.Close();
}

void Library::GetFilters(char*** records, int32_t* count) {
    if (!records || !count)
        Fail(kNullArgument, "An out argument of ZevDTAPIGetFilterDescConditions is NULL.");
    *records = nullptr;
    *count = 0;
    RequireExecuted();
    filterRecords_ = Catalog(catalogDb_.get()).LoadFilters(report_.id);
    filterPointers_.clear();
    for (std::string& r : filterRecords_) filterPointers_.push_back(&r[0]);
    *records = filterPointers_.empty() ? nullptr : filterPointers_.data();
    *count = int32_t(filterPointers_.size());
}

void Library::SetFilters(char** records, int32_t count) {
    RequireExecuted();
    if (count < 0 || count > kMaxFilterRecords) {
        Fail(kFilterRecords,
             "The filter count " + std::to_string(count) + " is out of range; nothing was saved.");
    }
    if (count > 0 && !records)
        Fail(kNullArgument, "The filter records are NULL; nothing was saved.");
    std::vector<std::string> copies;
    for (int32_t i = 0; i < count; ++i) {
        if (!records[i]) {
            Fail(kFilterRecords, "Filter record " + std::to_string(i + 1) + " is NULL; nothing was saved.");
        }
        size_t n = strnlen(records[i], kMaxFilterRecordLength + 1);
        if (n > kMaxFilterRecordLength) {
            Fail(kFilterRecords, "Filter record " + std::to_string(i + 1) + " is longer than " +
                                     std::to_string(kMaxFilterRecordLength) + " bytes; nothing was saved.");
        }
        copies.emplace_back(records[i], n);
    }
    Catalog(catalogDb_.get()).ReplaceFilters(report_.id, copies);
}

void Library::GetFilterData(const ZevDTAPIColumn* column, char*** values, int32_t* count) {
    if (!column || !values || !count)
        Fail(kNullArgument, "An argument of ZevDTAPIGetFilterData is NULL.");
    *values = nullptr;
    *count = 0;
    RequireExecuted();
    size_t index = FindColumn(*column, 0);
    values_.clear();
    valuePointers_.clear();

    RunScope run(*this);
    if (!sequence_ || sequence_->column != index) {
        BoundQuery q = BuildValueQuery(report_, members_, index);
        auto seq = std::make_unique<ValueSequence>();
        seq->column = index;
        seq->statement = Statement(queryDb_.get(), q.sql);
        BindAll(seq->statement, q.values);
        std::lock_guard<std::mutex> lock(runGuard_);
        sequence_ = std::move(seq);
    }
    try {
        sqlite3_stmt* st = sequence_->statement.get();
        while (!sequence_->finished && int32_t(values_.size()) < kValueBatchSize) {
            if (cancel_)
                Fail(kCancelled, "The request was cancelled.");
            int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) {
                sequence_->finished = true;
            } else if (rc == SQLITE_ROW) {
                const unsigned char* t = sqlite3_column_text(st, 0);
                if (!t)
                    Fail(kOutOfMemory, "The database ran out of memory.");
                values_.emplace_back(reinterpret_cast<const char*>(t), size_t(sqlite3_column_bytes(st, 0)));
            } else {
                FailStep(rc);
            }
        }
    } catch (...) {
        std::lock_guard<std::mutex> lock(runGuard_);
        sequence_.reset();
        values_.clear();
        throw;
    }
    if (values_.empty()) {
        std::lock_guard<std::mutex> lock(runGuard_);
        sequence_.reset();  // the list has ended; the next call starts a new one
        return;
    }
    for (std::string& v : values_) valuePointers_.push_back(&v[0]);
    *values = valuePointers_.data();
    *count = int32_t(valuePointers_.size());
}

}  // namespace zevdtapi
