// Commands that station programs send (loggers, and Hamlib's K3 driver for WSJT-X, fldigi and
// the like) and the program itself does not use, answered as the K3/K3S programmer's reference
// (rev. G5) gives them: RO set and get, KY get, VX, AP, CP, ML, NL, TM, IC, BG, CW and XF, and
// the S-meter's scales for SM, SM$ and SMH. What they set is kept and read back; apart from
// the RIT offset (which the IF report carries) none of it changes what the receiver hears.
#include <cstdlib>

#include "sim/k3simulator.h"

namespace corvane::sim {

namespace {

bool allDigits(const QString &text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// The digits as a number within lo..hi, or -1.
int number(const QString &text, int lo, int hi, int width) {
    if (!allDigits(text) || text.size() != width) return -1;
    const int v = text.toInt();
    return v >= lo && v <= hi ? v : -1;
}

QByteArray digits(int value, int width) {
    return QByteArray::number(value).rightJustified(width, '0');
}

// ML is kept for the mode in use: CW, DATA, or voice.
int monitorGroup(int mode) {
    if (mode == 3 || mode == 7) return 0;
    if (mode == 6 || mode == 9) return 1;
    return 2;
}

// VX: "hit-the-key transmit" in CW, voice-operated relay in voice and data modes.
int voxGroup(int mode) {
    return mode == 3 || mode == 7 ? 1 : 0;
}

}  // namespace

int K3Simulator::sMeterReading(SMeterScale scale) const {
    // The reference's points: SMH S1 = 5, S9 = 40, S9+60 = 100 (at most about 140); SM in the
    // basic form S9 = 6, S9+20 = 9, S9+40 = 12, S9+60 = 15 (0..15); SM in K31 S9 = 9, S9+20 =
    // 13, S9+40 = 17, S9+60 = 21 (0..21). Between them the scale is taken as linear, from 0 at
    // S0 where the reference names no point below S9.
    const double db = sMeterDb();  // above S0, 6 dB an S unit: S9 = 54
    constexpr double kS9Db = 54.0;
    const double over = db - kS9Db;
    double value = 0.0;
    int top = 0;
    switch (scale) {
        case SMeterScale::High:
            value = over >= 0 ? 40.0 + over : 5.0 + (db / 6.0 - 1.0) * 35.0 / 8.0;
            top = 140;
            break;
        case SMeterScale::Basic:
            value = over >= 0 ? 6.0 + over * 3.0 / 20.0 : db / 9.0;
            top = 15;
            break;
        case SMeterScale::Extended:
            value = over >= 0 ? 9.0 + over / 5.0 : db / 6.0;
            top = 21;
            break;
    }
    return qBound(0, qRound(value), top);
}

bool K3Simulator::executeStationCommand(const QString &name, const QString &args, bool sub,
                                        qint64 nowMs) {
    K3State &s = m_state;
    StationSettings &x = s.station;
    const bool get = args.isEmpty();
    QByteArray reply;
    if (name == u"SMH" && !sub && get) {
        reply = digits(sMeterReading(SMeterScale::High), 3);
    } else if (name == u"SM" && get) {
        // 0000 in transmit (the reference). The sub-receiver's meter reads the main's signal
        // while it is on (not modelled apart).
        const SMeterScale scale = s.k3Mode == 1 ? SMeterScale::Extended : SMeterScale::Basic;
        reply = digits(s.transmitting || (sub && !s.subOn) ? 0 : sMeterReading(scale), 4);
    } else if (name == u"BG" && !sub && get) {
        // Receive: the S-meter's bars, 00..21 (CWT off). Transmit: the power or ALC bars, which
        // the simulator does not model: none lit.
        reply = s.transmitting ? "00T" : digits(sMeterReading(SMeterScale::Extended), 2) + 'R';
    } else if (name == u"RO" && !sub) {
        if (get) {
            reply = (s.ritOffsetHz < 0 ? "-" : "+") + digits(std::abs(s.ritOffsetHz), 4);
        } else {
            // ROsnnnn: s is "+", "-" or a blank for "+".
            const QChar sign = args.at(0);
            const int hz = number(args.mid(1), 0, 9999, 4);
            if ((sign != u'+' && sign != u'-' && sign != u' ') || hz < 0) return false;
            const int offset = sign == u'-' ? -hz : hz;
            const bool changed = offset != s.ritOffsetHz;
            s.ritOffsetHz = offset;
            if (changed) autoInfoReport(nowMs);
            return true;
        }
    } else if (name == u"KY" && !sub && get) {
        // Nothing is keyed, so the buffer is empty: in K22 "2" says also that sending is done.
        reply = s.k2Mode >= 2 ? "2" : "0";
    } else if (name == u"VX" && !sub) {
        bool &vox = x.vox[size_t(voxGroup(s.mode))];
        if (get) {
            reply = vox ? "1" : "0";
        } else {
            const int v = number(args, 0, 1, 1);
            if (v < 0) return false;
            vox = v == 1;
            return true;
        }
    } else if ((name == u"AP" || name == u"TM") && !sub) {
        int &flag = name == u"AP" ? x.audioPeakingFilter : x.txMeter;
        if (get) {
            reply = digits(flag, 1);
        } else {
            const int v = number(args, 0, 1, 1);
            if (v < 0) return false;
            flag = v;
            return true;
        }
    } else if ((name == u"CP" || name == u"ML") && !sub) {
        int &level = name == u"CP" ? x.compression : x.monitor[size_t(monitorGroup(s.mode))];
        if (get) {
            reply = digits(level, 3);
        } else {
            const int v = number(args, 0, name == u"CP" ? 40 : 60, 3);
            if (v < 0) return false;
            level = v;
            return true;
        }
    } else if (name == u"NL") {
        // NLddii: DSP blanker level dd and IF blanker level ii, 00..21 each.
        std::array<int, 2> &levels = sub ? x.subBlankerLevels : x.blankerLevels;
        if (get) {
            reply = digits(levels[0], 2) + digits(levels[1], 2);
        } else {
            const int dsp = args.size() == 4 ? number(args.left(2), 0, 21, 2) : -1;
            const int intermediate = args.size() == 4 ? number(args.mid(2), 0, 21, 2) : -1;
            if (dsp < 0 || intermediate < 0) return false;
            levels = {dsp, intermediate};
            return true;
        }
    } else if (name == u"CW" && !sub && get) {
        reply = digits(x.sidetonePitchTensHz, 2);
    } else if (name == u"XF" && get) {
        reply = digits(1 + (sub ? s.subSelectedSlot : s.selectedSlot), 1);
    } else if (name == u"IC" && !sub && get) {
        // Five flag bytes, bit 7 always set. Kept: diversity and sub receiver on (b4, b0), APF
        // in use and CW VOX (c5, c4), voice VOX (d6); every other flag reads 0.
        const char b = char(0x80 | (s.diversity ? 0x10 : 0) | (s.subOn ? 0x01 : 0));
        const char c = char(0x80 | (x.audioPeakingFilter ? 0x20 : 0) | (x.vox[1] ? 0x10 : 0));
        const char d = char(0x80 | (x.vox[0] ? 0x40 : 0));
        reply = QByteArray(1, char(0x80)) + b + c + d + char(0x80);
    } else {
        return false;
    }
    answer(name.toLatin1() + (sub ? "$" : "") + reply + ';', nowMs);
    return true;
}

}  // namespace corvane::sim
