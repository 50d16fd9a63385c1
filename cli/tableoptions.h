// SPDX-License-Identifier: MIT

#pragma once

#include "model/fieldtable.h"
#include "solver/solver.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A family of runs: one quantity of the run takes `runs` values evenly from `from` to `to`,
// and the runs are listed one after another.
struct Sweep
{
    std::string name;                   // as --sweep names it: "x0", "n", a formula's "k"
    std::string option;                 // the option of a single run that sets it: "--param k"
    std::optional<fields::Field> field; // the field that holds it, or none for a formula's
    std::size_t parameter = 0;          // parameter, by its place among the formula's
    double from = 0.0;
    double to = 0.0;
    int runs = 0;
};

struct TableOptions
{
    fields::Captured fields;      // as if Enter had been pressed in every field
    solver::RunParameters params; // the run they make
    bool csv = false;
    bool reference = false; // two more CSV columns: the reference and the error
    bool study = false;     // the study of the run's error instead of the list
    bool readout = false;   // the run's read-out (zeros, extrema, what it ends on) instead
    bool backward = false;  // the run backward, with the step -h, from x0 down to xf
    // The equation's equilibria with y from `from` to `to` instead of a run.
    bool equilibria = false;
    double from = -5.0, to = 15.0;
    // The runs of a family instead of one; `fields` then holds the other quantities.
    std::optional<Sweep> sweep;
};

struct TableArguments
{
    // NotAFormula: --formula's text is none; `message` shows where, under the text.
    enum Status { Run, Help, Version, BadUsage, OutOfRange, NotAFormula };
    Status status = Run;
    TableOptions options;
    std::string message; // for BadUsage, OutOfRange and NotAFormula: what was wrong
    // For Run: what each text that is not wholly a number was read as, in the order of
    // the options, without the program's name.
    std::vector<std::string> warnings;
};

// Parses the arguments after the program name. Each value is a field's text, read by
// the same text-to-number rule as the window's fields; an omitted one is the field's
// default text, so that no option at all runs what the window opens with.
TableArguments parseTableArguments(std::span<const std::string_view> args);
