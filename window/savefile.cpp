// SPDX-License-Identifier: MIT

#include "window/savefile.h"

#include "window/messages.h"

#include <QSaveFile>

namespace {

// Hands every write to the file until all of it is written. A file system that fills up
// takes part of a write without a word, and only the next one fails with the reason.
class WholeWrites final : public QIODevice
{
public:
    explicit WholeWrites(QSaveFile &file) : m_file(file) { open(QIODevice::WriteOnly); }

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        for (qint64 done = 0; done < size;) {
            const qint64 n = m_file.write(data + done, size - done);
            if (n <= 0) {
                setErrorString(m_file.errorString());
                m_failed = true;
                return -1;
            }
            done += n;
        }
        return size;
    }
    qint64 readData(char *, qint64) override { return -1; }

public:
    bool failed() const { return m_failed; }

private:
    QSaveFile &m_file;
    bool m_failed = false;
};

} // namespace

std::optional<QString> saveFile(const QString &path, const Writer &write)
{
    QSaveFile file(path);
    // Unbuffered: a buffered QSaveFile flushes at commit, and a flush the system takes
    // only part of passes there as done, leaving a file cut short behind a save that said
    // it succeeded.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return messages::saveFailed(path, file.errorString());
    WholeWrites device(file);
    QString why;
    const bool written = write(device, why);
    // A write the system refused says why; QSaveFile then discards the temporary file.
    if (device.failed())
        return messages::saveFailed(path, device.errorString());
    if (!written)
        return messages::saveFailed(path, why);
    if (!file.commit())
        return messages::saveFailed(path, file.errorString());
    return std::nullopt;
}
