// SPDX-License-Identifier: MIT

#pragma once

#include <QFont>

// The bold face every control of the window uses: "ＭＳ Ｐゴシック" where the system has it,
// otherwise IPA P Gothic, otherwise the default face. Labels add italic.
QFont formFont(qreal pointSize, bool italic = false);

// The face formFont() settled on.
QString formFontFamily();
