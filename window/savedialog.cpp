// SPDX-License-Identifier: MIT

#include "window/savedialog.h"

#include <QCoreApplication>
#include <QFileDialog>

std::optional<FileAnswer> askForFile(QWidget *parent, const QString &caption, const QString &name,
                                     const QStringList &filters, const QString &defaultSuffix)
{
    QFileDialog dialog(parent, caption, name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(name);
    // Each filter names its suffix: "Text (*.txt)".
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &f) {
        const qsizetype star = f.indexOf(QLatin1String("*."));
        if (star >= 0)
            dialog.setDefaultSuffix(f.mid(star + 2, f.indexOf(u')', star) - star - 2));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileAnswer{dialog.selectedFiles().constFirst(),
                      static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
}

std::optional<ImageAnswer> askForImageFile(QWidget *parent, const QString &name)
{
    using plotexport::Format;
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("FormCommands", text);
    };
    // In the order of the filters.
    static constexpr Format kFormats[] = {Format::ScreenPng, Format::PrintPng, Format::Svg,
                                          Format::Pdf};
    const std::optional<FileAnswer> answer =
        askForFile(parent, tr("Save Image As"), name,
                   {tr("PNG image (*.png)"), tr("PNG image at print size (*.png)"),
                    tr("SVG image (*.svg)"), tr("PDF document (*.pdf)")},
                   QStringLiteral("png"));
    if (!answer)
        return std::nullopt;
    Format format =
        answer->filter >= 0 && answer->filter < 4 ? kFormats[answer->filter] : Format::ScreenPng;
    if (const Format named = plotexport::formatFor(answer->path);
        named != Format::ScreenPng || format == Format::Svg || format == Format::Pdf)
        format = named;
    return ImageAnswer{answer->path, format};
}
