// SPDX-License-Identifier: MIT

#pragma once

// How the error of a run comes about: its error at the last sample, against the
// reference, for the steps h, h/2, h/4 and h/8, each with the slope held in single
// precision (as the run holds it) and in double. Grid point 2^k * i of the run with the
// step h / 2^k is the very abscissa of grid point i, so every error is taken at the same
// x. A step that limits the error makes it fall about 16-fold per halving (fourth order);
// the rounding of a single-precision slope makes it stop falling.
//
// The runs of a study are extra runs beside the run itself, which stays as it is. Like
// the run they end at the Emden stop or at a fault; a run that fails is studied up to
// its last sample.

#include "solver/solver.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace reference {

struct StudyRow
{
    double step = 0.0;                 // h / 2^k
    std::optional<double> errorSingle; // y - reference, the slope held in single precision
    std::optional<double> errorDouble; // the same with the slope held in double
    // |error of the row above| / |error of this row|; none in the first row, or where
    // either error is missing or this one is 0.
    std::optional<double> ratioSingle;
    std::optional<double> ratioDouble;
};

struct Study
{
    // False when there is nothing to study; `problem` then says why.
    bool studied = false;
    std::string problem;

    solver::RunOutcome outcome;  // how the run itself (h, single slope) ended
    std::uint64_t lastIndex = 0; // grid index of the run's last sample
    double lastX = 0.0;
    double reference = 0.0; // the reference at lastX
    std::array<StudyRow, solver::kMaxHalvings + 1> rows;
    // One sentence on which of the two limits this run's error: the step or the
    // single-precision slope.
    std::string verdict;
};

// Studies the run `p`. `progress`, where given, is called now and then with the fraction
// done, from the calling thread; when it returns false the study is abandoned (not
// studied, problem "abandoned"). A run of 10^4 samples takes some milliseconds; the work
// grows with the number of samples, about 31 runs' worth and the reference.
Study studyRun(const solver::RunParameters &p, const std::function<bool(double)> &progress = {});

// The same study of only the first `samples` samples of the run `p`, for a caller that
// ends the run earlier than the run itself does: where a mark of a sample has no value,
// say. The study then ends there, not where the run would go on to.
Study studyRun(const solver::RunParameters &p, std::uint64_t samples);

// The study as `redurivezi-table --study` prints it: a heading with the run's y and the
// reference to the digits its error needs, an aligned table (h, the error with y' kept to
// 7 digits and to 16, each with the factor it fell by from the step above or "grew") and
// the verdict in lines of at most `width` characters (0: one line, for a panel that wraps
// it itself), each line ending in a newline; or the problem alone. The same text in every
// locale.
std::string studyText(const Study &study, std::size_t width = 72);

} // namespace reference
