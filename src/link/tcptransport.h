#pragma once
// The radio's port over TCP: "tcp://host:port" names a serial server in front of a real
// radio or corvane-k3sim --tcp. The baud rate belongs to the far end and is not used here.

#include <QString>
#include <QTcpSocket>

#include "link/transport.h"

namespace corvane {

// Longest wait for the connection to be made when the port is opened.
constexpr int kTcpConnectTimeoutMs = 3000;

class TcpTransport : public Transport {
public:
    // `spec` is "tcp://host:port".
    explicit TcpTransport(const QString &spec);
    ~TcpTransport() override;

    PortError open(int baud) override;
    void close() override;
    bool isOpen() const override;
    PortError write(const QByteArray &bytes) override;
    QByteArray readAll(PortError *error = nullptr) override;
    QString name() const override { return m_spec; }

    // Splits "tcp://host:port"; false when it is not of that form.
    static bool parseSpec(const QString &spec, QString *host, quint16 *port);

private:
    PortError socketError() const;

    QString m_spec;
    QTcpSocket m_socket;
};

}  // namespace corvane
