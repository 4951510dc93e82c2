#include "share/sharedradio.h"

#include <QLocale>
#include <QRegularExpression>
#include <array>
#include <cmath>
#include <optional>

namespace corvane::share {

namespace {

// The form of each answer the server reads: the query's letters, the value, ";".
struct AnswerShape {
    const char *query;
    const char *value;  // a regular expression for the value
};
constexpr std::array<AnswerShape, 16> kAnswerShapes{{
    {"fa;", "\\d{11}"},      // FA00014060000;  VFO A in Hz
    {"fb;", "\\d{11}"},      // FB00014060000;  VFO B in Hz
    {"md;", "[1-79]"},       // MD3;  1 LSB 2 USB 3 CW 4 FM 5 AM 6 DATA 7 CW-REV 9 DATA-REV
    {"md$;", "[1-79]"},      // MD$3;  VFO B's mode
    {"dt;", "[0-3]"},        // DT0;  DATA A, AFSK A, FSK D, PSK D
    {"bw;", "\\d{4}"},       // BW0050;  passband in 10 Hz
    {"bw$;", "\\d{4}"},      // BW$0050;
    {"ft;", "[01]"},         // FT1;  transmit on VFO B (split)
    {"tq;", "[01]"},         // TQ1;  transmitting
    {"ag;", "\\d{3}"},       // AG030;  AF gain 000..250
    {"rg;", "\\d{3}"},       // RG250;  RF gain 000..250
    {"pa;", "[01]"},         // PA1;  preamp on
    {"ra;", "0[01]"},        // RA01;  10 dB attenuator in
    {"smh;", "\\d{3}"},      // SMH040;  S-meter, high resolution
    {"ro;", "[+ -]\\d{4}"},  // RO+0050;  RIT/XIT offset in Hz (a blank for +)
    {"ps;", "[01]"},         // PS1;  powered on
}};

const char *valueShape(const QString &query) {
    for (const AnswerShape &shape : kAnswerShapes)
        if (query == QLatin1String(shape.query)) return shape.value;
    return nullptr;
}

// Gains 000..250 are Hamlib's 0..1.
constexpr int kFullGain = 250;
// The attenuator's one step (RA01).
constexpr int kAttenuatorDb = 10;
// The largest frequency FA/FB take: 11 digits in Hz.
constexpr double kMaxFrequencyHz = 99999999999.0;
// RO's offset, 0000..9999 Hz either side.
constexpr int kMaxRitHz = 9999;

// Hamlib's mode names and the K3's MD numbers (DATA and DATA-REV by their DT sub-mode:
// DATA A and PSK D are the packet modes, AFSK A and FSK D the RTTY modes).
struct ModeName {
    const char *hamlib;
    int mode;
    int dataSubMode;  // -1: not a DATA mode
};
constexpr std::array<ModeName, 10> kModes{{
    {"LSB", 1, -1},
    {"USB", 2, -1},
    {"CW", 3, -1},
    {"FM", 4, -1},
    {"AM", 5, -1},
    {"PKTUSB", 6, 0},
    {"RTTY", 6, 2},
    {"CWR", 7, -1},
    {"PKTLSB", 9, 0},
    {"RTTYR", 9, 2},
}};

QString hamlibMode(int mode, int dataSubMode) {
    const bool rtty = dataSubMode == 1 || dataSubMode == 2;
    for (const ModeName &name : kModes)
        if (name.mode == mode && (name.dataSubMode < 0 || (name.dataSubMode == 2) == rtty))
            return QLatin1String(name.hamlib);
    return QString();
}

std::optional<double> decimal(const QString &text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<qint64> integer(const QString &text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

// Hamlib's STRENGTH (dB relative to S9) from SMH, whose scale the K3 reference gives as
// S1 = 5, S9 = 40 and S9+60 dB = 100: eight S units of 6 dB below S9, 1 dB a step above.
int strengthFromSmh(int smh) {
    constexpr int kS9 = 40;
    constexpr int kS1 = 5;
    if (smh >= kS9) return smh - kS9;
    return int(std::lround(double(smh - kS9) * 48.0 / double(kS9 - kS1)));
}

bool vfoToken(const QString &token, Vfo *vfo) {
    static const QStringList a{"VFOA", "Main", "MainA", "RX"};
    static const QStringList b{"VFOB", "Sub", "MainB", "SubA", "TX"};
    if (a.contains(token)) {
        *vfo = Vfo::A;
        return true;
    }
    if (b.contains(token)) {
        *vfo = Vfo::B;
        return true;
    }
    // The current one stays.
    return token == QLatin1String("currVFO") || token == QLatin1String("VFO");
}

RigReply values(const QStringList &list) {
    return RigReply{RigError::Ok, list};
}

RigReply failure(RigError error) {
    return RigReply{error, {}};
}

}  // namespace

SharedRadio::SharedRadio(RadioLink &link) : m_link(link) {}

bool SharedRadio::linkBusy() const {
    return !m_link.holder().isEmpty() || m_link.isWaiting();
}

SharedRadio::Reading SharedRadio::read(const QString &command) {
    if (linkBusy()) {
        const auto last = m_lastRead.find(command);
        if (last == m_lastRead.end()) return {RigError::BusBusy, QString()};
        return {RigError::Ok, last->second};
    }
    if (!m_link.isConnected()) return {RigError::Io, QString()};
    const QString answer = m_link.queryRadio(command, kShareWaitMs);
    if (!m_link.isConnected()) return {RigError::Io, QString()};
    if (answer.isEmpty()) return {RigError::Timeout, QString()};
    const QString tag = command.left(command.size() - 1).toUpper();
    const QRegularExpression shape(u'^' + QRegularExpression::escape(tag) + u'(' +
                                   QLatin1String(valueShape(command)) + QStringLiteral(");$"));
    const QRegularExpressionMatch match = shape.match(answer);
    if (!match.hasMatch()) return {RigError::Protocol, QString()};
    m_lastRead[command] = match.captured(1);
    return {RigError::Ok, match.captured(1)};
}

RigError SharedRadio::write(const QString &command) {
    if (linkBusy()) return RigError::Rejected;
    if (!m_link.isConnected()) return RigError::Io;
    m_link.sendCommand(command, kShareWaitMs);
    return m_link.isConnected() ? RigError::Ok : RigError::Io;
}

QByteArray SharedRadio::answer(const QByteArray &line, Vfo &vfo, bool *quit) {
    if (line.trimmed().isEmpty()) return QByteArray();
    RigError error = RigError::Ok;
    const std::optional<RigctlRequest> request = parseRequest(line, &error);
    if (!request) return formatError(error);
    if (request->name == u"quit") {
        if (quit) *quit = true;
        return QByteArray();
    }
    return formatReply(*request, handle(*request, vfo));
}

RigReply SharedRadio::handle(const RigctlRequest &request, Vfo &vfo) {
    const QString &name = request.name;
    const QStringList &args = request.arguments;
    if (name == u"set_ptt") return failure(RigError::NotAvailable);
    if (name.startsWith(u"set_") && linkBusy()) return failure(RigError::Rejected);

    if (name == u"get_freq") return getFrequency(vfo);
    if (name == u"set_freq") return setFrequency(vfo, args[0]);
    if (name == u"get_mode") return getMode(vfo);
    if (name == u"set_mode") return setMode(vfo, args[0], args[1]);
    if (name == u"get_vfo") return values({vfo == Vfo::A ? "VFOA" : "VFOB"});
    if (name == u"set_vfo")
        return failure(vfoToken(args[0], &vfo) ? RigError::Ok : RigError::InvalidArgument);
    if (name == u"get_split_vfo") return getSplit();
    if (name == u"set_split_vfo") return setSplit(args[0], args[1]);
    if (name == u"get_split_freq") return getFrequency(Vfo::B);
    if (name == u"set_split_freq") return setFrequency(Vfo::B, args[0]);
    if (name == u"get_split_mode") return getMode(Vfo::B);
    if (name == u"set_split_mode") return setMode(Vfo::B, args[0], args[1]);
    if (name == u"get_rit") return getRit();
    if (name == u"set_rit") return setRit(args[0]);
    if (name == u"get_ptt") return getFlag(QStringLiteral("tq;"));
    if (name == u"get_level") return getLevel(args[0]);
    if (name == u"set_level") return setLevel(args[0], args[1]);
    if (name == u"get_powerstat") return getFlag(QStringLiteral("ps;"));
    // This server takes no VFO argument in its commands (rigctld without --vfo).
    if (name == u"chk_vfo") return values({"0"});
    if (name == u"dump_state") return values(dumpState());
    // rigctld's mode lock (its set_lock_mode) is not offered: a client may always ask for a
    // mode. Hamlib's NET rigctl asks before every set_mode.
    if (name == u"get_lock_mode") return values({"0"});
    return failure(RigError::NotImplemented);
}

RigReply SharedRadio::getFrequency(Vfo vfo) {
    const Reading hz = read(vfo == Vfo::A ? QStringLiteral("fa;") : QStringLiteral("fb;"));
    if (hz.error != RigError::Ok) return failure(hz.error);
    return values({QString::number(hz.value.toLongLong())});
}

RigReply SharedRadio::setFrequency(Vfo vfo, const QString &hz) {
    const std::optional<double> value = decimal(hz);
    if (!value || *value < 1.0 || *value > kMaxFrequencyHz)
        return failure(RigError::InvalidArgument);
    const QString digits = QString::number(std::llround(*value)).rightJustified(11, u'0');
    return failure(
        write((vfo == Vfo::A ? QStringLiteral("fa") : QStringLiteral("fb")) + digits + u';'));
}

RigReply SharedRadio::getMode(Vfo vfo) {
    const QString sub = vfo == Vfo::A ? QString() : QStringLiteral("$");
    const Reading mode = read(QStringLiteral("md") + sub + u';');
    if (mode.error != RigError::Ok) return failure(mode.error);
    const int number = mode.value.toInt();
    int dataSubMode = 0;
    // The sub-mode belongs to the main receiver's DATA modes.
    if (vfo == Vfo::A && (number == 6 || number == 9)) {
        const Reading data = read(QStringLiteral("dt;"));
        if (data.error != RigError::Ok) return failure(data.error);
        dataSubMode = data.value.toInt();
    }
    const Reading width = read(QStringLiteral("bw") + sub + u';');
    if (width.error != RigError::Ok) return failure(width.error);
    return values({hamlibMode(number, dataSubMode), QString::number(width.value.toInt() * 10)});
}

RigReply SharedRadio::setMode(Vfo vfo, const QString &mode, const QString &passband) {
    const ModeName *found = nullptr;
    for (const ModeName &name : kModes)
        if (mode == QLatin1String(name.hamlib)) found = &name;
    // Passband in Hz; 0 (the radio's own for the mode) and -1 (no change) leave it alone.
    const std::optional<qint64> hz = integer(passband);
    if (!found || !hz || *hz < -1 || *hz > 99990) return failure(RigError::InvalidArgument);
    const QString sub = vfo == Vfo::A ? QString() : QStringLiteral("$");
    RigError error = write(QStringLiteral("md") + sub + QString::number(found->mode) + u';');
    if (error == RigError::Ok && vfo == Vfo::A && found->dataSubMode >= 0)
        error = write(QStringLiteral("dt") + QString::number(found->dataSubMode) + u';');
    if (error == RigError::Ok && *hz > 0) {
        const QString width = QString::number((*hz + 5) / 10).rightJustified(4, u'0');
        error = write(QStringLiteral("bw") + sub + width + u';');
    }
    return failure(error);
}

RigReply SharedRadio::getSplit() {
    const Reading split = read(QStringLiteral("ft;"));
    if (split.error != RigError::Ok) return failure(split.error);
    const bool on = split.value == u"1";
    return values({on ? "1" : "0", on ? "VFOB" : "VFOA"});
}

RigReply SharedRadio::setSplit(const QString &split, const QString &txVfo) {
    Vfo tx = Vfo::B;
    if ((split != u"0" && split != u"1") || !vfoToken(txVfo, &tx))
        return failure(RigError::InvalidArgument);
    // With split on the K3 transmits on VFO B (FT1); it cannot transmit on A in split.
    if (split == u"1" && tx == Vfo::A) return failure(RigError::InvalidArgument);
    return failure(write(QStringLiteral("ft") + split + u';'));
}

RigReply SharedRadio::getRit() {
    const Reading offset = read(QStringLiteral("ro;"));
    if (offset.error != RigError::Ok) return failure(offset.error);
    const int hz = offset.value.mid(1).toInt();
    return values({QString::number(offset.value.startsWith(u'-') ? -hz : hz)});
}

RigReply SharedRadio::setRit(const QString &hz) {
    const std::optional<qint64> value = integer(hz);
    if (!value || std::abs(*value) > kMaxRitHz) return failure(RigError::InvalidArgument);
    const QString digits = QString::number(std::abs(*value)).rightJustified(4, u'0');
    return failure(write(QStringLiteral("ro") + (*value < 0 ? u'-' : u'+') + digits + u';'));
}

RigReply SharedRadio::getFlag(const QString &command) {
    const Reading flag = read(command);
    if (flag.error != RigError::Ok) return failure(flag.error);
    return values({flag.value});
}

RigReply SharedRadio::getLevel(const QString &level) {
    const auto gain = [this](const QString &command) {
        const Reading value = read(command);
        if (value.error != RigError::Ok) return failure(value.error);
        return values({QString::number(value.value.toInt() / double(kFullGain), 'f', 6)});
    };
    if (level == u"AF") return gain(QStringLiteral("ag;"));
    if (level == u"RF") return gain(QStringLiteral("rg;"));
    if (level == u"PREAMP") return getFlag(QStringLiteral("pa;"));
    if (level == u"ATT") {
        const Reading att = read(QStringLiteral("ra;"));
        if (att.error != RigError::Ok) return failure(att.error);
        return values({att.value == u"01" ? QString::number(kAttenuatorDb) : "0"});
    }
    if (level == u"STRENGTH" || level == u"RAWSTR") {
        const Reading smh = read(QStringLiteral("smh;"));
        if (smh.error != RigError::Ok) return failure(smh.error);
        const int raw = smh.value.toInt();
        return values({QString::number(level == u"RAWSTR" ? raw : strengthFromSmh(raw))});
    }
    return failure(RigError::InvalidArgument);
}

RigReply SharedRadio::setLevel(const QString &level, const QString &value) {
    const std::optional<double> number = decimal(value);
    if (!number) return failure(RigError::InvalidArgument);
    if (level == u"AF" || level == u"RF") {
        if (*number < 0.0 || *number > 1.0) return failure(RigError::InvalidArgument);
        const QString digits =
            QString::number(std::lround(*number * kFullGain)).rightJustified(3, u'0');
        return failure(
            write((level == u"AF" ? QStringLiteral("ag") : QStringLiteral("rg")) + digits + u';'));
    }
    if (level == u"PREAMP" && (*number == 0.0 || *number == 1.0))
        return failure(write(*number == 0.0 ? QStringLiteral("pa0;") : QStringLiteral("pa1;")));
    if (level == u"ATT" && (*number == 0.0 || *number == kAttenuatorDb))
        return failure(write(*number == 0.0 ? QStringLiteral("ra00;") : QStringLiteral("ra01;")));
    return failure(RigError::InvalidArgument);
}

QStringList SharedRadio::dumpState() {
    // Hamlib's bit masks: modes AM CW USB LSB RTTY FM CWR RTTYR PKTLSB PKTUSB; VFO A and B;
    // antennas 1 and 2; levels PREAMP ATT AF RF (set and get), RAWSTR STRENGTH (get).
    const QString modes = QStringLiteral("0xdbf");
    // The K3 receives from 0.5 to 54 MHz (K3 programmer's reference, FA). No transmit
    // range: Corvane never transmits.
    const QString range =
        QStringLiteral("500000.000000 54000000.000000 ") + modes + QStringLiteral(" -1 -1 0x3 0x3");
    const QString rangeEnd = QStringLiteral("0 0 0 0 0 0 0");
    return {
        QStringLiteral("1"),  // protocol version
        QStringLiteral("2"),  // rig model: NET rigctl
        QStringLiteral("1"),  // ITU region
        range,
        rangeEnd,
        rangeEnd,                      // no transmit ranges
        modes + QStringLiteral(" 1"),  // tuning step: 1 Hz in every mode
        QStringLiteral("0 0"),
        QStringLiteral("0 0"),       // no filter list: passband 0 keeps the radio's own
        QString::number(kMaxRitHz),  // max RIT
        QString::number(kMaxRitHz),  // max XIT
        QStringLiteral("0"),         // max IF shift
        QStringLiteral("0"),         // announces
        // The preamp as Hamlib's K3 driver lists it (on = 1); the attenuator's 10 dB step.
        QStringLiteral("1"),
        QString::number(kAttenuatorDb),
        QStringLiteral("0x0"),         // get functions
        QStringLiteral("0x0"),         // set functions
        QStringLiteral("0x4400001b"),  // get levels
        QStringLiteral("0x1b"),        // set levels
        QStringLiteral("0x0"),         // get parameters
        QStringLiteral("0x0"),         // set parameters
        QStringLiteral("vfo_ops=0x0"),
        // PTT through the radio's commands, so that a PTT request reaches the server and is
        // refused there.
        QStringLiteral("ptt_type=0x1"),
        QStringLiteral("targetable_vfo=0x0"),
        QStringLiteral("has_set_vfo=1"),
        QStringLiteral("has_get_vfo=1"),
        QStringLiteral("has_set_freq=1"),
        QStringLiteral("has_get_freq=1"),
        QStringLiteral("has_set_conf=0"),
        QStringLiteral("has_get_conf=0"),
        QStringLiteral("has_power2mW=0"),
        QStringLiteral("has_mW2power=0"),
        QStringLiteral("timeout=5000"),
        QStringLiteral("done"),
    };
}

}  // namespace corvane::share
