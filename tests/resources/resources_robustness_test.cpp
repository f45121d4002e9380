// The compiled resources as shipped, cut short at every length: the reader must fail cleanly
// (or, at an entry boundary, read a shorter image) and never read out of bounds; the exact
// boundaries are checked on hand-built images in resfile_parser_test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/resfile/embedded.h"
#include "framework/resfile/resource_file.h"

namespace {

void TruncateEverywhere(fw::ResourceBlob blob) {
    // The bitmap takes most of the image; step through it quickly and byte by byte elsewhere.
    fw::ResourceFile file;
    ASSERT_TRUE(file.Parse(blob.data, blob.size));
    size_t accepted = 0;
    for (size_t n = 0; n < blob.size; n += (n > 2048 && n + 2048 < blob.size) ? 61 : 1) {
        std::vector<unsigned char> cut(blob.data, blob.data + n);
        if (file.Parse(cut.data(), cut.size()))
            ++accepted;
    }
    EXPECT_GT(accepted, 0u);
}

TEST(EmbeddedResources, SurviveTruncation) {
    TruncateEverywhere(fw::SystemResources());
    TruncateEverywhere(fw::FrameworkResources());
}

}  // namespace
