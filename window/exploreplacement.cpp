// SPDX-License-Identifier: MIT

#include "window/exploreplacement.h"

QRect explorePlacement(const QRect &room, const QRect &main, const QSize &frame,
                       const QSize &wanted, const QSize &least)
{
    constexpr int kGap = 8;
    const QRect sides[] = {
        QRect(QPoint(main.right() + kGap, room.top()), room.bottomRight()),
        QRect(room.topLeft(), QPoint(main.left() - kGap, room.bottom())),
        QRect(QPoint(room.left(), main.bottom() + kGap), room.bottomRight()),
    };
    QRect best;
    long long bestArea = -1;
    for (const QRect &side : sides) {
        const QSize inner = (side.size() - frame).boundedTo(wanted);
        if (inner.width() < least.width() || inner.height() < least.height())
            continue;
        const long long area = static_cast<long long>(inner.width()) * inner.height();
        if (area > bestArea)
            bestArea = area, best = QRect(side.topLeft(), inner);
    }
    if (bestArea >= 0)
        return best;
    // No side has room: at the screen's right, where the main window's commands are; one
    // click on either brings it to the front.
    const QSize inner = wanted.boundedTo(room.size() - frame);
    return QRect(QPoint(room.right() - inner.width() - frame.width() + 1, room.top()), inner);
}
