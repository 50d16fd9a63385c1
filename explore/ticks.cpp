// SPDX-License-Identifier: MIT

#include "explore/ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double tickStep(double span, int most)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1.0;
    const double rough = span / std::max(1, most);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= rough)
            return m * power;
    return 10 * power;
}

std::vector<Tick> ticks(double lo, double hi, int most)
{
    std::vector<Tick> out;
    const double step = tickStep(hi - lo, most);
    const double first = std::ceil(lo / step);
    const double last = std::floor(hi / step);
    if (!std::isfinite(first) || !std::isfinite(last) || last - first > 4.0 * most)
        return out;
    for (double k = first; k <= last; ++k) {
        const double v = k == 0 ? 0.0 : k * step;
        out.push_back({v, numberText(v, step)});
    }
    return out;
}

namespace {

// m times 10 to the power e as a log axis labels it, with `decimals` decimals: "2e−8",
// "3.55e−12".
std::string mantissaText(double m, int e, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*fe%d", std::clamp(decimals, 0, 15), m, e);
    std::string s = buf;
    for (auto minus = s.find('-'); minus != std::string::npos; minus = s.find('-', minus))
        s.replace(minus, 1, "\u2212");
    return s;
}

} // namespace

std::vector<Tick> logTicks(double lo, double hi, int most)
{
    std::vector<Tick> out;
    if (!(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi))
        return out;
    // A view scrolled beyond every double's decades: its exponents at 1-2-5 steps.
    if (!(std::fabs(lo) < 1e6 && std::fabs(hi) < 1e6)) {
        out = ticks(lo, hi, most);
        for (Tick &t : out)
            t.label = powerText(t.value);
        return out;
    }
    // Whole decades, where the span holds at least two: at a step of 1, 2 or 5 decades, or
    // every one where a step of a decade is already the coarsest.
    if (std::floor(hi) - std::ceil(lo) >= 1) {
        if (tickStep(hi - lo, most) >= 1) {
            out = ticks(lo, hi, most);
        } else {
            for (double e = std::ceil(lo); e <= std::floor(hi); ++e)
                out.push_back({e, {}});
        }
        for (Tick &t : out)
            t.label = powerText(t.value);
        return out;
    }
    // Within a few decades: 1, 2 and 5 times each, or every digit, the coarsest that puts
    // at least two ticks on the axis and no more than `most`.
    const double first = std::floor(lo), last = std::ceil(hi);
    if (last - first <= 16) {
        for (const std::vector<double> &digits :
             {std::vector<double>{1, 2, 5}, std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9}}) {
            std::vector<Tick> candidate;
            for (double e = first; e <= last; ++e)
                for (const double m : digits) {
                    const double v = std::log10(m) + e;
                    if (v >= lo && v <= hi)
                        candidate.push_back(
                            {v, m == 1 ? powerText(e) : mantissaText(m, static_cast<int>(e), 0)});
                }
            if (candidate.size() >= 2 && static_cast<int>(candidate.size()) <= most)
                return candidate;
            if (static_cast<int>(candidate.size()) > most)
                break;
        }
    }
    // Within a digit: 1-2-5 steps of the values themselves, as mantissas of the decade, so
    // that no value needs to be a normal double.
    const double e = std::floor(lo);
    if (!(std::fabs(e) < 1e6) || hi - e > 1.0 + 1e-9)
        return out;
    const double a = std::pow(10.0, lo - e), b = std::pow(10.0, hi - e); // within [1, 10]
    const double step = tickStep(b - a, most);
    if (!(step > 0) || !(b > a))
        return out;
    const int decimals =
        static_cast<int>(std::clamp(std::ceil(-std::log10(step) - 1e-9), 0.0, 15.0));
    for (double k = std::ceil(a / step); k * step <= b; ++k) {
        const double m = k * step;
        out.push_back({std::log10(m) + e, mantissaText(m, static_cast<int>(e), decimals)});
        if (out.size() > static_cast<std::size_t>(4 * most))
            break;
    }
    return out;
}

namespace {

std::string ascii(double value, double resolution)
{
    if (value == 0 || !std::isfinite(value))
        return value == 0 ? "0" : std::to_string(value);
    const double res = std::fabs(resolution) > 0 && std::isfinite(resolution)
                           ? std::fabs(resolution)
                           : std::fabs(value);
    const double magnitude = std::fabs(value);
    char buf[64];
    if (res >= 1e-4 && magnitude < 1e9) {
        // Fixed: as many decimals as the resolution has.
        const int decimals =
            static_cast<int>(std::clamp(std::ceil(-std::log10(res) - 1e-9), 0.0, 17.0));
        std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    } else {
        // An exponent, with the digits from the leading one down to the resolution's.
        const int digits = static_cast<int>(std::clamp(
            std::floor(std::log10(magnitude)) - std::floor(std::log10(res)) + 1, 1.0, 17.0));
        std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    }
    std::string s = buf;
    if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos)
        return "0";
    return s;
}

} // namespace

std::string numberText(double value, double resolution)
{
    std::string s = ascii(value, resolution);
    if (!s.empty() && s[0] == '-')
        s.replace(0, 1, "\u2212");
    return s;
}

std::string powerText(double exponent)
{
    char buf[64];
    const double whole = std::round(exponent);
    if (std::fabs(exponent) > 1e6)
        // A view scrolled far beyond any double's decades: the exponent itself, shortly.
        std::snprintf(buf, sizeof buf, "1e%.3g", exponent);
    else if (std::fabs(exponent - whole) < 1e-9)
        std::snprintf(buf, sizeof buf, "1e%d", static_cast<int>(whole));
    else
        std::snprintf(buf, sizeof buf, "%.3g", std::pow(10.0, exponent));
    std::string s = buf;
    for (auto minus = s.find('-'); minus != std::string::npos; minus = s.find('-', minus))
        s.replace(minus, 1, "\u2212");
    return s;
}

std::string fieldText(double value, double resolution)
{
    return ascii(value, resolution);
}
