// SPDX-License-Identifier: MIT

#include "platform/formfont.h"

#include <QFontDatabase>
#include <QStringList>

QString formFontFamily()
{
    static const QString family = [] {
        const QStringList available = QFontDatabase::families();
        for (const QString &face : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                                    QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")})
            if (available.contains(face))
                return face;
        return QFont().family();
    }();
    return family;
}

QFont formFont(qreal pointSize, bool italic)
{
    QFont font(formFontFamily());
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Bold);
    font.setItalic(italic);
    return font;
}
