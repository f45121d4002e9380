// Sizes on 64-bit Windows of the structs that travel with messages. The
// backend checks <commctrl.h> against them and a portable test checks the
// framework's own declarations against the same numbers, so that a struct
// the portable code fills is exactly what the common controls read.
#pragma once

#include <cstddef>

namespace fw {
namespace layout {
#if defined(_WIN64) || defined(__x86_64__)
constexpr std::size_t kNmHdr = 24;
constexpr std::size_t kLvItemA = 88;
constexpr std::size_t kLvColumnA = 56;
constexpr std::size_t kNmListView = 64;
constexpr std::size_t kTvItemA = 56;
constexpr std::size_t kTvInsertStructA = 96;
constexpr std::size_t kNmTreeViewA = 152;
constexpr std::size_t kHelpInfo = 40;
constexpr std::size_t kNmLvDispInfoA = 112;
constexpr std::size_t kNmLvFindItemA = 72;
constexpr std::size_t kNmLvOdStateChange = 40;
#define ZEVDT_CHECK_STRUCT_SIZES 1
#endif
}  // namespace layout
}  // namespace fw
