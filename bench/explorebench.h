// SPDX-License-Identifier: MIT

#pragma once

// Prints the line that begins "explore:".
void benchExplore();
