// SPDX-License-Identifier: MIT

#pragma once

// The texts of the window's messages, as pure functions: only the window shows them.

#include "model/fieldtable.h"
#include "solver/solver.h"
#include "window/runsession.h"

#include <QString>

#include <cstddef>
#include <string_view>

namespace messages {

// A text of the plain-C++ layers (field names, fault names), which are ASCII, as a QString.
QString fromAscii(std::string_view text);

// A field's text as a message quotes it: a pasted page of digits is cut short after 40
// characters, never inside a character, and control characters become visible.
QString quoted(const QString &text);

// Enter read a number beyond the range of a double from `field`, which held `text`.
QString numberOutOfRange(fields::Field field, const QString &text);

// Enter read a number beyond the range of a double from the field of the parameter `name`.
QString parameterOutOfRange(const QString &name, const QString &text);

// What the user is told when a run ended with a fault or a full list; empty when it ran
// to its end. A list holding `capacity` lines is full.
QString runEnd(const RunEnd &end, std::size_t capacity);

// A command that could not be carried out for want of memory, or for another reason.
QString commandFailed(const QString &command, const QString &reason);

// A file that could not be saved, and why.
QString saveFailed(const QString &path, const QString &why);
// Why an image could not be saved when its writer does not say.
QString imageNotWritten();

} // namespace messages
