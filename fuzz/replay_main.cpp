// Runs a fuzz target without libFuzzer: over the files (or every file of the
// folders) named on the command line, or over its seeds and a fixed number of deterministic mutations of
// them. A crash or a sanitizer report fails the run.
#include <algorithm>
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
                if (!s.empty()) s[at % s.size()] = static_cast<char>(byte(rng));
                break;
            case 1:  // insert a byte
                s.insert(s.begin() + static_cast<long>(at), static_cast<char>(byte(rng)));
                break;
            case 2:  // cut a run
                if (!s.empty()) s.erase(at % s.size(), rng() % 16);
                break;
            case 3:  // repeat a run
                if (!s.empty()) s.insert(at, s.substr(at % s.size(), rng() % 32));
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

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        namespace fs = std::filesystem;
        long files = 0;
        auto replay = [&](const fs::path& path) {
            std::ifstream in(path, std::ios::binary);
            Run(std::string(std::istreambuf_iterator<char>(in), {}));
            ++files;
        };
        // ZEVDT_CORPUS_SAMPLE=N: of a folder only about N inputs, every k-th by name, for
        // builds whose replay would not fit the time limit (the exports under Wine). The
        // reproducers of faults found (crash-*, repro-*, seed-*) are replayed always.
        const char* sampleEnv = std::getenv("ZEVDT_CORPUS_SAMPLE");
        const size_t sample = sampleEnv ? std::strtoul(sampleEnv, nullptr, 10) : 0;
        for (int i = 1; i < argc; ++i) {
            const fs::path arg = fs::u8path(argv[i]);
            if (fs::is_directory(arg)) {
                std::vector<fs::path> found;
                for (const fs::directory_entry& e : fs::directory_iterator(arg))
                    if (e.is_regular_file())
                        found.push_back(e.path());
                std::sort(found.begin(), found.end());
                const size_t step = sample > 0 && found.size() > sample ? (found.size() + sample - 1) / sample : 1;
                for (size_t n = 0; n < found.size(); ++n) {
                    const std::string name = found[n].filename().u8string();
                    const bool kept = name.rfind("crash-", 0) == 0 || name.rfind("repro-", 0) == 0 ||
                                      name.rfind("seed-", 0) == 0;
                    if (kept || n % step == 0)
                        replay(found[n]);
                }
            } else if (fs::is_regular_file(arg)) {
                replay(arg);
            } else {
                std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
                return 1;
            }
        }
        std::printf("%ld inputs replayed, no failure\n", files);
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
        if (i % 3 == 0) seeds[static_cast<size_t>(i) % seeds.size()] = input.size() < 65536 ? input : seeds[0];
    }
    std::printf("%ld inputs, no failure\n", runs + static_cast<long>(seeds.size()));
    return 0;
}
