// SPDX-License-Identifier: MIT

#pragma once

#include <string_view>

// The whole help text that --help prints.
std::string_view tableUsage();

// The GNU-style answer to --version: name, version, copyright and license.
std::string_view tableVersion();

// What a usage error says after its reason: where the whole help is.
constexpr std::string_view kTryHelp = "Try 'redurivezi-table --help'.\n";
