// The sample warehouse: a small sales star schema with its report catalog,
// created the same way, byte for byte, every time.
#ifndef ZEVDTAPI_SAMPLE_WAREHOUSE_H
#define ZEVDTAPI_SAMPLE_WAREHOUSE_H

#include <string>

namespace zevdtapi {

// Number of rows of the fact table.
constexpr int kSampleSalesRows = 100000;

// Demo login of the data source that asks for one.
constexpr const char* kSampleUser = "demo";
constexpr const char* kSamplePassword = "demo-2024";
// A second user whose name and password have letters beyond ASCII (UTF-8).
constexpr const char* kSampleUser2 = "J\u00f3zef";
constexpr const char* kSamplePassword2 = "M\u00f3j-Krak\u00f3w-2024";

// Creates the warehouse at path. An existing file is left alone (and false
// returned) unless replace is true. On failure error receives the reason.
bool CreateSampleWarehouse(const std::string& path, std::string* error);
bool CreateSampleWarehouse(const std::string& path, bool replace, std::string* error);

}  // namespace zevdtapi

#endif
