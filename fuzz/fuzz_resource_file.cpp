// The .res reader takes whatever bytes it is given without reading past them.
#include "framework/resfile/embedded.h"
#include "framework/resfile/resource_file.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fw::ResourceFile file;
    std::string text;
    if (file.Parse(data, size, &text)) {
        for (unsigned id : {129u, 138u, 139u, 144u, 50502u, 50514u, 15623u}) {
            file.FindString(id, &text);
            if (const fw::DialogTemplate* t = file.FindDialog(id))
                for (const fw::ControlTemplate& c : t->controls) text = c.text + c.windowClass;
            file.FindBitmap(id);
        }
    }
    return 0;
}

std::vector<std::string> FuzzSeeds() {
    fw::ResourceBlob sys = fw::SystemResources();
    fw::ResourceBlob frame = fw::FrameworkResources();
    return {std::string(reinterpret_cast<const char*>(sys.data), sys.size),
            std::string(reinterpret_cast<const char*>(frame.data), frame.size)};
}
