#pragma once

#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// Redirects the process's standard output (or standard error) into a file while it lives.
class StandardOutputCapture {
public:
    explicit StandardOutputCapture(FILE* stream = stdout)
        : m_stream(stream)
        , m_descriptor(fileno(stream))
    {
        m_file.open();
        std::fflush(m_stream);
        m_saved = dup(m_descriptor);
        dup2(m_file.handle(), m_descriptor);
    }
    ~StandardOutputCapture() { restore(); }

    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(m_stream);
        dup2(m_saved, m_descriptor);
        close(m_saved);
        m_saved = -1;
    }

    FILE* m_stream;
    int m_descriptor;
    QTemporaryFile m_file;
    int m_saved = -1;
};
