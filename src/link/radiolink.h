#pragma once
// The one command channel to the K3. Every exchange follows the same convention: write the
// command text, wait a fixed time, then take everything that has arrived. There is no
// framing, no reply parser, no retry and no flushing of the receive buffer: an answer that
// arrives late is at the front of the next read.
//
// Two rules every procedure relies on (see link/procedurefaults.h for how to use them):
//  - A lost port: the first port error of any exchange (write or read) closes the port at
//    once, is kept in lastError() and is told to the port-lost observers (the connection
//    dialog then shows "Port Open? False"). Every later exchange sends nothing and returns
//    empty text, without waiting. portLost() says so.
//  - One procedure at a time: a running procedure holds the link (LinkHold); holder() names
//    it so that every other window's radio action can be refused with that name.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "link/clock.h"
#include "link/linktrace.h"
#include "link/transport.h"

namespace corvane {

class RadioLink {
public:
    explicit RadioLink(Clock &clock);
    ~RadioLink();
    RadioLink(const RadioLink &) = delete;
    RadioLink &operator=(const RadioLink &) = delete;

    Clock &clock() const { return m_clock; }
    void setTrace(LinkTrace *trace) { m_trace = trace; }
    LinkTrace *trace() const { return m_trace; }

    // The port: chosen and opened by the connection dialog only.
    void setTransport(std::unique_ptr<Transport> transport);
    Transport *transport() const { return m_transport.get(); }
    int portNumber() const { return m_portNumber; }
    void setPortNumber(int number) { m_portNumber = number; }
    // "38400,N,8,1"
    QString settings() const { return m_settings; }
    void setSettings(const QString &settings) { m_settings = settings; }
    int baudRate() const;
    PortError open();
    void close();
    bool isConnected() const;

    // Write, then wait. Nothing is read.
    void sendCommand(const QString &text, int waitMs);
    // The clock time of the last command written with sendCommand, the kind that sets
    // something on the radio (queries go through queryRadio); -1 before the first. The
    // readout-settle wait below counts from it.
    qint64 lastChangeMs() const { return m_lastChangeMs; }
    // Write, wait, take all text received since the last read, wait the settle time.
    QString queryRadio(const QString &text, int waitMs, int settleMs = 0);
    // A wait between exchanges, recorded in the trace like any other.
    void wait(int ms);
    // An exchange is waiting (the real clock runs the event loop meanwhile, so a network
    // client's request can arrive then): nothing else may be sent now.
    bool isWaiting() const { return m_waiting > 0; }

    // The same exchanges with a wait that ends early once `stop` returns true, so that a
    // Stop or Ctrl-C is acted on within a few tenths of a second, not after a long wait.
    // `stop` is asked before the wait and every kStopCheckMs of it; the trace records the
    // time really waited. False when it ended early.
    static constexpr int kStopCheckMs = 100;
    bool waitUnless(int ms, const std::function<bool()> &stop);
    bool sendCommandUnless(const QString &text, int waitMs, const std::function<bool()> &stop);
    // A query whose wait ended early still reads what has come: the K3 answers within
    // about 100 ms (its command reference), so the wait goes on to kStoppedAnswerMs first
    // and the answer does not sit in front of the next exchange's. `*stopped` says so.
    static constexpr int kStoppedAnswerMs = 200;
    QString queryRadioUnless(const QString &text, int waitMs, const std::function<bool()> &stop,
                             bool *stopped);

    // The first port error since the last clearError(); exchanges on a closed or failed
    // port do nothing and return empty text.
    PortError lastError() const { return m_lastError; }
    void clearError() { m_lastError = PortError(); }
    // A port error ended an exchange since the last clearError(); the port is closed.
    bool portLost() const { return m_lastError.isError(); }
    // Called once per loss, after the port has been closed.
    void addPortLostObserver(std::function<void(const PortError &)> observer) {
        m_lostObservers.push_back(std::move(observer));
    }

    // The procedure that holds the link, as it names itself to the user ("Full Test in the
    // Determine dBV Linear Range window"); empty when none runs. Set through LinkHold.
    QString holder() const { return m_holder; }
    void setHolder(const QString &holder) { m_holder = holder; }

private:
    void noteError(const PortError &error);
    bool writeAndWait(const QString &text, int waitMs);

    Clock &m_clock;
    LinkTrace *m_trace = nullptr;
    std::unique_ptr<Transport> m_transport;
    int m_portNumber = 1;
    QString m_settings = QStringLiteral("38400,N,8,1");
    PortError m_lastError;
    bool m_open = false;  // opened and not closed by us since
    std::vector<std::function<void(const PortError &)>> m_lostObservers;
    QString m_holder;
    qint64 m_lastChangeMs = -1;
    int m_waiting = 0;
};

// The AFV and dBV readouts average the audio over up to a second (CONFIG:AFV TIM, entry 014,
// 1000 ms by default): a reference taken soon after a change of the receiver (RF gain, AGC,
// mode) blends the old level with the new. A person who reads the "Set AFV Reference" message
// gives it that time; --yes, an Enter typed ahead or a quick click does not.
constexpr int kReadoutSettleMs = 3000;
inline const QString kReadoutSettlingText = QStringLiteral("Letting the readout settle...");
// Called as the user confirms: waits what is left of kReadoutSettleMs since lastChangeMs(),
// telling `say` first; nothing when that time has passed (or the port is lost).
void letReadoutSettle(RadioLink &link, const std::function<void(const QString &)> &say);

// A read may hold more than the answer asked for: an unsolicited report (IF, when auto-info
// is on, or a stale answer) before it, or a report after it. The answer is the last piece of
// the reply that begins with `letters` at its start or after a ";": `length` characters from
// there, or up to its ";" when length is 0. A reply without one is returned whole, to be shown
// as it came.
QString answerIn(const QString &reply, QLatin1String letters, int length = 0);

}  // namespace corvane
