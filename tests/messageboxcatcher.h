// SPDX-License-Identifier: MIT

#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

// Answers the next message box with OK and keeps its text. The box is modal, so it is
// found from a timer that runs inside its event loop.
class MessageBoxCatcher
{
public:
    MessageBoxCatcher()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_text = box->text();
                m_icon = box->icon();
                m_format = box->textFormat();
                ++m_count;
                box->accept();
            }
        });
        m_timer.start();
    }

    QString text() const { return m_text; }
    QMessageBox::Icon icon() const { return m_icon; }
    int count() const { return m_count; }
    Qt::TextFormat format() const { return m_format; }

private:
    QTimer m_timer;
    QString m_text;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
    Qt::TextFormat m_format = Qt::AutoText;
    int m_count = 0;
};
