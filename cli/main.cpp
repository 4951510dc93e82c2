// corvane-cli: the program's radio procedures from a shell.
//
//   corvane-cli [--port P] [--baud B] [--yes] [--trace] <command> [arguments]
//
// Exit codes: 0 done, 1 the radio did not identify itself or did not answer, the port was
// lost or a file could not be written, 2 bad usage, 128 + n after stop signal n (SIGINT,
// SIGTERM, SIGHUP: the running procedure stops as its Stop button would).

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "clicommand.h"
#include "clisession.h"
#include "stopflag.h"

namespace corvane::cli {
namespace {

const QList<int> kBaudRates{4800, 9600, 19200, 38400};

struct CommonOptionSet {
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("The radio's port: a device path, \"COM n\", "
                                           "tcp://host:port, or sim (the built-in simulator). "
                                           "Default COM 1."),
                            QStringLiteral("port")};
    QCommandLineOption baud{QStringLiteral("baud"),
                            QStringLiteral("Baud rate: 4800, 9600, 19200 or 38400 (default)."),
                            QStringLiteral("rate")};
    QCommandLineOption yes{QStringLiteral("yes"),
                           QStringLiteral("Close every message at once instead of waiting for "
                                          "Enter.")};
    QCommandLineOption trace{QStringLiteral("trace"),
                             QStringLiteral("Print every write, wait and read on stderr.")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the version.")};

    void addTo(QCommandLineParser &parser, bool radio = true) const {
        QList<QCommandLineOption> radioOptions{port, baud, yes, trace};
        if (!radio)
            for (QCommandLineOption &option : radioOptions)
                option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions(radioOptions + QList<QCommandLineOption>{help, version});
    }
};

void print(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

QString commandUsage(const CliCommand &command) {
    QString usage = QStringLiteral("corvane-cli [options] ") + command.name;
    if (!command.options.isEmpty())
        usage += QStringLiteral(" [") + command.name + QStringLiteral(" options]");
    if (!command.arguments.isEmpty()) usage += u' ' + command.arguments;
    return usage;
}

QString generalHelp(const QCommandLineParser &parser, const std::vector<CliCommand> &commands) {
    QString text = QStringLiteral(
        "Usage: corvane-cli [options] <command> [arguments]\n"
        "Runs the Corvane radio procedures on an Elecraft K3.\n\n");
    // Qt's option table, without its own usage line.
    text += parser.helpText().section(u'\n', 2);
    text += QStringLiteral("\nCommands:\n");
    for (const CliCommand &command : commands)
        text +=
            QStringLiteral("  ") + command.name.leftJustified(12) + u' ' + command.summary + u'\n';
    text += QStringLiteral(
        "\nEvery command but send first connects as the Connect button does (\"id;\", \"ai;\", "
        "and \"ai0;\" when the radio is in auto-info mode 1) and at the end puts auto-info "
        "mode 1 back as File > Exit does. send is a raw exchange with the radio as it is.\n"
        "\nExit codes: 0 done, 1 no radio, no answer, a lost port or an unwritable file,\n"
        "2 bad usage, 128 + n after signal n (Ctrl-C, SIGTERM, SIGHUP stop a test as its Stop\n"
        "button does: the radio is put back and -o is written).\n");
    return text;
}

QString commandHelp(const QCommandLineParser &parser, const CliCommand &command) {
    return QStringLiteral("Usage: ") + commandUsage(command) + u'\n' + command.summary +
           QStringLiteral("\n\n") + parser.helpText().section(u'\n', 2);
}

int usage(const QString &problem) {
    print(stderr, QStringLiteral("corvane-cli: ") + problem +
                      QStringLiteral("\nTry corvane-cli --help.\n"));
    return kExitUsage;
}

const CliCommand *findCommand(const std::vector<CliCommand> &commands, const QString &name) {
    for (const CliCommand &command : commands)
        if (command.name == name) return &command;
    return nullptr;
}

int runCli(const QStringList &arguments) {
    const std::vector<CliCommand> commands = allCommands();
    const CommonOptionSet common;

    // First pass: the common options and the subcommand's name. The subcommand's own
    // options are not known yet, so their complaints wait for the second pass.
    QCommandLineParser first;
    common.addTo(first);
    first.parse(arguments);
    const CliCommand *command = nullptr;
    for (const QString &word : first.positionalArguments()) {
        if ((command = findCommand(commands, word))) break;
    }
    if (!command) {
        if (first.isSet(common.help)) {
            print(stdout, generalHelp(first, commands));
            return kExitDone;
        }
        if (first.isSet(common.version)) {
            print(stdout, QCoreApplication::applicationName() + u' ' +
                              QCoreApplication::applicationVersion() + u'\n');
            return kExitDone;
        }
        if (first.positionalArguments().isEmpty()) return usage(QStringLiteral("no command given"));
        return usage(QStringLiteral("unknown command \"") + first.positionalArguments().first() +
                     u'"');
    }

    QCommandLineParser parser;
    common.addTo(parser, command->radio);
    parser.addOptions(command->options);
    if (!parser.parse(arguments)) return usage(parser.errorText());
    if (parser.isSet(common.help)) {
        print(stdout, commandHelp(parser, *command));
        return kExitDone;
    }

    CommonOptions options;
    if (parser.isSet(common.port)) options.port = parser.value(common.port);
    if (parser.isSet(common.baud)) {
        bool ok = false;
        // Decimal whatever the text looks like: "038400" is 38400, never octal.
        options.baud = parser.value(common.baud).trimmed().toInt(&ok, 10);
        if (!ok || !kBaudRates.contains(options.baud))
            return usage(QStringLiteral("--baud must be 4800, 9600, 19200 or 38400"));
    }
    options.yes = parser.isSet(common.yes);
    options.trace = parser.isSet(common.trace);

    QStringList rest = parser.positionalArguments();
    rest.removeOne(command->name);
    CliSession session(options, parser, *command);
    const int exitCode = command->run(session, rest);
    session.disconnectRadio();
    return exitCode;
}

// Whether the subcommand named on the command line draws (chart, print): the first word
// that names a subcommand, as the parser finds it.
bool drawingCommand(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char *word = argv[i];
        if (std::strcmp(word, "--port") == 0 || std::strcmp(word, "--baud") == 0) {
            ++i;
            continue;
        }
        if (word[0] == '-') continue;
        for (const CliCommand &command : allCommands())
            if (command.name == QLatin1String(word)) return command.drawing;
    }
    return false;
}

QtMessageHandler qtMessageHandler = nullptr;

// Qt's notes about the offscreen desktop it draws on (no runtime folder, no window manager)
// are not the user's business; its errors still go through.
void quietQtMessages(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if ((type == QtCriticalMsg || type == QtFatalMsg) && qtMessageHandler)
        qtMessageHandler(type, context, text);
}

}  // namespace
}  // namespace corvane::cli

int main(int argc, char *argv[]) {
    // Charts and printouts are drawn without a screen unless a platform is asked for.
    std::unique_ptr<QCoreApplication> application;
    if (corvane::cli::drawingCommand(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        corvane::cli::qtMessageHandler = qInstallMessageHandler(corvane::cli::quietQtMessages);
        application = std::make_unique<QApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("corvane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(CORVANE_VERSION_MAJOR)
                                                .arg(CORVANE_VERSION_MINOR)
                                                .arg(CORVANE_VERSION_PATCH));
    corvane::cli::installStopHandler();
    // After a stop signal every subcommand ends with 128 + its number, its work put back.
    const int code = corvane::cli::runCli(QCoreApplication::arguments());
    return code == corvane::cli::kExitUsage ? code : corvane::cli::exitCodeAfterStop(code);
}
