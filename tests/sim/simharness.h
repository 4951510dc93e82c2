#pragma once
// Drives a K3Simulator the way the program does: write, wait a fixed time, read all.

#include <QByteArray>
#include <QString>

#include "sim/k3simulator.h"

namespace corvane::sim::test {

struct SimHarness {
    K3Simulator sim;
    qint64 now = 0;

    explicit SimHarness(quint32 seed = 0x4b33) : sim(seed) {}

    QByteArray ask(const QByteArray &command, int waitMs = 100) {
        sim.receive(command, now);
        now += waitMs;
        return sim.takeOutput(now);
    }
    void send(const QByteArray &command, int waitMs = 100) {
        sim.receive(command, now);
        now += waitMs;
    }
    void wait(int ms) { now += ms; }
    // The 8 VFO A display bytes of a "ds;" answer.
    QByteArray displayA() { return ask("ds;").mid(2, 8); }
};

// The display's character codes turned into text: bit 7 is the point before the
// character, and the radio's own stand-ins for letters it cannot draw.
inline QString decodeDisplay(const QByteArray &bytes) {
    QString out;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        if (u > 127) {
            out += u'.';
            out += QChar(u - 128);
            continue;
        }
        switch (c) {
            case '@':
                out += u' ';
                break;
            case '<':
                out += u'L';
                break;
            case '>':
                out += u'-';
                break;
            case 'K':
                out += u'H';
                break;
            case 'M':
                out += u'N';
                break;
            case 'W':
                out += u'I';
                break;
            case 'Q':
                out += u'O';
                break;
            case 'V':
                out += u'U';
                break;
            case 'Z':
                out += u'C';
                break;
            default:
                out += QChar(u);
                break;
        }
    }
    return out;
}

}  // namespace corvane::sim::test
