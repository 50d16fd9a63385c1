// SPDX-License-Identifier: MIT

#include "version.h"
#include "window/form1.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("redurivezi"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion.data(), kVersion.size()));
    // Wayland desktops match the window with its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.redurivezi.redurivezi"));
    Form1 form;
    form.show();
    return app.exec();
}
