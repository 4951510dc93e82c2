// The K3's commands: two letters (three for SWT/SWH and the RV queries), "$" for the sub
// receiver, parameters, no parameters for a query. A setting is carried out silently; a
// query is answered in the form the K2x / K3x command mode asks for; anything the radio does
// not know, or a bad parameter, gets "?;".
#include "sim/k3simulator.h"
#include "sim/menutable.h"

namespace corvane::sim {

namespace {

constexpr int kMenuLeave = 255;
constexpr qint64 kMaxFrequencyHz = 99999999999LL;

bool allDigits(const QString &text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// The digits as a number within lo..hi, or -1.
qint64 number(const QString &text, qint64 lo, qint64 hi, int maxDigits) {
    if (!allDigits(text) || text.size() > maxDigits) return -1;
    const qint64 v = text.toLongLong();
    return v >= lo && v <= hi ? v : -1;
}

QByteArray digits(qint64 value, int width) {
    return QByteArray::number(value).rightJustified(width, '0');
}

bool validMode(qint64 m) {
    return m >= 1 && m <= 9 && m != 8;
}

}  // namespace

void K3Simulator::execute(const QString &command, qint64 nowMs) {
    m_log << command;
    if (m_faults.busy) {
        answer("?;", nowMs);
        return;
    }
    const QString upper = command.toUpper();
    QString name = upper.left(2);
    QString args = upper.mid(2);
    if ((name == u"SW" || name == u"RV" || (name == u"SM" && args.startsWith(u'H'))) &&
        !args.isEmpty()) {
        name += args.at(0);
        args.remove(0, 1);
    }
    bool sub = false;
    if (args.startsWith(u'$')) {
        sub = true;
        args.remove(0, 1);
    }
    bool known = false;
    if (name.startsWith(u"RV"))
        known = !sub && args.isEmpty() && executeQuery(name, false, nowMs);
    else if (executeStationCommand(name, args, sub, nowMs))
        known = true;
    else if (executeMenuOrSwitch(name, args, nowMs))
        known = true;
    else if (args.isEmpty())
        known = executeQuery(name, sub, nowMs);
    else
        known = executeSetting(name, args, sub, nowMs);
    if (!known) answer("?;", nowMs);
}

bool K3Simulator::executeQuery(const QString &name, bool sub, qint64 nowMs) {
    K3State &s = m_state;
    const QByteArray tag = name.toLatin1() + (sub ? "$" : "");
    QByteArray reply;
    if (name == u"ID")
        reply = "017";
    else if (name == u"AI")
        reply = digits(s.autoInfo, 1);
    else if (name == u"AG")
        reply = digits(sub ? s.subAfGain : s.afGain, 3);
    else if (name == u"RG")
        reply = digits(sub ? s.subRfGain : s.rfGain, 3);
    else if (name == u"RA")
        reply = digits((sub ? s.subAttenuator : s.attenuator) ? 1 : 0, 2);
    else if (name == u"PA")
        reply = digits((sub ? s.subPreamp : s.preamp) ? 1 : 0, 1);
    else if (name == u"MD")
        reply = digits(sub ? s.subMode : s.mode, 1);
    else if (name == u"FA")
        reply = digits(s.vfoAHz, 11);
    else if (name == u"FB")
        reply = digits(s.vfoBHz, 11);
    else if (name == u"GT") {
        reply = digits(s.agcTimeConstant, 3);
        if (s.k2Mode >= 2) reply += s.agcOn ? '1' : '0';
    } else if (name == u"PC") {
        // Below 10 W in tenths (range digit 0), else whole watts (range digit 1).
        const bool tenths = s.powerWatts < 10.0;
        reply = digits(qBound(0, qRound(tenths ? s.powerWatts * 10 : s.powerWatts), 999), 3);
        if (s.k2Mode >= 2) reply += tenths ? '0' : '1';
    } else if (name == u"FW" || name == u"BW") {
        reply = digits(qBound(0, (sub ? s.subBandwidthHz : s.dspBandwidthHz) / 10, 9999), 4);
        if (name == u"FW" && s.k2Mode >= 2) {
            reply += char('1' + qBound(0, sub ? s.subSelectedSlot : s.selectedSlot, 4));
            reply += '0';
        }
    } else if (name == u"DS" && !sub) {
        const char icons = char(0x80 | (s.preamp ? 0x10 : 0) | (s.attenuator ? 0x08 : 0) |
                                (s.ritOn ? 0x02 : 0) | (s.xitOn ? 0x01 : 0));
        reply = vfoADisplay() + icons + char(0x80);
    } else if (name == u"DB" && !sub)
        reply = vfoBDisplay(nowMs);
    else if (name == u"MN" && !sub)
        reply = digits(s.openMenuEntry < 0 ? kMenuLeave : s.openMenuEntry, 3);
    else if (name == u"IF" && !sub) {
        answer(ifReport(), nowMs);
        return true;
    } else if (name == u"K2")
        reply = digits(s.k2Mode, 1);
    else if (name == u"K3")
        reply = digits(s.k3Mode, 1);
    else if (name == u"RVM")
        reply = s.mcuRevision.toLatin1();
    else if (name == u"RVD")
        reply = s.dspRevision.toLatin1();
    else if (name == u"RVF")
        reply = s.fpRevision.toLatin1();
    else if (name == u"RVA")
        reply = "01.27";
    else if (name == u"RVR")
        reply = "01.06";
    else if (name == u"TQ")
        reply = s.transmitting ? "1" : "0";
    else if (name == u"FT")
        reply = s.split ? "1" : "0";
    else if (name == u"FR")
        reply = "0";
    else if (name == u"DT")
        reply = digits(s.dataSubMode, 1);
    else if (name == u"SQ")
        reply = digits(s.squelch, 3);
    else if (name == u"MG")
        reply = digits(s.micGain, 3);
    else if (name == u"NB")
        reply = digits(s.noiseBlanker, 1);
    else if (name == u"NR")
        reply = digits(s.noiseReduction, 1);
    else if (name == u"KS")
        reply = digits(s.cwSpeedWpm, 3);
    else if (name == u"LK")
        reply = s.locked ? "1" : "0";
    else if (name == u"AN")
        reply = digits(s.antenna, 1);
    else if (name == u"BN")
        reply = digits(s.band, 2);
    else if (name == u"RT")
        reply = s.ritOn ? "1" : "0";
    else if (name == u"XT")
        reply = s.xitOn ? "1" : "0";
    else if (name == u"SB")
        reply = s.subOn ? "1" : "0";
    else if (name == u"DV" && !sub)
        reply = s.diversity ? "1" : "0";
    else if (name == u"PS")
        reply = "1";
    else if (name == u"OM") {
        // Options fitted: KAT3 (A), KPA3 (P), KRX3 sub receiver (S).
        reply = QByteArray(" ") + (s.kat3Installed ? 'A' : '-') + "P-S--------";
    } else if (name == u"IS")
        reply = " " + digits(s.ifShiftHz, 4);
    else if (name == u"RC") {  // RIT clear is a command without parameters
        s.ritOffsetHz = 0;
        return true;
    } else if (name == u"RX") {
        s.transmitting = false;
        return true;
    } else if (name == u"TX") {
        s.transmitting = true;
        return true;
    } else
        return false;
    answer(tag + reply + ';', nowMs);
    return true;
}

bool K3Simulator::executeSetting(const QString &name, const QString &args, bool sub, qint64 nowMs) {
    K3State &s = m_state;
    if (name == u"AI") {
        const qint64 v = number(args, 0, 3, 1);
        if (v < 0) return false;
        s.autoInfo = int(v);
    } else if (name == u"AG" || name == u"RG") {
        const qint64 v = number(args, 0, 250, 3);
        if (v < 0) return false;
        int &target =
            name == u"AG" ? (sub ? s.subAfGain : s.afGain) : (sub ? s.subRfGain : s.rfGain);
        target = int(v);
    } else if (name == u"RA" || name == u"PA") {
        const qint64 v = number(args, 0, 1, name == u"RA" ? 2 : 1);
        if (v < 0) return false;
        bool &target =
            name == u"RA" ? (sub ? s.subAttenuator : s.attenuator) : (sub ? s.subPreamp : s.preamp);
        target = v == 1;
    } else if (name == u"MD") {
        const qint64 v = number(args, 0, 9, 1);
        if (!validMode(v)) return false;
        if (sub)
            setSubMode(int(v));
        else {
            const bool changed = v != s.mode;
            setMode(int(v));
            if (s.diversity) setSubMode(int(v));
            if (changed) autoInfoReport(nowMs);
        }
    } else if (name == u"FA" || name == u"FB") {
        const qint64 v = number(args, 0, kMaxFrequencyHz, 11);
        if (v < 0 || sub) return false;
        qint64 &target = name == u"FA" ? s.vfoAHz : s.vfoBHz;
        const bool changed = target != v;
        target = v;
        if (changed && name == u"FA") autoInfoReport(nowMs);
    } else if (name == u"GT") {
        const bool extended = s.k2Mode >= 2 && args.size() == 4;
        const qint64 v = number(extended ? args.left(3) : args, 0, 999, 3);
        if (v < 0 || sub) return false;
        if (extended) {
            const qint64 on = number(args.right(1), 0, 1, 1);
            if (on < 0) return false;
            s.agcOn = on == 1;
        }
        s.agcTimeConstant = int(v);
    } else if (name == u"PC") {
        const bool extended = s.k2Mode >= 2 && args.size() == 4;
        const qint64 v = number(extended ? args.left(3) : args, 0, 999, 3);
        if (v < 0 || sub) return false;
        const bool tenths = extended && args.endsWith(u'0');
        if (extended && !tenths && !args.endsWith(u'1')) return false;
        s.powerWatts = tenths ? v / 10.0 : double(v);
    } else if (name == u"FW" || name == u"BW") {
        // K22 adds the crystal filter number and the audio filter digit: FWxxxxfa. In K22
        // with K31 not in effect a fifth digit alone selects the crystal filter: FW0000f; a
        // width of 0000 then leaves the DSP passband as it is.
        const bool k22 = name == u"FW" && s.k2Mode >= 2;
        const bool extended = k22 && args.size() == 6;
        const bool filterOnly = k22 && s.k3Mode == 0 && args.size() == 5;
        const qint64 v = number(extended || filterOnly ? args.left(4) : args, 0, 9999, 4);
        if (v < 0) return false;
        qint64 slot = -1;
        if (extended || filterOnly) {
            slot = number(args.mid(4, 1), 1, 5, 1);
            if (slot < 0 || (extended && !allDigits(args.right(1)))) return false;
        }
        const bool keepWidth = filterOnly && v == 0;
        const int hz = qBound(50, int(v) * 10, s.mode == 5 ? 13000 : 4000);
        // The filter-number form selects only a slot fitted and enabled for receive in the
        // mode; the full K22 form (a filter number as the radio reported it) a fitted one.
        const auto selectable = [&](const std::array<CrystalFilter, 5> &filters, int mode) {
            const CrystalFilter &f = filters[size_t(slot - 1)];
            return f.installed && (!filterOnly || f.rxEnabled[size_t(qBound(0, mode, 9))]);
        };
        if (sub) {
            if (!keepWidth) s.subBandwidthHz = hz;
            if (slot > 0 && selectable(s.subFilters, s.subMode)) s.subSelectedSlot = int(slot) - 1;
        } else {
            // A new bandwidth makes the radio pick the crystal filter afresh.
            if (!keepWidth && hz != s.dspBandwidthHz) {
                s.dspBandwidthHz = hz;
                selectFilterForBandwidth();
            }
            if (slot > 0 && selectable(s.mainFilters, s.mode)) s.selectedSlot = int(slot) - 1;
        }
    } else if (name == u"DB") {
        if (sub || args.size() != 2) return false;
        if (args == u"00")
            s.vfoBReadout = VfoBReadout::Normal;
        else if (args == u"10")
            s.vfoBReadout = VfoBReadout::Afv;
        else if (args == u"11") {
            // The dBV readout is relative to the audio level when it is selected.
            if (s.techMode) {
                s.vfoBReadout = VfoBReadout::Dbv;
                s.afvReferenceVolts = afvReading(nowMs);
            }
        } else
            return false;
    } else if (name == u"K2" || name == u"K3") {
        const qint64 v = number(args, 0, name == u"K2" ? 3 : 1, 1);
        if (v < 0 || sub) return false;
        (name == u"K2" ? s.k2Mode : s.k3Mode) = int(v);
    } else if (name == u"FT" || name == u"FR" || name == u"LK" || name == u"RT" || name == u"XT" ||
               name == u"SB" || name == u"NB" || name == u"NR" || name == u"PS" ||
               (name == u"DV" && !sub)) {
        const qint64 v = number(args, 0, 1, 1);
        if (v < 0) return false;
        if (name == u"FT")
            s.split = v == 1;
        else if (name == u"LK")
            s.locked = v == 1;
        else if (name == u"RT")
            s.ritOn = v == 1;
        else if (name == u"XT")
            s.xitOn = v == 1;
        else if (name == u"SB")
            s.subOn = v == 1;
        else if (name == u"DV")
            s.diversity = v == 1;
        else if (name == u"NB")
            s.noiseBlanker = int(v);
        else if (name == u"NR")
            s.noiseReduction = int(v);
    } else if (name == u"DT") {
        const qint64 v = number(args, 0, 3, 1);
        if (v < 0) return false;
        s.dataSubMode = int(v);
    } else if (name == u"SQ" || name == u"MG" || name == u"KS") {
        const qint64 v = number(args, 0, name == u"SQ" ? 29 : (name == u"MG" ? 60 : 60), 3);
        if (v < 0) return false;
        (name == u"SQ" ? s.squelch : (name == u"MG" ? s.micGain : s.cwSpeedWpm)) = int(v);
    } else if (name == u"AN") {
        const qint64 v = number(args, 1, 2, 1);
        if (v < 0) return false;
        s.antenna = int(v);
    } else if (name == u"BN") {
        const qint64 v = number(args, 0, 24, 2);
        if (v < 0) return false;
        s.band = int(v);
    } else if (name == u"KY") {
        // CW text to send: nothing to simulate on receive.
    } else {
        return false;
    }
    return true;
}

bool K3Simulator::executeMenuOrSwitch(const QString &name, const QString &args, qint64 nowMs) {
    K3State &s = m_state;
    if (name == u"MN" && !args.isEmpty()) {
        const qint64 v = number(args, 0, 255, 3);
        if (v < 0 || (v > 115 && v != kMenuLeave)) {
            answer("?;", nowMs);
            return true;
        }
        if (v == kMenuLeave) {
            s.openMenuEntry = -1;
        } else {
            s.openMenuEntry = int(v);
            // Opening an entry addresses the main receiver's filters again.
            s.menuOnSub = false;
        }
        return true;
    }
    if (name == u"UP" || name == u"DN") {
        const int direction = name == u"UP" ? 1 : -1;
        if (!args.isEmpty() && !allDigits(args)) {
            answer("?;", nowMs);
            return true;
        }
        if (s.openMenuEntry >= 0) {
            stepMenu(s.openMenuEntry, direction);
        } else {
            static const int kStepsHz[] = {1, 10, 20, 50, 1000, 2000, 3000, 5000, 100, 200};
            const int step = args.isEmpty() ? 10 : kStepsHz[args.right(1).toInt()];
            s.vfoAHz = qBound<qint64>(0, s.vfoAHz + direction * step, kMaxFrequencyHz);
            autoInfoReport(nowMs);
        }
        return true;
    }
    if (name == u"SWT" || name == u"SWH") {
        const qint64 code = number(args, 0, 255, 3);
        if (code < 0) {
            answer("?;", nowMs);
            return true;
        }
        // The switch codes the program uses are those of the K31 command set.
        if (name == u"SWT" && s.k3Mode == 1) tapSwitch(int(code));
        return true;
    }
    return false;
}

}  // namespace corvane::sim
