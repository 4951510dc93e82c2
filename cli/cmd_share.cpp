// corvane-cli share: holds the radio and serves it to other programs in the Hamlib NET rigctl
// protocol (rigctld's), so that WSJT-X, fldigi, QLog or a logger set to "Hamlib NET rigctl"
// follow the radio through Corvane: frequency, mode and passband, VFO, split, RIT, PTT state,
// S-meter, AF and RF gain, preamp and attenuator. Runs until Ctrl-C or SIGTERM. It connects
// as every subcommand does and puts auto-info mode 1 back at the end. Corvane never keys the
// transmitter: a PTT set is refused.

#include <QCommandLineOption>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "clicommand.h"
#include "clisession.h"
#include "share/rigctlserver.h"
#include "stopflag.h"

namespace corvane::cli {

namespace {

const QString kListenOption = QStringLiteral("listen");
// How often the event loop looks for a stop signal.
constexpr int kStopCheckMs = 100;

void printLine(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int runShare(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty()) return session.usageError(QStringLiteral("share takes options only"));
    QHostAddress address(QHostAddress::LocalHost);
    quint16 port = share::kDefaultSharePort;
    if (session.parser().isSet(kListenOption) &&
        !share::RigctlServer::parseAddress(session.parser().value(kListenOption), &address, &port))
        return session.usageError(
            QStringLiteral("--listen takes HOST:PORT with an IP address or localhost, e.g. "
                           "127.0.0.1:4532"));
    if (!session.connectRadio()) return kExitFailed;

    share::RigctlServer server(session.link());
    if (!server.listen(address, port)) {
        printLine(stderr, QStringLiteral("corvane-cli: cannot listen on %1:%2: %3")
                              .arg(address.toString())
                              .arg(port)
                              .arg(server.errorString()));
        return kExitFailed;
    }
    printLine(stdout, QStringLiteral("Sharing the K3 as Hamlib NET rigctl on ") +
                          server.addressText() + QStringLiteral("; Ctrl-C ends."));

    QEventLoop loop;
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&loop] {
        if (stopRequested()) loop.quit();
    });
    stopCheck.start(kStopCheckMs);
    loop.exec();
    server.close();
    return kExitDone;
}

}  // namespace

CliCommand command_share() {
    return {QStringLiteral("share"),
            QString(),
            QStringLiteral("Serve the radio to other programs as Hamlib NET rigctl (rigctld's "
                           "protocol) until Ctrl-C or SIGTERM; PTT is refused."),
            {QCommandLineOption(kListenOption,
                                QStringLiteral("Listen on HOST:PORT (default 127.0.0.1:4532, "
                                               "loopback only; 0.0.0.0:4532 for every "
                                               "interface, without any password)."),
                                QStringLiteral("host:port"))},
            runShare};
}

}  // namespace corvane::cli
