#pragma once
// A port with a scripted radio behind it, for the answers a real K3 (and the simulator)
// never gives: "xID017;", a report in front of the identity, an auto-info mode 2, a port
// that fails on the n-th write. Answers are there at once; waits cost nothing.

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <utility>

#include "link/transport.h"

class ScriptedTransport : public corvane::Transport {
public:
    corvane::PortError open(int) override {
        if (m_openError.isError()) return m_openError;
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    corvane::PortError write(const QByteArray &bytes) override {
        if (!m_open) return {corvane::PortErrorKind::NotOpen, QString()};
        if (m_failWrite == ++m_writes) return m_writeError;
        m_written << QString::fromLatin1(bytes);
        m_buffer += m_answers.value(bytes);
        return {};
    }
    QByteArray readAll(corvane::PortError *error) override {
        if (error) *error = {};
        return std::exchange(m_buffer, QByteArray());
    }
    QString name() const override { return QStringLiteral("scripted"); }

    void setAnswer(const QByteArray &command, const QByteArray &answer) {
        m_answers[command] = answer;
    }
    // Bytes waiting before anything is asked (a leftover report).
    void inject(const QByteArray &bytes) { m_buffer += bytes; }
    void failOpen(const corvane::PortError &error) { m_openError = error; }
    // The n-th write (1 = the first) fails with `error`.
    void failWrite(int n, const corvane::PortError &error) {
        m_failWrite = n;
        m_writeError = error;
    }
    QStringList written() const { return m_written; }

private:
    bool m_open = false;
    int m_writes = 0;
    int m_failWrite = 0;
    corvane::PortError m_openError;
    corvane::PortError m_writeError;
    QMap<QByteArray, QByteArray> m_answers;
    QByteArray m_buffer;
    QStringList m_written;
};
