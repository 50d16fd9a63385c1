// SPDX-License-Identifier: MIT

#include "window/savedialog.h"

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
