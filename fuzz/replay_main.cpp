// Runs a fuzz target without libFuzzer: over the files (or every file of the
// folders) named on the command line, or over its seeds and a fixed number of deterministic mutations of
// them. A crash or a sanitizer report fails the run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fuzz_target.h"

namespace {

void Run(const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

std::string Mutate(std::string s, std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 5), byte(0, 255);
    int steps = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < steps; ++i) {
        size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (kind(rng)) {
            case 0:  // flip a byte
                if (!s.empty())
                    s[at % s.size()] = static_cast<char>(byte(rng));
                break;
            case 1:  // insert a byte
                s.insert(s.begin() + static_cast<long>(at), static_cast<char>(byte(rng)));
                break;
            case 2:  // cut a run
                if (!s.empty())
                    s.erase(at % s.size(), rng() % 16);
                break;
            case 3:  // repeat a run
                if (!s.empty())
                    s.insert(at, s.substr(at % s.size(), rng() % 32));
                break;
            case 4:  // truncate
                s.resize(at);
                break;
            default:  // a byte that parsers care about
                s.insert(at, 1, "\"'()\n\r,$*. =<>!\\"[rng() % 17]);
                break;
        }
    }
    return s;
}

// The inputs every replay runs: the reproducers of faults found, and the seeds.
bool AlwaysReplayed(const std::filesystem::path& path) {
    const std::string name = path.filename().u8string();
    return name.rfind("crash-", 0) == 0 || name.rfind("repro-", 0) == 0 || name.rfind("seed-", 0) == 0;
}

// The order in which a bounded replay takes a folder's inputs: those always
// replayed first, then the rest by bit-reversed index, so that any first part
// of it is spread evenly over the whole folder (0, n/2, n/4, 3n/4, ...).
std::vector<size_t> SpreadOrder(const std::vector<std::filesystem::path>& found) {
    std::vector<size_t> order, rest;
    for (size_t n = 0; n < found.size(); ++n) (AlwaysReplayed(found[n]) ? order : rest).push_back(n);
    int bits = 0;
    while ((size_t{1} << bits) < rest.size()) ++bits;
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
        size_t r = 0;
        for (int b = 0; b < bits; ++b)
            if (i & (size_t{1} << b))
                r |= size_t{1} << (bits - 1 - b);
        if (r < rest.size())
            order.push_back(rest[r]);
    }
    return order;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        namespace fs = std::filesystem;
        long files = 0, offered = 0;
        auto replay = [&](const fs::path& path) {
            std::ifstream in(path, std::ios::binary);
            Run(std::string(std::istreambuf_iterator<char>(in), {}));
            ++files;
        };
        // Where a whole folder would not fit the test's time (the exports under Wine,
        // where each session takes seconds), ZEVDT_CORPUS_SECONDS=S replays its inputs in
        // the spread order until S seconds have passed, and ZEVDT_CORPUS_SAMPLE=N at most
        // N of them besides the reproducers (crash-*, repro-*, seed-*), which always run.
        const char* secondsEnv = std::getenv("ZEVDT_CORPUS_SECONDS");
        const char* sampleEnv = std::getenv("ZEVDT_CORPUS_SAMPLE");
        const double budget = secondsEnv ? std::strtod(secondsEnv, nullptr) : 0;
        const size_t sample = sampleEnv ? std::strtoul(sampleEnv, nullptr, 10) : 0;
        const auto started = std::chrono::steady_clock::now();
        auto elapsed = [&] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        };
        for (int i = 1; i < argc; ++i) {
            const fs::path arg = fs::u8path(argv[i]);
            if (fs::is_directory(arg)) {
                std::vector<fs::path> found;
                for (const fs::directory_entry& e : fs::directory_iterator(arg))
                    if (e.is_regular_file())
                        found.push_back(e.path());
                std::sort(found.begin(), found.end());
                offered += static_cast<long>(found.size());
                if (budget <= 0 && sample == 0) {
                    for (const fs::path& path : found) replay(path);
                    continue;
                }
                size_t others = 0;
                for (size_t n : SpreadOrder(found)) {
                    if (!AlwaysReplayed(found[n])) {
                        if ((sample > 0 && others >= sample) || (budget > 0 && elapsed() >= budget))
                            break;
                        ++others;
                    }
                    replay(found[n]);
                }
            } else if (fs::is_regular_file(arg)) {
                ++offered;
                replay(arg);
            } else {
                std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
                return 1;
            }
        }
        std::printf("%ld of %ld inputs replayed in %.0f s, no failure\n", files, offered, elapsed());
        return 0;
    }
    const char* env = std::getenv("ZEVDT_FUZZ_RUNS");
    long runs = env ? std::atol(env) : 100000;
    std::mt19937 rng(20261207);
    std::vector<std::string> seeds = FuzzSeeds();
    seeds.push_back(std::string());
    for (const std::string& seed : seeds) Run(seed);
    for (long i = 0; i < runs; ++i) {
        std::string input = seeds[static_cast<size_t>(i) % seeds.size()];
        input = Mutate(input, rng);
        Run(input);
        // Mutations of mutations reach further from the seeds.
        if (i % 3 == 0)
            seeds[static_cast<size_t>(i) % seeds.size()] = input.size() < 65536 ? input : seeds[0];
    }
    std::printf("%ld inputs, no failure\n", runs + static_cast<long>(seeds.size()));
    return 0;
}
