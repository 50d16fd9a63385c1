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
