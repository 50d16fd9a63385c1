// SPDX-License-Identifier: MIT

#pragma once

// Once a Qt GUI application is up, something in the process leaves the upper halves of
// the AVX registers in use, and every switch between SSE and AVX code then stalls: in
// the window the sine of equation 2 took 140 ns instead of 8, and the power of Emden's
// equation as long. Clearing them costs a cycle. Only x86-64 processors with AVX have the
// instruction, and only they have the stall.
class UpperRegisters
{
public:
    UpperRegisters()
#if defined(__x86_64__) && defined(__GNUC__)
        : m_avx(__builtin_cpu_supports("avx"))
#endif
    {
    }

    void clear() const
    {
#if defined(__x86_64__) && defined(__GNUC__)
        if (m_avx)
            asm volatile("vzeroupper");
#endif
    }

private:
    bool m_avx = false;
};
