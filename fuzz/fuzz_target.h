// One fuzz entry point per target, in the form libFuzzer calls. Built with
// clang's libFuzzer when ZEVDT_LIBFUZZER is on; otherwise replay_main.cpp runs
// it over seeds and their mutations, so every build exercises it (under the
// sanitizers in the sanitize preset).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Inputs that start the mutations when no corpus is given.
std::vector<std::string> FuzzSeeds();
