// SPDX-License-Identifier: MIT

#pragma once

// The sliders of Explore's equation bar: one for y(x0), y'(x0) and each parameter of the
// current equation, each with a field for its value and fields for the ends of its range.
// Dragging a slider, or Enter in its value field, asks for the live run at that value;
// Enter on the slider, or Add Run, asks for it as a real run. The value is always the
// number of a text, typed as a user would type it, so a real run lists what typing that
// text lists.

#include "window/varied.h"

#include <QWidget>

class QGridLayout;
class QLineEdit;
class QPushButton;
class QSlider;

class SliderPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSteps = 1000; // positions of a slider

    explicit SliderPanel(QWidget *parent = nullptr);

    // The sliders of `eq`, each at its value in `base`: anew when the equation's quantities
    // changed, otherwise only the values of the sliders not being dragged.
    void follow(const solver::Equation &eq, const solver::RunParameters &base);
    // The sliders shown, in their order, and what each varies.
    int count() const { return static_cast<int>(m_rows.size()); }
    QSlider &slider(int k) const { return *m_rows[static_cast<std::size_t>(k)].slider; }
    QLineEdit &valueField(int k) const { return *m_rows[static_cast<std::size_t>(k)].value; }
    QLineEdit &fromField(int k) const { return *m_rows[static_cast<std::size_t>(k)].from; }
    QLineEdit &toField(int k) const { return *m_rows[static_cast<std::size_t>(k)].to; }
    const Varied &varied(int k) const { return m_rows[static_cast<std::size_t>(k)].varied; }
    // The live run is shown (Add Run has one to add) or not.
    void setLive(bool live);
    // A family is under way: its button stops it.
    void setFamilyRunning(bool running);
    // The text a slider's position stands for: from + (to - from) * position / kSteps, with
    // the fewest digits that tell one position from the next.
    static QString textAt(double from, double to, int position);

signals:
    // The live run at `text`, the value of `varied`.
    void moved(const Varied &varied, const QString &text);
    // The run at `text` as a real one, listed.
    void runWanted(const Varied &varied, const QString &text);
    void familyWanted();

private:
    struct Row
    {
        Varied varied;
        QLineEdit *value = nullptr;
        QLineEdit *from = nullptr;
        QSlider *slider = nullptr;
        QLineEdit *to = nullptr;
        double lo = -1, hi = 1; // the range, as its fields last read
    };
    void build(const QList<Varied> &quantities);
    // The slider of row k at `value`, the range widened to take it in; no signal.
    void place(Row &row, double value);
    void slid(int k, int position);
    void valueEntered(int k);
    void rangeEntered(int k);

    std::vector<Row> m_rows;
    QGridLayout *m_grid;
    QPushButton *m_addRun;
    QPushButton *m_family;
    int m_last = -1; // the row of the live run
};
