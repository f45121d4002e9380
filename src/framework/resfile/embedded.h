// The compiled resources linked into the headless build.  Windows reads the same resources from
// the DLL's resource section instead.
#ifndef ZEVDT_FRAMEWORK_RESFILE_EMBEDDED_H
#define ZEVDT_FRAMEWORK_RESFILE_EMBEDDED_H

#include <cstddef>

namespace fw {

struct ResourceBlob {
    const unsigned char* data;
    size_t size;
};

ResourceBlob SystemResources();     // the library's own: zevdtu.rc
ResourceBlob FrameworkResources();  // the framework's messages: framework.rc

}  // namespace fw

#endif
