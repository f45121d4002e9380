// The seventeen exported functions. Each checks its handle, clears the last
// error, runs the library operation and turns any exception into an error
// number with a text: nothing is thrown across this boundary.
#include <cstring>
#include <new>

#include "code_page.h"
#include "errors.h"
#include "library.h"
#include "zevdtapi.h"

using zevdtapi::Failure;
using zevdtapi::Library;

namespace {

const char kNullHandleText[] = "The library handle is NULL or no longer valid.";

Library* AsLibrary(void* handle) {
    Library* lib = static_cast<Library*>(handle);
    return lib && lib->magic == Library::kMagic ? lib : nullptr;
}

template <class Body>
uint32_t Run(void* handle, Body&& body) {
    Library* lib = AsLibrary(handle);
    if (!lib)
        return zevdtapi::kNullArgument;
    try {
        lib->ClearError();
        body(*lib);
        return 0;
    } catch (const Failure& f) {
        lib->SetError(f.number(), f.what());
        return f.number();
    } catch (const std::bad_alloc&) {
        lib->SetError(zevdtapi::kOutOfMemory, "The library ran out of memory.");
        return zevdtapi::kOutOfMemory;
    } catch (const std::exception& e) {
        lib->SetError(zevdtapi::kInternal, std::string("Internal failure: ") + e.what());
        return zevdtapi::kInternal;
    } catch (...) {
        lib->SetError(zevdtapi::kInternal, "Internal failure.");
        return zevdtapi::kInternal;
    }
}

// Writes at most capacity bytes of text in the caller's code page and a NUL,
// never splitting a character.
void WriteErrorText(const std::string& text, char* out, uint32_t capacity) {
    std::string host = zevdtapi::HostText().OutBounded(text, capacity);
    std::memcpy(out, host.data(), host.size());
    out[host.size()] = 0;
}

}  // namespace

extern "C" {

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIInit(uintptr_t value, void** library) {
    if (!library)
        return zevdtapi::kNullArgument;
    *library = nullptr;
    try {
        *library = new Library(value);
        return 0;
    } catch (...) {
        return zevdtapi::kOutOfMemory;
    }
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPISetConnection(void* library, char** members, uint32_t count,
                                                      uint64_t context) {
    return Run(library, [&](Library& l) { l.SetConnection(members, count, context); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetInfo(void* library, ZevDTAPIConnectionInfo* info) {
    return Run(library, [&](Library& l) { l.GetInfo(info); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPISetInfo(void* library, ZevDTAPIConnectionInfo* info) {
    return Run(library, [&](Library& l) { l.SetInfo(info); });
}

// The retried login after a refusal carries the same fields; the stand-in
// treats it exactly like the first one.
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPISetInfoWithOptionOn(void* library, ZevDTAPIConnectionInfo* info) {
    return Run(library, [&](Library& l) { l.SetInfo(info); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIConnect(void* library) {
    return Run(library, [&](Library& l) { l.Connect(); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetReports(void* library, ZevDTAPIReport*** reports,
                                                   uint32_t* count) {
    return Run(library, [&](Library& l) { l.GetReports(reports, count); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIExecuteReport(void* library, uint32_t reportIndex) {
    return Run(library, [&](Library& l) { l.ExecuteReport(reportIndex); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetColumns(void* library, ZevDTAPIColumn*** columns, int32_t* count) {
    return Run(library, [&](Library& l) { l.GetColumns(columns, count); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetData(void* library, ZevDTAPICell*** cells, uint32_t* rows,
                                                uint32_t* columns) {
    return Run(library, [&](Library& l) { l.GetData(cells, rows, columns); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetError(void* library, uint32_t* number, char* text,
                                                 uint32_t capacity) {
    Library* lib = AsLibrary(library);
    uint32_t n = lib ? lib->errorNumber() : uint32_t(zevdtapi::kNullArgument);
    if (number)
        *number = n;
    if (text) {
        try {
            WriteErrorText(lib ? lib->errorText() : std::string(kNullHandleText), text, capacity);
        } catch (...) {
            text[0] = 0;
        }
    }
    if (!lib)
        return zevdtapi::kNullArgument;
    return number || text ? 0 : uint32_t(zevdtapi::kNullArgument);
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIServerCancel(void* library) {
    // Runs while another thread may be inside a call: it must not touch the last error.
    Library* lib = AsLibrary(library);
    if (!lib)
        return zevdtapi::kNullArgument;
    try {
        lib->ServerCancel();
        return 0;
    } catch (...) {
        return zevdtapi::kInternal;
    }
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIClose(void* library) {
    return Run(library, [&](Library& l) { l.Close(); });
}

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIExit(void* library) {
    Library* lib = AsLibrary(library);
    if (!lib)
        return zevdtapi::kNullArgument;
    try {
        delete lib;
    } catch (...) {
    }
    return 0;
}

ZEVDTAPI_FN int32_t ZEVDT_CALL ZevDTAPIGetFilterDescConditions(void* library, char*** records,
                                                               int32_t* count) {
    return int32_t(Run(library, [&](Library& l) { l.GetFilters(records, count); }));
}

ZEVDTAPI_FN int32_t ZEVDT_CALL ZevDTAPISetFilterDescConditions(void* library, char** records, int32_t count) {
    return int32_t(Run(library, [&](Library& l) { l.SetFilters(records, count); }));
}

ZEVDTAPI_FN int32_t ZEVDT_CALL ZevDTAPIGetFilterData(void* library, ZevDTAPIColumn* column, char*** values,
                                                     int32_t* count) {
    return int32_t(Run(library, [&](Library& l) { l.GetFilterData(column, values, count); }));
}

}  // extern "C"
