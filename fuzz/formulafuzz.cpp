// SPDX-License-Identifier: MIT

// Any bytes as a formula. Compiling must never crash, trip a sanitizer or run out of stack;
// an error names a column within the text or just after it. What compiles is evaluated at
// a few points in both forms and as partials: a NaN or an infinity never comes back
// without a fault noted, the fault is found again at a column of the text, and the
// partials' value is the evaluation's.

#include "formula/formula.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct Point
{
    double x, y, z;
};

constexpr Point kPoints[] = {{0, 0, 0}, {1, 0.5, -2}, {-3, -1.25, 0.75}, {0.01, 1e150, -1e-300}};
constexpr double kValues[] = {2, -1.5, 0.5, 3, 1e-3, 7, -2, 0.25};

template<typename Z> void evaluateAt(const formula::Program &p, const Point &at, std::size_t size)
{
    const auto z = static_cast<Z>(at.z);
    solver::Checked c;
    const double g = p.evaluate(at.x, at.y, z, kValues, c);
    const std::size_t column = p.faultColumn(at.x, at.y, z, kValues);
    if (c.ok()) {
        check(std::isfinite(g));
        check(column == 0);
    } else {
        check(column >= 1 && column <= size);
    }
    if constexpr (sizeof(Z) == sizeof(double)) {
        const formula::Partials d = p.partials(at.x, at.y, at.z, kValues);
        if (c.ok())
            check(std::bit_cast<std::uint64_t>(d.value) == std::bit_cast<std::uint64_t>(g));
        if (d.fault == solver::Fault::None)
            check(c.ok() && std::isfinite(d.byY) && std::isfinite(d.bySlope));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto result = formula::compile(text);
    if (const auto *error = std::get_if<formula::ParseError>(&result)) {
        check(error->column >= 1 && error->column <= size + 1);
        check(!error->message.empty());
        return 0;
    }
    const formula::Program &p = *std::get<0>(result);
    check(p.text() == text);
    check(p.parameters().size() <= std::size(kValues));
    for (const Point &at : kPoints) {
        evaluateAt<double>(p, at, size);
        evaluateAt<float>(p, at, size);
    }
    return 0;
}
