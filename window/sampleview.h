// SPDX-License-Identifier: MIT

#pragma once

#include <QListView>

// The view of the sample list: one line per row, every row the same height, painted
// straight from the model. It keeps nothing per row, so ten million rows cost the view
// no more memory or time than ten: row r lies at (r - first visible row) * row height,
// and the scroll bar counts rows.
//
// It is a QListView for what the rest of Qt knows of list views (the accessible list,
// styles), but lays out nothing itself: every geometry function is its own.
class SampleView : public QListView
{
    Q_OBJECT

public:
    explicit SampleView(QWidget *parent = nullptr);

    // Brings the scroll range and the visible rows up to date at once, without going
    // through the event loop; for progress shown while a run holds the thread.
    void refresh();
    // Scrolls the row to the top.
    void showAtTop(int row);
    // Makes `row` the current, selected line, scrolled into view, as a probe finds it: its
    // current line changes even when it was this one, so that what follows it shows it anew.
    void makeCurrent(int row);

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void doItemsLayout() override;

signals:
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &) const override { return false; }
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;

private:
    int rows() const;
    int firstVisible() const;
    // Rows wholly inside the viewport; at least one.
    int fullRows() const;

    int m_rowHeight;
};
