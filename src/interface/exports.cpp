// The nine exports. Each selects this library's resources for the call, turns
// a handle that is not a live drill-through object into 50513, and lets no
// exception reach the host.
#include <new>
#include <string>

#include "framework/bounded_copy.h"
#include "framework/diagnostics.h"
#include "framework/message_capture.h"
#include "drill_through.h"
#include "handle_registry.h"
#include "resources/resource.h"
#include "zevdtu.h"

namespace {

// A call that can show messages keeps the text of the last one with the
// handle, for a host that saw no box (ZevDTGetLastMessage).
class KeepLastMessage {
  public:
    explicit KeepLastMessage(CDrillThrough* object) : capture_(Cleared(object)) {}

  private:
    static std::string* Cleared(CDrillThrough* object) {
        object->LastMessage().clear();
        return &object->LastMessage();
    }
    fw::MessageCapture capture_;
};

// The three deliveries share their frame: the out values are checked and
// reset before the delivery runs, and an exception is shown as well as returned.
template <typename Item, typename Fn>
uint32_t Deliver(void* handle, Item** items, uint32_t* count, Fn deliver) {
    try {
        CDrillThrough* object = zevdt::LookUpHandle(handle);
        if (!object || !items || !count)
            return ZEVDT_E_NULL_PARAMETER;
        *count = 0;
        *items = nullptr;
        KeepLastMessage keep(object);
        return deliver(object);
    } catch (...) {
        try {
            AfxMessageBox(IDS_CAUGHT_UNKNOWN_EXCEPTION, MB_OK);
        } catch (...) {
        }
        return ZEVDT_E_EXCEPTION;
    }
}

}  // namespace

extern "C" {

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTInit(uintptr_t value, void** handle) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!handle)
        return ZEVDT_E_NULL_PARAMETER;
    *handle = nullptr;
    CDrillThrough* object = nullptr;
    try {
        std::string why;
        const zevdt::DTAPITable* api = zevdt::LoadDTAPI(&why);
        if (!api) {
            // 50001 alone cannot tell a missing library from a wrong one.
            fw::ReportDiagnostic("the data-transfer library cannot be loaded: " + why);
            return ZEVDT_E_EXCEPTION;
        }
        object = new (std::nothrow) CDrillThrough(*api);
        if (!object)
            return ZEVDT_E_NULL_PARAMETER;
        object->InitLibrary(value);
        zevdt::RegisterHandle(object);
    } catch (...) {
        delete object;
        return ZEVDT_E_EXCEPTION;
    }
    *handle = object;
    return ZEVDT_OK;
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTOpen(void* handle, uint32_t memberCount, char** members,
                                        uint64_t context) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try {
        CDrillThrough* object = zevdt::LookUpHandle(handle);
        if (!object)
            return ZEVDT_E_NULL_PARAMETER;
        // The library would read `memberCount` strings from nowhere.
        if (!members && memberCount > 0)
            return ZEVDT_E_NULL_PARAMETER;
        KeepLastMessage keep(object);
        return object->Open(memberCount, members, context);
    } catch (...) {
        return ZEVDT_E_EXCEPTION;
    }
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetHeader(void* handle, ZevDTHeaderItem** items, uint32_t* count) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return Deliver(handle, items, count, [&](CDrillThrough* o) { return o->GetHeader(items, count); });
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetHeaderInfo(void* handle, ZevDTHeaderInfoItem** items, uint32_t* count) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return Deliver(handle, items, count, [&](CDrillThrough* o) { return o->GetHeaderInfo(items, count); });
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetData(void* handle, ZevDTDataItem** items, uint32_t* count) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return Deliver(handle, items, count, [&](CDrillThrough* o) { return o->GetData(items, count); });
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTClose(void* handle) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try {
        CDrillThrough* object = zevdt::LookUpHandle(handle);
        if (!object)
            return ZEVDT_E_NULL_PARAMETER;
        KeepLastMessage keep(object);
        return object->Close();
    } catch (...) {
        return ZEVDT_E_EXCEPTION;
    }
}

ZEVDTU_FN char* ZEVDT_CALL ZevDTGetSourcePassword(void* handle) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try {
        CDrillThrough* object = zevdt::LookUpHandle(handle);
        return object ? object->GetSourcePassword() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTSetSourcePassword(void* handle, const char* password) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try {
        CDrillThrough* object = zevdt::LookUpHandle(handle);
        if (!object || !password)
            return ZEVDT_E_NULL_PARAMETER;
        object->SetSourcePassword(password);
        return ZEVDT_OK;
    } catch (...) {
        return ZEVDT_E_EXCEPTION;
    }
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTExit(void* handle) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try {
        // A second exit, or a handle that was never ours, finds nothing to destroy.
        delete zevdt::UnregisterHandle(handle);
    } catch (...) {
    }
    return ZEVDT_OK;
}

#if !defined(_WIN32)
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTLoadString(uint32_t id, char* buffer, uint32_t capacity) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!buffer || capacity == 0)
        return 0;
    buffer[0] = '\0';
    try {
        CString text;
        if (id > 0xFFFF || !text.LoadString(id))
            return 0;
        buffer[capacity - 1] = '\0';
        return static_cast<uint32_t>(fw::BoundedCopy(buffer, capacity - 1, text, fw::Padding::None));
    } catch (...) {
        buffer[0] = '\0';
        return 0;
    }
}

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetLastMessage(void* handle, char* buffer, uint32_t capacity) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!buffer || capacity == 0)
        return 0;
    buffer[0] = '\0';
    try {
        CDrillThrough* object = zevdt::LookUpHandle(handle);
        if (!object)
            return 0;
        buffer[capacity - 1] = '\0';
        return static_cast<uint32_t>(
            fw::BoundedCopy(buffer, capacity - 1, object->LastMessage().c_str(), fw::Padding::None));
    } catch (...) {
        buffer[0] = '\0';
        return 0;
    }
}
#endif

}  // extern "C"
