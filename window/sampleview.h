// SPDX-License-Identifier: MIT

#pragma once

#include <QTableView>

// The view of the sample list: one column of lines, no headers, no grid, every row the
// same height. Unlike a list view, a table view with fixed rows lays out nothing per
// row, so ten million rows cost no more to show than ten.
class SampleView : public QTableView
{
    Q_OBJECT

public:
    explicit SampleView(QWidget *parent = nullptr);

    // Brings the scroll range and the visible rows up to date at once, without going
    // through the event loop; for progress shown while a run holds the thread.
    void refresh();
    // Scrolls the row to the top, with the scroll range taken from the rows there are
    // now rather than at the next layout.
    void showAtTop(int row);

signals:
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
