// SPDX-License-Identifier: MIT

#pragma once

// The machine a benchmark ran on, in one line, so that its figures are read beside it:
//
//     machine: AMD EPYC (2 cores), AVX yes, AVX2 yes, AVX-512 yes, transparent huge pages madvise

#include <fstream>
#include <string>
#include <unistd.h>

namespace bench {

inline std::string machineLine()
{
    std::string model, flags;
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line) && (model.empty() || flags.empty());) {
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const auto start = line.find_first_not_of(" \t", colon + 1);
        const std::string value = start == std::string::npos ? "" : line.substr(start);
        if (line.rfind("model name", 0) == 0 && model.empty())
            model = value;
        else if (line.rfind("flags", 0) == 0 && flags.empty())
            flags = ' ' + value + ' ';
    }
    const auto has = [&flags](const char *flag) {
        return flags.find(' ' + std::string(flag) + ' ') != std::string::npos ? "yes" : "no";
    };
    // The bracketed word is the mode in force: "always [madvise] never".
    std::string hugePages = "none", modes;
    if (std::getline(std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"), modes)) {
        const auto open = modes.find('['), close = modes.find(']');
        if (open != std::string::npos && close > open)
            hugePages = modes.substr(open + 1, close - open - 1);
    }
    return "machine: " + (model.empty() ? "unknown processor" : model) + " (" +
           std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores), AVX " + has("avx") +
           ", AVX2 " + has("avx2") + ", AVX-512 " + has("avx512f") + ", transparent huge pages " +
           hugePages;
}

} // namespace bench
