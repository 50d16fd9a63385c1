// SPDX-License-Identifier: MIT

#pragma once

// Prints the line that begins "explore:", after the reference's and the read-out's.
void benchExplore();
// Prints the line that begins "read-out:": a run of 10^6 samples read out.
void benchReadout();
