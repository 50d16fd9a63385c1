// SPDX-License-Identifier: MIT

#pragma once

#include "cli/tableoptions.h"
#include "listing/rowwriter.h"

#include <cstdio>
#include <string_view>

// Writes to a file descriptor through a fixed buffer, so a table of any length runs in
// constant memory.
class OutputBuffer
{
public:
    enum State { Open, Closed, Failed };

    explicit OutputBuffer(int fd) : m_fd(fd) {}
    OutputBuffer(const OutputBuffer &) = delete;
    OutputBuffer &operator=(const OutputBuffer &) = delete;

    // Room for at least `n` more characters; flushes when needed. False once the
    // output is closed or failed.
    bool reserve(std::size_t n) { return m_used + n <= kCapacity || flush(); }
    char *end() { return m_buffer + m_used; }
    std::size_t room() const { return kCapacity - m_used; }
    void commit(char *newEnd) { m_used = static_cast<std::size_t>(newEnd - m_buffer); }

    bool flush();
    State state() const { return m_state; }
    int error() const { return m_errno; }

private:
    static constexpr std::size_t kCapacity = 1 << 16;

    int m_fd;
    State m_state = Open;
    int m_errno = 0;
    std::size_t m_used = 0;
    char m_buffer[kCapacity];
};

// Runs the table described by `options` (or its study, or its family of runs), writing the
// lines to `outFd` and any failure to `err`. Returns the exit status: 0 done (or the reader
// closed the pipe), 1 a computation without a value, a study that cannot be made or an
// output error.
int runTable(const TableOptions &options, int outFd, std::FILE *err);

// The rows the options ask for: list lines, CSV, or CSV with the reference.
RowFormat rowFormat(const TableOptions &options);

// Copies `text` to the buffer, flushing as it fills.
void writeText(OutputBuffer &out, std::string_view text);

// Says what ended the output; 0 for a reader that closed the pipe, 1 for a write error.
int outputError(const OutputBuffer &out, std::FILE *err);

// Lists the run `p` into `out` in the rows `options` ask for, each row after `lead`,
// flushes it and then tells on `err` what ended the run early. Returns the run's exit
// status; the output's state says whether anything more can be written.
int listRun(const TableOptions &options, const solver::RunParameters &p, std::string_view lead,
            OutputBuffer &out, std::FILE *err);
