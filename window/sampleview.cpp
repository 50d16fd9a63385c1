// SPDX-License-Identifier: MIT

#include "window/sampleview.h"

#include <QHeaderView>
#include <QKeyEvent>

SampleView::SampleView(QWidget *parent) : QTableView(parent)
{
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    QHeaderView *rows = verticalHeader();
    rows->hide();
    // Fixed sections: the header never asks the model for a row's size.
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int height = fontMetrics().height() + 2;
    rows->setMinimumSectionSize(height);
    rows->setDefaultSectionSize(height);
    setShowGrid(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Shift and Ctrl extend the selection, as in any list; Ctrl+A selects every line.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void SampleView::refresh()
{
    updateGeometries();
    repaint();
}

void SampleView::showAtTop(int row)
{
    updateGeometries();
    scrollTo(model()->index(row, 0), QAbstractItemView::PositionAtTop);
}

void SampleView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit escapePressed();
    QTableView::keyPressEvent(event);
}
