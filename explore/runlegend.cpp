// SPDX-License-Identifier: MIT

#include "explore/runlegend.h"

#include "listing/numbertext.h"
#include "solver/fault.h"

namespace {

std::string number(double v)
{
    return generalText(v);
}

} // namespace

std::string runText(const solver::RunParameters &p)
{
    std::string text(p.eq->caption.empty() ? std::string_view("y'' = 0") : p.eq->caption);
    const auto parameters = p.eq->parameters;
    for (std::size_t k = 0; k < parameters.size(); ++k)
        text += ", " + std::string(parameters[k].name) + " = " + number(p.values[k]);
    text += "; from x0 = " + number(p.x0) + ", y = " + number(p.y0) + ", y' = " + number(p.z0) +
            " to " + number(p.xf);
    return text;
}

std::string endingText(const RunRecord &run)
{
    using Cause = RunEnding::Cause;
    const RunEnding &e = run.ending;
    switch (e.cause) {
    case Cause::Running:
        return {};
    case Cause::Done:
        // A final abscissa before x0 leaves the run with nothing to list, not even x0.
        if (run.rows == 0 && run.params.xf < run.params.x0)
            return "no samples: the final abscissa is before x0";
        return {};
    case Cause::FirstZero: {
        // The last listed sample; the next one would have been at or below zero.
        const double last =
            run.rows == 0
                ? run.params.x0
                : solver::gridAbscissa(run.params.x0, static_cast<std::int64_t>(run.rows - 1));
        return "ended at the first zero: y ≤ 0 after x = " + number(last);
    }
    case Cause::Fault:
        return std::string(solver::faultText(e.fault)) + " at x = " + number(e.x);
    case Cause::ListFull:
        return "the list is full at x = " + number(e.x);
    case Cause::OutOfMemory:
        return "no memory for more lines at x = " + number(e.x);
    }
    return {};
}

std::string familyText(std::string_view name, std::string_view value)
{
    return std::string(name) + " = " + std::string(value);
}

std::string legendText(const RunRecord &run, std::string_view name)
{
    std::string text = name.empty() ? runText(run.params) : std::string(name);
    if (const std::string ending = endingText(run); !ending.empty())
        text += " – " + ending;
    return text;
}
