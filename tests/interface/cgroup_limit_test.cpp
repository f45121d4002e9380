// A memory cgroup (a container's or a systemd slice's limit) bounds a drill
// as much as the machine's free memory: a result beyond it is refused with
// 50009 instead of the out-of-memory killer ending the host.
#ifndef _WIN32
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include "framework/memory_budget.h"
#include "framework/posix/cgroup_memory.h"
#include "interface_fixture.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// A tree laid out as /proc and /sys/fs/cgroup would show it, under a
// temporary folder that the check is pointed at.
class FakeCgroupTree : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zevdt-cgroup-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        Make("/proc/self");
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    void Make(const std::string& folder) { std::filesystem::create_directories(root + folder); }
    void Put(const std::string& path, const std::string& text) {
        size_t slash = path.find_last_of('/');
        Make(path.substr(0, slash));
        ASSERT_TRUE(WriteFile(root + path, text)) << path;
    }
    std::string root;
};

constexpr uint64_t kMiB = 1024 * 1024;

TEST_F(FakeCgroupTree, VersionTwoTakesTheLeastRoomUpTheHierarchy) {
    Put("/proc/self/cgroup", "0::/app.slice/zevdt.service\n");
    Put("/proc/self/mountinfo",
        "22 1 0:20 / /proc rw - proc proc rw\n"
        "30 22 0:27 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw,nsdelegate\n");
    Put("/sys/fs/cgroup/app.slice/zevdt.service/memory.max", "max\n");
    Put("/sys/fs/cgroup/app.slice/zevdt.service/memory.current", "52428800\n");
    Put("/sys/fs/cgroup/app.slice/memory.max", "314572800\n");
    Put("/sys/fs/cgroup/app.slice/memory.current", "104857600\n");
    EXPECT_EQ(fw::CgroupMemoryLeft(root), 200 * kMiB);
    // The service's own, tighter limit; and one already overdrawn.
    Put("/sys/fs/cgroup/app.slice/zevdt.service/memory.max", "62914560\n");
    EXPECT_EQ(fw::CgroupMemoryLeft(root), 10 * kMiB);
    Put("/sys/fs/cgroup/app.slice/zevdt.service/memory.current", "73400320\n");
    EXPECT_EQ(fw::CgroupMemoryLeft(root), 0u);
    // Moved to the slice itself: the next question reads the slice's room.
    Put("/proc/self/cgroup", "0::/app.slice\n");
    EXPECT_EQ(fw::CgroupMemoryLeft(root), 200 * kMiB);
}

TEST_F(FakeCgroupTree, VersionOneReadsTheMemoryControllersMount) {
    // A container sees its own cgroup mounted as the root of the hierarchy.
    Put("/proc/self/cgroup", "5:cpu,cpuacct:/\n4:memory:/docker/c0ffee\n0::/\n");
    Put("/proc/self/mountinfo",
        "31 30 0:28 / /sys/fs/cgroup/cpu,cpuacct rw - cgroup cgroup rw,cpu,cpuacct\n"
        "34 30 0:31 /docker/c0ffee /sys/fs/cgroup/memory rw - cgroup cgroup rw,memory\n");
    Put("/sys/fs/cgroup/memory/memory.limit_in_bytes", "314572800\n");
    Put("/sys/fs/cgroup/memory/memory.usage_in_bytes", "209715200\n");
    EXPECT_EQ(fw::CgroupMemoryLeft(root), 100 * kMiB);
    // No limit: the value version 1 writes for it.
    Put("/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n");
    EXPECT_EQ(fw::CgroupMemoryLeft(root), std::numeric_limits<uint64_t>::max());
}

TEST_F(FakeCgroupTree, NoCgroupInformationLimitsNothing) {
    EXPECT_EQ(fw::CgroupMemoryLeft(root), std::numeric_limits<uint64_t>::max());
    Put("/proc/self/cgroup", "0::/user.slice\n");
    Put("/proc/self/mountinfo", "30 22 0:27 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n");
    EXPECT_EQ(fw::CgroupMemoryLeft(root), std::numeric_limits<uint64_t>::max());
}

// A real cgroup of 300 MiB, made where the test may (as root, with a memory
// controller): a child moved into it asks for 2,000,000 cells (528 MB of
// items) and must answer 50009 and live to say so.
class CgroupDrill : public ifacetest::InterfaceTest {
  protected:
    // The folder of a new memory cgroup, or empty when none can be made here.
    std::string MakeCgroup(const std::string& name) {
        if (geteuid() != 0)
            return std::string();
        // Version 2, with the memory controller given to the children of the root.
        for (const char* top : {"/sys/fs/cgroup", "/sys/fs/cgroup/unified"}) {
            std::ifstream controllers(std::string(top) + "/cgroup.controllers");
            std::string all, word;
            std::getline(controllers, all);
            if (all.find("memory") == std::string::npos)
                continue;
            WriteFile(std::string(top) + "/cgroup.subtree_control", "+memory");
            std::string folder = std::string(top) + "/" + name;
            if (mkdir(folder.c_str(), 0755) == 0) {
                if (WriteFile(folder + "/memory.max", std::to_string(300 * kMiB)) &&
                    WriteFile(folder + "/memory.swap.max", "0"))
                    return folder;
                rmdir(folder.c_str());
            }
        }
        // Version 1: beneath the process's own memory cgroup where it may, so
        // that the child stays inside the limits it was started under (and the
        // check walks a real hierarchy); else beneath the root.
        std::ifstream own("/proc/self/cgroup");
        std::string line, path;
        while (std::getline(own, line))
            if (line.find(":memory:") != std::string::npos)
                path = line.substr(line.find(":memory:") + 8);
        for (const std::string& parent :
             {"/sys/fs/cgroup/memory" + path, std::string("/sys/fs/cgroup/memory")}) {
            std::string folder = parent + (parent.back() == '/' ? "" : "/") + name;
            if (mkdir(folder.c_str(), 0755) == 0) {
                if (WriteFile(folder + "/memory.limit_in_bytes", std::to_string(300 * kMiB)))
                    return folder;
                rmdir(folder.c_str());
            }
        }
        return std::string();
    }
};

TEST_F(CgroupDrill, ADrillBeyondTheCgroupGives50009) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' shadow memory counts against the cgroup";
#endif
    const std::string folder = MakeCgroup("zevdt-test-" + std::to_string(getpid()));
    if (folder.empty())
        GTEST_SKIP() << "no memory cgroup can be made here (not root, or no memory controller)";
    records.SetCells({"Krak\xc3\xb3w"});
    Publish();
    Init();
    ASSERT_EQ(Open(), ZEVDT_OK);
    // Every pointer of the cell array leads to the same cell.
    std::vector<ZevDTAPICell*> cells(2000000, records.cellList[0]);
    control->cells = cells.data();
    control->rows = 1000000;
    control->columnsOfData = 2;
    const int code = ifacetest::ExitCodeInAChild([&] {
        if (!WriteFile(folder + "/cgroup.procs", std::to_string(getpid())))
            return 10;
        if (fw::AvailableMemoryBytes() > 300 * kMiB)
            return 11;
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;
        const uint32_t got = ZevDTGetData(handle, &items, &count);
        return got == ZEVDT_E_ALLOCATION && !items && count == 0 ? 0 : 12;
    });
    rmdir(folder.c_str());
    ASSERT_EQ(code, 0) << "below 0: killed by that signal, 10: not moved into the cgroup, 11: limit not "
                          "counted, 12: not refused";
    std::printf("2,000,000 cells in a 300 MiB cgroup (%s): 50009, exit 0\n", folder.c_str());
}

}  // namespace
#endif
