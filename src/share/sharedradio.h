#pragma once
// The K3 as other programs see it through the rigctl protocol. Each request becomes the K3
// commands that answer it, in the program's exchange convention (write, wait 100 ms, read
// everything): "fa;"/"fb;" for the frequencies, "md;", "dt;" and "bw;" for mode and passband,
// "ft;" for split, "ro;" for RIT, "tq;" for PTT, "ag;", "rg;", "pa;", "ra;" and "smh;" for
// the levels, "ps;" for the power status. Only an answer of the form the K3 gives is passed
// on, and only a value checked here becomes a command.
//
// One procedure at a time: while a Corvane procedure holds the link (RadioLink::holder()),
// or any window's exchange is waiting for its answer, nothing is sent. A get is then
// answered with the value read last before (RIG_BUSBUSY when there is none) and every set is
// refused (RIG_ERJCTED). Corvane never keys the transmitter: a PTT set is refused
// (RIG_ENAVAIL) whatever its value.

#include <QString>
#include <map>

#include "link/radiolink.h"
#include "share/rigctlrequest.h"

namespace corvane::share {

// The wait after every command, as for every other query and setting of the program.
constexpr int kShareWaitMs = 100;

// The VFO a client addresses with get_freq, set_mode, ... (set_vfo changes it).
enum class Vfo { A, B };

class SharedRadio {
public:
    explicit SharedRadio(RadioLink &link);
    SharedRadio(const SharedRadio &) = delete;
    SharedRadio &operator=(const SharedRadio &) = delete;

    // The reply to one request line (without its newline) of a client whose current VFO is
    // `vfo`: nothing for a blank line and for quit ("q", which sets *quit).
    QByteArray answer(const QByteArray &line, Vfo &vfo, bool *quit = nullptr);
    // Carries out one request.
    RigReply handle(const RigctlRequest &request, Vfo &vfo);
    // Nothing may be sent now: a procedure holds the link or an exchange is under way.
    bool linkBusy() const;
    // The lines of \dump_state: what the server offers, in the NET rigctl form.
    static QStringList dumpState();

private:
    struct Reading {
        RigError error = RigError::Ok;
        QString value;  // the answer between the command's letters and ";"
    };
    Reading read(const QString &command);
    RigError write(const QString &command);
    RigReply getFrequency(Vfo vfo);
    RigReply setFrequency(Vfo vfo, const QString &hz);
    RigReply getMode(Vfo vfo);
    RigReply setMode(Vfo vfo, const QString &mode, const QString &passband);
    RigReply getSplit();
    RigReply setSplit(const QString &split, const QString &txVfo);
    RigReply getRit();
    RigReply setRit(const QString &hz);
    RigReply getLevel(const QString &level);
    RigReply setLevel(const QString &level, const QString &value);
    RigReply getFlag(const QString &command);

    RadioLink &m_link;
    // The value of each query's answer as last read, keyed by the query ("fa;").
    std::map<QString, QString> m_lastRead;
};

}  // namespace corvane::share
