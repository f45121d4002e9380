// Where the data-transfer library is looked for: the named path, beside the
// module, the platform's search — and never the current directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "dtapi_table.h"
#include "fake_records.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

TEST(Loader, FindsTheLibraryByNameOnlyWhereItIsSafe) {
    const fs::path folder = fs::u8path(ifacetest::ProgramFolder());
    const fs::path fake = fs::u8path(ifacetest::FakeLibraryPath());
    const fs::path beside = folder / zevdt::DTAPILibraryName();
    const fs::path elsewhere = folder / "loader-cwd";
    std::error_code ignored;
    // Removed first: the mingw runtime refuses copy_file over an existing file.
    fs::remove(beside, ignored);
    fs::remove(elsewhere / zevdt::DTAPILibraryName(), ignored);
    fs::create_directories(elsewhere);
    fs::copy_file(fake, elsewhere / zevdt::DTAPILibraryName());
    const fs::path started = fs::current_path();
    testsupport::ScopedEnv unset("ZEVDTAPI_LIBRARY", std::nullopt);

    // A document's folder may be the current one: a library planted there is never taken.
    fs::current_path(elsewhere);
    std::string error;
    EXPECT_EQ(zevdt::LoadDTAPI(&error), nullptr);
    EXPECT_FALSE(error.empty());

    // A path that names no library is not replaced by some other copy.
    {
        fs::copy_file(fake, beside);
        testsupport::ScopedEnv named("ZEVDTAPI_LIBRARY", (folder / "not-there").u8string());
        EXPECT_EQ(zevdt::LoadDTAPI(), nullptr);
    }

    // Beside the module that loads it.
    const zevdt::DTAPITable* table = zevdt::LoadDTAPI(&error);
    fs::current_path(started);
    ASSERT_NE(table, nullptr) << error;
    void* library = nullptr;
    EXPECT_EQ(table->Init(0, &library), 0u);
    EXPECT_NE(library, nullptr);
    EXPECT_EQ(table->Connect(library), 0u);
    // Loaded once, kept for the process.
    EXPECT_EQ(zevdt::LoadDTAPI(), table);
}

}  // namespace
