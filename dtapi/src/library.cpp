#include "library.h"

#include <cstring>
#include <set>

#include "ascii_lower.h"
#include "code_page.h"
#include "database_path.h"
#include "password_hash.h"
#include "text_copy.h"

namespace zevdtapi {
namespace {

constexpr uint32_t kMaxMembers = 4096;
constexpr size_t kMaxMemberLength = 64 * 1024;
constexpr int32_t kMaxFilterRecords = 100000;
constexpr size_t kMaxFilterRecordLength = 1024 * 1024;

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
    HostText host;
    for (uint32_t i = 0; i < count; ++i) {
        if (!members[i])
            Fail(kMemberString, "Member string " + std::to_string(i + 1) + " is NULL.");
        size_t n = strnlen(members[i], kMaxMemberLength + 1);
        if (n > kMaxMemberLength)
            Fail(kMemberString, "Member string " + std::to_string(i + 1) + " is too long.");
        std::string what = "Member string " + std::to_string(i + 1);
        parsed.push_back(ParseMemberString(host.In(std::string(members[i], n), what.c_str()), i));
    }

    std::lock_guard<std::mutex> lock(runGuard_);
    if (!db_)
        db_ = OpenBackend(databasePath_, &cancel_);
    Catalog catalog(*db_);
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
    HostText host;
    auto put = [&](char* field, size_t size, const std::string& text) {
        CopyToField(field, size, host.OutBounded(text, size - 1));
    };
    put(info->serverName, sizeof(info->serverName), dataSource_.serverName);
    put(info->dataSourceName, sizeof(info->dataSourceName), dataSource_.name);
    put(info->userName, sizeof(info->userName), userName_);
    info->loginFlags = dataSource_.loginFlags;
}

void Library::SetInfo(const ZevDTAPIConnectionInfo* info) {
    if (!info)
        Fail(kNullArgument, "The connection-info record is NULL.");
    RequireConnection();
    HostText host;
    serverName_ = Trim(host.In(LoginField(info->serverName), "The server name"));
    userName_ = host.In(LoginField(info->userName), "The user name");
    Wipe(password_);
    std::string password = LoginField(info->password);
    try {
        password_ = host.In(password, "The password");
    } catch (...) {
        Wipe(password);
        throw;
    }
    Wipe(password);
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
        Catalog catalog(*db_);
        bool known = !userName_.empty() && catalog.FindPasswordHash(Trim(userName_), &hash);
        bool ok = false;
        if (known)
            ok = VerifyPassword(password, hash);
        else if (catalog.AnyPasswordHash(&hash))
            VerifyPassword(password, hash);  // a known user's cost, whatever rounds its hash has
        else
            SpendVerificationTime(password);
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
    reports_ = Catalog(*db_).ReportsFor(dataSource_.id, dimensions);
    reportRecords_.assign(reports_.size(), ZevDTAPIReport{});
    reportPointers_.clear();
    HostText host;
    for (size_t i = 0; i < reports_.size(); ++i) {
        char* name = reportRecords_[i].name;
        CopyToField(name, sizeof(reportRecords_[i].name),
                    host.OutBounded(reports_[i].name, ZEVDTAPI_REPORT_NAME_FIELD - 1));
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
    ReportDefinition report = Catalog(*db_).LoadReport(reports_[index]);
    std::set<std::string> tables;
    for (const ReportTable& t : report.tables) tables.insert(AsciiLower(t.name));
    try {
        db_->UseReport(report.id, tables, BuildProbeQuery(db_->engine(), report));
    } catch (const Failure& f) {
        Fail(kReportDefinition, "Report \"" + report.name + "\" cannot be run. " + f.what());
    }
    report_ = std::move(report);

    // The caller may still hold the previous records until it asks for columns again.
    for (auto& r : columnRecords_) retiredColumns_.push_back(std::move(r));
    columnRecords_.clear();
    HostText host;
    for (const ReportColumn& c : report_.columns) {
        auto record = std::make_unique<ZevDTAPIColumn>();
        std::memset(record.get(), 0, sizeof(ZevDTAPIColumn));
        record->displayPosition = c.displayPosition;
        CopyToField(record->tableName, sizeof(record->tableName),
                    host.OutBounded(c.table, ZEVDTAPI_NAME_FIELD - 1));
        CopyToField(record->columnName, sizeof(record->columnName),
                    host.OutBounded(c.column, ZEVDTAPI_NAME_FIELD - 1));
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

size_t Library::FindColumn(const ZevDTAPIColumn& record, size_t index, const HostText& host) const {
    std::string table, column;
    std::string where = "Column record " + std::to_string(index + 1);
    if (!ReadField(record.tableName, sizeof(record.tableName), &table) ||
        !ReadField(record.columnName, sizeof(record.columnName), &column)) {
        Fail(kColumnRecord, where + " has a table or column name without an end.");
    }
    table = host.In(table, where.c_str());
    column = host.In(column, where.c_str());
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
    HostText host;
    for (size_t i = 0; i < columnRecords_.size(); ++i) {
        const ZevDTAPIColumn& r = *columnRecords_[i];
        ColumnChoice c;
        c.column = FindColumn(r, i, host);
        c.displayPosition = r.displayPosition;
        c.sortPosition = r.sortPosition;
        c.sortDirection = r.sortDirection;
        if (!ReadField(r.condition, sizeof(r.condition), &c.condition)) {
            Fail(kColumnRecord, "The filter condition of column " + report_.columns[c.column].Key() +
                                    " has no end within its 8193 bytes.");
        }
        c.condition = host.In(c.condition,
                              ("The filter condition of column " + report_.columns[c.column].Key()).c_str());
        choices.push_back(std::move(c));
    }
    return choices;
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
    BoundQuery q = BuildDataQuery(db_->engine(), report_, members_, ReadChoices());
    if (q.resultColumns == 0)
        return;

    RunScope run(*this);
    HostText host;
    CellWriter out(arena_, cells_, q.decimal, host.converts() ? &host : nullptr);
    try {
        db_->FetchRows(q, out);
    } catch (...) {
        cells_.clear();
        arena_.Reset();
        throw;
    }
    if (out.rows() == 0)
        return;
    *cells = cells_.data();
    *rows = uint32_t(out.rows());
    *columns = uint32_t(q.resultColumns);
}

void Library::ServerCancel() {
    std::lock_guard<std::mutex> lock(runGuard_);
    if (running_) {
        cancel_ = true;
        if (db_)
            db_->Interrupt();
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
    cells_.Release();
    arena_.Release();
    filterRecords_.clear();
    filterPointers_.clear();
    values_.clear();
    valuePointers_.clear();
    db_.reset();
}

void Library::GetFilters(char*** records, int32_t* count) {
    if (!records || !count)
        Fail(kNullArgument, "An out argument of ZevDTAPIGetFilterDescConditions is NULL.");
    *records = nullptr;
    *count = 0;
    RequireExecuted();
    filterRecords_ = Catalog(*db_).LoadFilters(report_.id);
    HostText host;
    if (host.converts()) {
        for (std::string& r : filterRecords_) r = host.Out(r);
    }
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
    HostText host;
    for (int32_t i = 0; i < count; ++i) {
        if (!records[i]) {
            Fail(kFilterRecords, "Filter record " + std::to_string(i + 1) + " is NULL; nothing was saved.");
        }
        size_t n = strnlen(records[i], kMaxFilterRecordLength + 1);
        if (n > kMaxFilterRecordLength) {
            Fail(kFilterRecords, "Filter record " + std::to_string(i + 1) + " is longer than " +
                                     std::to_string(kMaxFilterRecordLength) + " bytes; nothing was saved.");
        }
        // Saved filters are kept in UTF-8, whatever code page saved them.
        std::string what = "Filter record " + std::to_string(i + 1);
        copies.push_back(host.In(std::string(records[i], n), what.c_str()));
    }
    Catalog(*db_).ReplaceFilters(report_.id, copies);
}

void Library::GetFilterData(const ZevDTAPIColumn* column, char*** values, int32_t* count) {
    if (!column || !values || !count)
        Fail(kNullArgument, "An argument of ZevDTAPIGetFilterData is NULL.");
    *values = nullptr;
    *count = 0;
    RequireExecuted();
    HostText host;
    size_t index = FindColumn(*column, 0, host);
    values_.clear();
    valuePointers_.clear();

    RunScope run(*this);
    try {
        if (!sequence_ || sequence_->column != index) {
            {
                std::lock_guard<std::mutex> lock(runGuard_);
                sequence_.reset();  // the engine reads one list at a time
            }
            BoundQuery q = BuildValueQuery(db_->engine(), report_, members_, index);
            auto seq = std::make_unique<ValueSequence>();
            seq->column = index;
            seq->cursor = db_->OpenValues(q);
            std::lock_guard<std::mutex> lock(runGuard_);
            sequence_ = std::move(seq);
        }
        if (!sequence_->finished) {
            bool decimal = report_.columns[index].dataType == 21;
            sequence_->finished = !sequence_->cursor->Next(size_t(kValueBatchSize), decimal, &values_);
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
    if (host.converts() && report_.columns[index].dataType != 21) {
        for (std::string& v : values_) v = host.Out(v);
    }
    for (std::string& v : values_) valuePointers_.push_back(&v[0]);
    *values = valuePointers_.data();
    *count = int32_t(valuePointers_.size());
}

}  // namespace zevdtapi
