// SPDX-License-Identifier: MIT

#pragma once

// The save dialogs of the window's commands.

#include "window/plotexport.h"

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

struct ImageAnswer
{
    QString path;
    plotexport::Format format;
};

// Asks where to save an image and in which of its forms (PNG as on screen, PNG at print
// size, SVG, PDF): a name's suffix outweighs the chosen type, "plot.svg" is an SVG.
std::optional<ImageAnswer> askForImageFile(QWidget *parent, const QString &name);
