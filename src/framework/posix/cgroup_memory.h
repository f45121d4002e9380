// The memory a process's control groups leave it. A container or a systemd
// slice limits its processes there, not in the process limits, and a block
// beyond that limit is granted and then ends the process while it is filled.
#pragma once

#include <cstdint>
#include <string>

namespace fw {

// The least room left (limit less usage) over the process's memory cgroup
// and every cgroup above it, version 2 (memory.max, memory.current) and
// version 1 (memory.limit_in_bytes, memory.usage_in_bytes). UINT64_MAX when
// none of them sets a limit. `root` is put in front of every path that is
// read (/proc/self/cgroup, /proc/self/mountinfo and the cgroup files), so
// that a test can lay out a tree of its own; empty for the real one.
uint64_t CgroupMemoryLeft(const std::string& root = std::string());

}  // namespace fw
