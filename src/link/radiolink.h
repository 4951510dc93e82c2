#pragma once
// The one command channel to the K3. Every exchange follows the same convention: write the
// command text, wait a fixed time, then take everything that has arrived. There is no
// framing, no reply parser, no retry and no flushing of the receive buffer: an answer that
// arrives late is at the front of the next read.

#include <QString>
#include <memory>

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
    // Write, wait, take all text received since the last read, wait the settle time.
    QString queryRadio(const QString &text, int waitMs, int settleMs = 0);
    // A wait between exchanges, recorded in the trace like any other.
    void wait(int ms);

    // The first port error since the last clearError(); exchanges on a closed or failed
    // port do nothing and return empty text.
    PortError lastError() const { return m_lastError; }
    void clearError() { m_lastError = PortError(); }

private:
    void noteError(const PortError &error);
    bool writeAndWait(const QString &text, int waitMs);

    Clock &m_clock;
    LinkTrace *m_trace = nullptr;
    std::unique_ptr<Transport> m_transport;
    int m_portNumber = 1;
    QString m_settings = QStringLiteral("38400,N,8,1");
    PortError m_lastError;
};

}  // namespace corvane
