#pragma once
// The radio as a fuzzer plays it: every write is answered by the next piece of the input.
// Pieces are separated by '\n' (the K3 never sends one); a piece that is exactly "!" makes
// that write fail as a pulled cable does; once the input is used up the radio says nothing.
// Procedures run on a virtual clock, messages are closed at once, sinks drop what they get.

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/prompter.h"
#include "link/clock.h"
#include "link/radiolink.h"
#include "link/transport.h"

namespace corvane::fuzz {

class FuzzTransport : public Transport {
public:
    explicit FuzzTransport(QByteArray script) : m_script(std::move(script)) {}
    PortError open(int) override {
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    PortError write(const QByteArray &) override {
        if (!m_open) return {PortErrorKind::NotOpen, {}};
        const QByteArray piece = nextPiece();
        if (piece == "!") {
            m_open = false;
            return {PortErrorKind::Other, QStringLiteral("Input/output error")};
        }
        m_pending += piece;
        return {};
    }
    QByteArray readAll(PortError *error = nullptr) override {
        if (error) *error = {};
        QByteArray out;
        out.swap(m_pending);
        return out;
    }
    QString name() const override { return QStringLiteral("fuzzed K3"); }

private:
    QByteArray nextPiece() {
        if (m_pos >= m_script.size()) return {};
        qsizetype end = m_script.indexOf('\n', m_pos);
        if (end < 0) end = m_script.size();
        const QByteArray piece = m_script.mid(m_pos, end - m_pos);
        m_pos = end + 1;
        return piece;
    }

    QByteArray m_script;
    qsizetype m_pos = 0;
    QByteArray m_pending;
    bool m_open = false;
};

class ClosingPrompter : public Prompter {
public:
    void message(const PromptMessage &) override {}
};

// A link on a virtual clock whose radio answers from the fuzzer's bytes.
struct FuzzBench {
    VirtualClock clock;
    RadioLink link{clock};
    ClosingPrompter prompter;

    FuzzBench(const uint8_t *data, size_t size) {
        link.setTransport(std::make_unique<FuzzTransport>(
            QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))));
        link.open();
    }
};

inline QByteArray bytesOf(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// The input as a file on disk, for the readers of saved files; false when none could be made.
inline bool writeScratchFile(QTemporaryFile &file, const uint8_t *data, size_t size) {
    if (!file.open()) return false;
    file.write(bytesOf(data, size));
    file.close();
    return true;
}

}  // namespace corvane::fuzz
