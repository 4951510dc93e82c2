// corvane-cli dbv-quick: the dBV quick test (a seven-step half-interval search for the
// highest RF gain at which the dBV readout is still linear). The list lines go to stdout as
// they are measured; -o writes the results file exactly as Save File does. Like the
// window's quick test it cannot be stopped.

#include <QCommandLineOption>
#include <QDateTime>
#include <cstdio>

#include "clicommand.h"
#include "clisession.h"
#include "measurements/dbvquick.h"
#include "measurements/dbvresultsfile.h"

namespace corvane::cli {

namespace {

const QString kCommentOption = QStringLiteral("comment");
const QString kOutputOption = QStringLiteral("o");

class QuickTestOutput : public DbvResultSink {
public:
    explicit QuickTestOutput(CliSession &session) : m_session(session) {}
    QStringList lines;

    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override {
        lines << line;
        m_session.printLatin1(line);
    }

private:
    CliSession &m_session;
};

int runDbvQuick(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("dbv-quick takes no arguments"));
    if (!session.openPort()) return kExitFailed;

    DbvWindowState state;
    QuickTestOutput output(session);
    DbvQuickTest test(session.link(), session.prompter(), state, output);
    test.run();
    if (session.link().lastError().isError()) {
        session.reportPortError(session.link().lastError());
        return kExitFailed;
    }
    const QCommandLineParser &options = session.parser();
    if (options.isSet(kOutputOption)) {
        const QString path = options.value(kOutputOption);
        if (!writeDbvResultsFile(path, output.lines, options.value(kCommentOption),
                                 QDateTime::currentDateTime())) {
            const QByteArray text =
                (QStringLiteral("corvane-cli: cannot write ") + path + u'\n').toLocal8Bit();
            std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
            return kExitFailed;
        }
    }
    return kExitDone;
}

}  // namespace

CliCommand command_dbv_quick() {
    return {
        QStringLiteral("dbv-quick"),
        QString(),
        QStringLiteral("Run the dBV quick test (half-interval search); print the results."),
        {QCommandLineOption(kCommentOption, QStringLiteral("User comments for the results file."),
                            QStringLiteral("TEXT")),
         QCommandLineOption(kOutputOption,
                            QStringLiteral("Write the results file, as Save File does."),
                            QStringLiteral("FILE"))},
        runDbvQuick};
}

}  // namespace corvane::cli
