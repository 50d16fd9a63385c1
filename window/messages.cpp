// SPDX-License-Identifier: MIT

#include "window/messages.h"

#include "listing/numbertext.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace messages {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("messages", text);
}

} // namespace

QString fromAscii(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString quoted(const QString &text)
{
    qsizetype kept = std::min<qsizetype>(text.size(), 40);
    if (kept < text.size() && text[kept - 1].isHighSurrogate())
        --kept; // never half a character
    QString shown;
    for (qsizetype i = 0; i < kept; ++i) {
        const QChar c = text[i];
        shown += c.isPrint() || c.isSurrogate() ? c : QChar(0xFFFD);
    }
    if (kept < text.size())
        shown += tr("… (%1 characters)").arg(text.size());
    return shown;
}

QString numberOutOfRange(fields::Field field, const QString &text)
{
    return tr("The number for the %1 is beyond the range of a double:\n%2")
        .arg(fromAscii(fields::info(field).holds), quoted(text));
}

QString parameterOutOfRange(const QString &name, const QString &text)
{
    return tr("The number for the parameter %1 is beyond the range of a double:\n%2")
        .arg(quoted(name), quoted(text));
}

QString runEnd(const RunEnd &end, std::size_t capacity)
{
    const QString x = QString::fromStdString(generalText(end.x));
    switch (end.cause) {
    case RunEnd::Cause::Done:
        return {};
    case RunEnd::Cause::ListFull:
        return tr("The list is full (%1 lines). The run stopped at x = %2. Ready clears it.")
            .arg(QLocale(QLocale::English).toString(qulonglong(capacity)), x);
    case RunEnd::Cause::OutOfMemory:
        return tr("There is not enough memory for more lines. The run stopped at x = %1; the "
                  "plot and the list keep what came before it. Ready clears them.")
            .arg(x);
    case RunEnd::Cause::Fault:
        break;
    }
    // Only the run ends: the plot, the list and the captured values stay as they are.
    QString what = fromAscii(solver::faultText(end.fault));
    what[0] = what[0].toUpper();
    return tr("%1 at x = %2.\n\nThe run stopped there; the plot and the list keep what came "
              "before it.")
        .arg(what, x);
}

QString commandFailed(const QString &command, const QString &reason)
{
    return tr("%1 could not be done: %2.\n\nThe plot and the list are as they were.")
        .arg(command, reason);
}

QString saveFailed(const QString &path, const QString &why)
{
    return tr("Could not save %1:\n%2").arg(path, why);
}

QString imageNotWritten()
{
    return tr("the image could not be written");
}

} // namespace messages
