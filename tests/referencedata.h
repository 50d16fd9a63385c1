// SPDX-License-Identifier: MIT

#pragma once

#include <fstream>
#include <string>
#include <vector>

// The lines of a whole run in tests/data, written by the independent reference in
// tests/reference. REDURIVEZI_TEST_DATA names the folder.
inline std::vector<std::string> referenceLines(const std::string &name)
{
    std::ifstream in(std::string(REDURIVEZI_TEST_DATA) + "/" + name + ".txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
