// SPDX-License-Identifier: MIT

#pragma once

// The controls of the window at their places: names, twips, captions, default texts,
// colours, fonts and tab order, as the window description gives them.

#include "model/fieldtable.h"

#include <QString>

#include <array>
#include <utility>
#include <vector>

class PlotWidget;
class QAbstractItemModel;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class SampleView;

struct FormControls
{
    PlotWidget *picture1 = nullptr;
    std::array<QRadioButton *, 6> options{};              // Option1..Option6
    QButtonGroup *optionGroup = nullptr;                  // ids 1..6, the equation numbers
    std::array<QLineEdit *, fields::kFieldCount> texts{}; // Text1..Text6
    QPushButton *command1 = nullptr;                      // Ready
    QPushButton *command2 = nullptr;                      // End
    std::array<QLabel *, 3> legend{};                     // Label4..Label6
    SampleView *list1 = nullptr;

    QLineEdit *text(fields::Field f) const { return texts[static_cast<std::size_t>(f)]; }
};

// Lets go of the checked option, so that none is: an exclusive group keeps one checked.
void uncheckOptions(const FormControls &controls);

// Types each text into its field and presses Enter there, as a user would, stopping where
// an Enter does not move on along the chain; then Enter in the final field, whose text, if
// given, is typed without an Enter of its own.
void typeAndEnter(QWidget *form, const FormControls &controls,
                  const std::vector<std::pair<fields::Field, QString>> &texts);

// Creates every control of `form`, showing `samples` in the list, and sets the form's own
// caption, size and colour.
FormControls layOutForm(QWidget *form, QAbstractItemModel *samples);
