#include "drill.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "formats.h"
#include "host_library.h"
#include "host_text.h"
#include "preflight.h"
#include "report.h"
#include "sample_warehouse.h"
#include "xlsx_format.h"
#include "zevdtu.h"

namespace zevdt {
namespace {

// ZevDTExit on every way out, as a host must: the handle owns the dialogs'
// state and the item arrays.
class Handle {
  public:
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (open_) {
            ZevDTClose(handle_);
        }
        ZevDTExit(handle_);
    }
    void** Address() { return &handle_; }
    void* Get() const { return handle_; }
    void SetOpen(bool open) { open_ = open; }

  private:
    void* handle_ = nullptr;
    bool open_ = false;
};

int Failed(std::ostream& err, const char* call, std::uint32_t code, void* handle = nullptr) {
    err << "zevdt: " << call << " failed with " << DescribeCode(code, LastMessage(handle)) << "\n";
    return kExitFailed;
}

// The UI script and the output file, checked before the first dialog; a
// message and false when one of them cannot be used.
bool UsablePaths(const DrillOptions& options, std::ostream& err) {
    std::string script = options.uiScript;
    if (script.empty()) {
        const char* named = std::getenv("ZEVDT_UI_SCRIPT");
        script = named ? named : "";
    }
    if (!script.empty()) {
        std::string why = WhyNotReadable(script);
        if (!why.empty()) {
            err << "zevdt: cannot read the UI script " << script << ": " << why << "\n";
            return false;
        }
    }
    if (!options.output.empty()) {
        std::string why = WhyNotWritable(options.output);
        if (!why.empty()) {
            err << "zevdt: cannot write " << options.output << ": " << why << "\n";
            return false;
        }
    }
    return true;
}

bool WriteTo(const Report& report, const DrillOptions& options, std::ostream& out, std::ostream& err) {
    if (options.format == OutputFormat::kXlsx) {
        std::string error;
        if (!WriteXlsx(report, options.output, &error)) {
            err << "zevdt: " << error << "\n";
            return false;
        }
        return true;
    }
    if (options.output.empty()) {
#ifdef _WIN32
        // A console shows its own code page, not the ANSI one: it gets the letters as UTF-16.
        if (&out == &std::cout && options.format == OutputFormat::kTable) {
            std::ostringstream text;
            WriteReport(report, options.format, text, TextEncoding::kUtf8);
            if (WriteToConsole(text.str()))
                return true;
        }
#endif
        WriteReport(report, options.format, out, options.encoding);
        out.flush();
        if (!out) {
            err << "zevdt: cannot write the report to standard output\n";
            return false;
        }
        return true;
    }
    // Binary, so that CSV keeps exactly its CRLF and the other formats LF.
    std::ofstream file(options.output, std::ios::binary | std::ios::trunc);
    if (!file) {
        err << "zevdt: cannot create " << options.output << ": " << WhyNotWritable(options.output) << "\n";
        return false;
    }
    WriteReport(report, options.format, file, options.encoding);
    file.close();
    if (!file) {
        err << "zevdt: cannot write " << options.output << "\n";
        return false;
    }
    return true;
}

}  // namespace

int RunDrill(const DrillOptions& options, std::ostream& out, std::ostream& err) {
    if (!UsablePaths(options, err)) {
        return kExitUsage;
    }
    // A message box that nobody answers (no script line for it) writes its
    // text as a diagnostic; zevdt wants those on standard error unless the
    // caller chose otherwise.
    const char* diagnostics = std::getenv("ZEVDT_DIAGNOSTICS");
    const bool setDiagnostics = !diagnostics || !*diagnostics;
    // The library reads these when it starts, so they are set before ZevDTInit.
    if ((!options.uiScript.empty() && !SetEnvironment("ZEVDT_UI_SCRIPT", options.uiScript)) ||
        (!options.database.empty() && !SetEnvironment("ZEVDTAPI_DATABASE", options.database)) ||
        (setDiagnostics && !SetEnvironment("ZEVDT_DIAGNOSTICS", "1"))) {
        err << "zevdt: cannot set the environment for the library\n";
        return kExitFailed;
    }

    Handle handle;
    if (std::uint32_t code = ZevDTInit(0, handle.Address())) {
        return Failed(err, "ZevDTInit", code);
    }
    if (!handle.Get()) {
        err << "zevdt: ZevDTInit gave no handle\n";
        return kExitFailed;
    }
    if (options.password) {
        if (std::uint32_t code = ZevDTSetSourcePassword(handle.Get(), options.password->c_str())) {
            return Failed(err, "ZevDTSetSourcePassword", code);
        }
    }

    // The library takes char**; it reads the strings and keeps no pointer.
    std::vector<std::string> members = options.members;
    std::vector<char*> pointers;
    for (std::string& member : members) {
        pointers.push_back(&member[0]);
    }
    pointers.push_back(nullptr);
    std::uint32_t code =
        ZevDTOpen(handle.Get(), static_cast<std::uint32_t>(members.size()), pointers.data(), options.context);
    if (code == ZEVDT_CANCELLED) {
        // A refused login ends here when the script has no second one.
        std::string last = LastMessage(handle.Get());
        err << "zevdt: cancelled" << (last.empty() ? "" : " after the message: ") << last << "\n";
        const char* script = std::getenv("ZEVDT_UI_SCRIPT");
        if (!DialogsAreSeen() && (!script || !*script)) {
            err << "zevdt: no UI script: without one every dialog is cancelled on this system; "
                   "--ui-script FILE answers them\n";
        }
        return kExitCancelled;
    }
    if (code != ZEVDT_OK) {
        return Failed(err, "ZevDTOpen", code, handle.Get());
    }
    handle.SetOpen(true);

    ZevDTHeaderItem* header = nullptr;
    ZevDTHeaderInfoItem* info = nullptr;
    ZevDTDataItem* data = nullptr;
    std::uint32_t headerCount = 0, infoCount = 0, dataCount = 0;
    if ((code = ZevDTGetHeader(handle.Get(), &header, &headerCount))) {
        return Failed(err, "ZevDTGetHeader", code, handle.Get());
    }
    if ((code = ZevDTGetHeaderInfo(handle.Get(), &info, &infoCount))) {
        return Failed(err, "ZevDTGetHeaderInfo", code, handle.Get());
    }
    if ((code = ZevDTGetData(handle.Get(), &data, &dataCount))) {
        return Failed(err, "ZevDTGetData", code, handle.Get());
    }
    Report report;
    std::string error;
    if (!BuildReport(header, headerCount, info, infoCount, data, dataCount, &report, &error)) {
        err << "zevdt: the library's items do not form a report: " << error << "\n";
        return kExitFailed;
    }
    handle.SetOpen(false);
    if ((code = ZevDTClose(handle.Get()))) {
        return Failed(err, "ZevDTClose", code, handle.Get());
    }
    return WriteTo(report, options, out, err) ? kExitOk : kExitFailed;
}

int RunSample(const SampleOptions& options, std::ostream& out, std::ostream& err) {
    std::string path = options.database.empty() ? DefaultDatabasePath() : options.database;
    std::string error;
    if (!zevdtapi::CreateSampleWarehouse(path, options.replace, &error)) {
        err << "zevdt: cannot create the sample warehouse " << path << ": " << error
            << (options.replace ? "" : " (--replace overwrites an existing file)") << "\n";
        return kExitFailed;
    }
    out << "sample warehouse written to " << path << "\n"
        << "demo user " << zevdtapi::kSampleUser << ", password " << zevdtapi::kSamplePassword << "\n";
    return kExitOk;
}

}  // namespace zevdt
