// SPDX-License-Identifier: MIT

#pragma once

#include <QApplication>

// The wait cursor while a long command runs, taken back however the command ends. A
// guard may be created idle and shown later, so that a short run never flickers it.
class WaitCursor
{
public:
    enum Start { Now, Later };

    explicit WaitCursor(Start start = Now)
    {
        if (start == Now)
            show();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    ~WaitCursor()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }

    void show()
    {
        if (!m_shown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_shown = true;
    }

private:
    bool m_shown = false;
};
