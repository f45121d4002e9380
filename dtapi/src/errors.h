// Error numbers of the library and the exception that carries one to the export
// that answers with it. Every number is listed with its meaning in
// docs/stand-in.md; 2003000 is the refused login the caller knows by number.
#ifndef ZEVDTAPI_ERRORS_H
#define ZEVDTAPI_ERRORS_H

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zevdtapi {

enum ErrorNumber : uint32_t {
    kNullArgument = 2001001,       // a required argument or the library handle is NULL
    kCallOrder = 2001002,          // a call that needs an earlier step (connect, execute) came too soon
    kBadArgument = 2001003,        // an argument is out of range or not terminated
    kDatabaseOpen = 2002001,       // the database cannot be opened
    kCatalog = 2002002,            // the database holds no usable catalog
    kDataSourceUnknown = 2002003,  // no data source for the context value
    kLoginRefused = 2003000,       // user, password or server name refused
    kReportIndex = 2004001,        // report index outside the report list
    kReportDefinition = 2004002,   // the catalog's definition of the report is wrong
    kColumnRecord = 2005001,       // a column record names no column of the report
    kCondition = 2005002,          // a filter condition text cannot be read
    kMemberString = 2005003,       // a member string of the intersection is malformed
    kQuery = 2006001,              // the database failed while running a query
    kCancelled = 2006002,          // ZevDTAPIServerCancel stopped the request
    kResultTooLarge = 2006003,     // the result has 2^31 cells or more
    kFilterRecords = 2007001,      // saved-filter records are malformed
    kFilterSave = 2007002,         // saving the filters failed; nothing was changed
    kOutOfMemory = 2008001,        // memory ran out
    kInternal = 2009001,           // an unexpected internal failure
};

class Failure : public std::runtime_error {
  public:
    Failure(uint32_t number, const std::string& text) : std::runtime_error(text), number_(number) {}
    uint32_t number() const { return number_; }

  private:
    uint32_t number_;
};

[[noreturn]] inline void Fail(uint32_t number, const std::string& text) {
    throw Failure(number, text);
}

}  // namespace zevdtapi

#endif
