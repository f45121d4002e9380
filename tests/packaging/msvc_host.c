/* A host as MSVC would compile it, without a C runtime: it links only when
 * the .lib of the package resolves every export the way an MSVC object file
 * names it (decorated stdcall names on 32 bits). */
#include "zevdtu.h"

uint32_t entry(void) {
    void* handle = 0;
    uint32_t code = ZevDTInit(0, &handle);
    char* members[1] = {"Year=2024\n"};
    ZevDTHeaderItem* header;
    ZevDTHeaderInfoItem* info;
    ZevDTDataItem* data;
    uint32_t count;
    code |= ZevDTSetSourcePassword(handle, "");
    code |= ZevDTOpen(handle, 1, members, 0);
    code |= ZevDTGetHeader(handle, &header, &count);
    code |= ZevDTGetHeaderInfo(handle, &info, &count);
    code |= ZevDTGetData(handle, &data, &count);
    code |= ZevDTGetSourcePassword(handle) != 0;
    code |= ZevDTClose(handle);
    return code | ZevDTExit(handle);
}
