// SPDX-License-Identifier: MIT

#pragma once

// Qt's raster engine fills and paints with AVX2 code (QImage::fill, the span functions
// behind QPainter::drawLine and drawPoint, the blending of a repaint) that returns with the
// upper halves of the AVX registers still in use: reading XINUSE with xgetbv(1) shows them
// set right after those calls. From then on every switch to the SSE code of libm stalls:
// the sine of equation 2 took 140 ns instead of 8, and Emden's power as long. Whoever
// calls those paths during a run clears the halves afterwards; it costs a cycle, and only
// x86-64 processors with AVX have the instruction, or the stall.
inline void clearUpperRegisters()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        asm volatile("vzeroupper");
#endif
}
