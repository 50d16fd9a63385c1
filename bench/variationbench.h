// SPDX-License-Identifier: MIT

#pragma once

// Prints the lines that begin "live run:" and "family:".
void benchVariation();
