#pragma once
// A port with a scripted radio behind it, for what neither a K3 nor the simulator sends
// ("xID017;", a report in front of an answer, short or garbled answers, a failing port).
// Use: setAnswer(write, answer) per whole write; inject() bytes that wait before anything
// is asked; failOpen()/failWrite(n) for port errors; written() lists the writes in order.
// An answer joins the receive buffer at once, so text nobody reads stays in front of the
// next answer, as on the real port. Waits cost nothing.

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <utility>

#include "link/transport.h"

namespace corvane::test {

class ScriptedTransport : public Transport {
public:
    explicit ScriptedTransport(QMap<QByteArray, QByteArray> answers = {})
        : m_answers(std::move(answers)) {}

    PortError open(int) override {
        if (m_openError.isError()) return m_openError;
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    PortError write(const QByteArray &bytes) override {
        if (!m_open) return {PortErrorKind::NotOpen, QString()};
        if (m_failWrite == ++m_writes) return m_writeError;
        m_written << QString::fromLatin1(bytes);
        m_buffer += m_answers.value(bytes);
        return {};
    }
    QByteArray readAll(PortError *error = nullptr) override {
        if (error) *error = {};
        return std::exchange(m_buffer, QByteArray());
    }
    QString name() const override { return QStringLiteral("scripted"); }

    void setAnswer(const QByteArray &write, const QByteArray &answer) { m_answers[write] = answer; }
    void inject(const QByteArray &bytes) { m_buffer += bytes; }
    void failOpen(const PortError &error) { m_openError = error; }
    // The n-th write (1 = the first) fails with `error`.
    void failWrite(int n, const PortError &error) {
        m_failWrite = n;
        m_writeError = error;
    }
    QStringList written() const { return m_written; }

private:
    bool m_open = false;
    int m_writes = 0;
    int m_failWrite = 0;
    PortError m_openError;
    PortError m_writeError;
    QMap<QByteArray, QByteArray> m_answers;
    QByteArray m_buffer;
    QStringList m_written;
};

}  // namespace corvane::test
