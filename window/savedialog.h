// SPDX-License-Identifier: MIT

#pragma once

// The save dialogs of the window's commands.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

struct FileAnswer
{
    QString path;
    int filter = 0; // the index of the chosen filter
};

// Asks for a file name to save to; an answer without a suffix gets the one of the chosen
// type. None when the user cancelled.
std::optional<FileAnswer> askForFile(QWidget *parent, const QString &caption, const QString &name,
                                     const QStringList &filters, const QString &defaultSuffix);
