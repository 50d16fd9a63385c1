// SPDX-License-Identifier: MIT

#pragma once

// y over x; y' over y; the error |y - reference| over x, on a log scale: its world's
// ordinate is log10 |y - reference|.
enum class ViewKind { Solution, Phase, Error };
