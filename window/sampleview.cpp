// SPDX-License-Identifier: MIT

#include "window/sampleview.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

SampleView::SampleView(QWidget *parent) : QListView(parent), m_rowHeight(fontMetrics().height() + 2)
{
    setUniformItemSizes(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Shift and Ctrl extend the selection, as in any list; Ctrl+A selects every line.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int SampleView::rows() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int SampleView::firstVisible() const
{
    return verticalScrollBar()->value();
}

int SampleView::fullRows() const
{
    return std::max(1, viewport()->height() / m_rowHeight);
}

void SampleView::refresh()
{
    updateGeometries();
    repaint();
}

void SampleView::showAtTop(int row)
{
    updateGeometries();
    scrollTo(model()->index(row, 0, rootIndex()), PositionAtTop);
}

void SampleView::makeCurrent(int row)
{
    const QModelIndex index = model()->index(row, 0, rootIndex());
    if (currentIndex() == index)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

QRect SampleView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.parent() != rootIndex())
        return {};
    // Rows far above or below the viewport: their place, clamped to what an int holds.
    const qint64 y = static_cast<qint64>(index.row() - firstVisible()) * m_rowHeight;
    return QRect(0, static_cast<int>(std::clamp<qint64>(y, -(1 << 30), 1 << 30)),
                 viewport()->width(), m_rowHeight);
}

QModelIndex SampleView::indexAt(const QPoint &point) const
{
    if (point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width())
        return {};
    const int row = firstVisible() + point.y() / m_rowHeight;
    return row < rows() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

void SampleView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const int row = index.row(), first = firstVisible(), full = fullRows();
    int top = first;
    switch (hint) {
    case EnsureVisible:
        if (row < first)
            top = row;
        else if (row >= first + full)
            top = row - full + 1;
        break;
    case PositionAtTop:
        top = row;
        break;
    case PositionAtBottom:
        top = row - full + 1;
        break;
    case PositionAtCenter:
        top = row - full / 2;
        break;
    }
    verticalScrollBar()->setValue(top);
}

void SampleView::doItemsLayout()
{
    // No layout per row: only the scroll range, and a repaint.
    updateGeometries();
    viewport()->update();
}

void SampleView::updateGeometries()
{
    const int full = fullRows();
    verticalScrollBar()->setRange(0, std::max(0, rows() - full));
    verticalScrollBar()->setPageStep(full);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void SampleView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void SampleView::resizeEvent(QResizeEvent *event)
{
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}

void SampleView::scrollContentsBy(int, int)
{
    viewport()->update();
}

int SampleView::verticalOffset() const
{
    return firstVisible() * m_rowHeight;
}

void SampleView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    const int first = firstVisible();
    const int last = std::min(rows() - 1, first + viewport()->height() / m_rowHeight);
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        QStyleOptionViewItem o = option;
        o.rect = visualRect(index);
        o.state.setFlag(QStyle::State_Selected, selectionModel()->isSelected(index));
        o.state.setFlag(QStyle::State_HasFocus, hasFocus() && index == current);
        itemDelegateForIndex(index)->paint(&painter, o, index);
    }
}

QModelIndex SampleView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int count = rows();
    if (count == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    int row = current.row();
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= fullRows();
        break;
    case MovePageDown:
        row += fullRows();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = count - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return model()->index(std::clamp(row, 0, count - 1), 0, rootIndex());
}

void SampleView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const int count = rows();
    if (count == 0)
        return;
    const QRect r = rect.normalized();
    const int first = firstVisible();
    const auto rowAt = [&](int y) {
        return std::clamp(first + (y < 0 ? (y - m_rowHeight + 1) : y) / m_rowHeight, 0, count - 1);
    };
    const QItemSelection selection(model()->index(rowAt(r.top()), 0, rootIndex()),
                                   model()->index(rowAt(r.bottom()), 0, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion SampleView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    const int first = firstVisible(), last = first + fullRows();
    for (const QItemSelectionRange &range : selection) {
        const int top = std::max(range.top(), first), bottom = std::min(range.bottom(), last);
        if (top <= bottom)
            region += QRect(0, (top - first) * m_rowHeight, viewport()->width(),
                            (bottom - top + 1) * m_rowHeight);
    }
    return region;
}

void SampleView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit escapePressed();
    QListView::keyPressEvent(event);
}
