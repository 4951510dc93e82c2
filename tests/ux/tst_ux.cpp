// What a user trips over first: corvane-cli connecting as the Connect button does before a
// procedure, on a radio that sends its own reports (auto-info mode 1).

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "common/k3simprocess.h"

using corvane::test::K3SimProcess;

namespace {

// The commands written, in order, from a --trace listing.
QStringList writesIn(const QString &trace) {
    QStringList writes;
    static const QRegularExpression write(QStringLiteral(R"(^\s*\d+ W (.*)$)"));
    for (const QString &line : trace.split(u'\n')) {
        const QRegularExpressionMatch match = write.match(line);
        if (match.hasMatch()) writes << match.captured(1);
    }
    return writes;
}

}  // namespace

class UxTest : public QObject {
    Q_OBJECT
private slots:
    void cliSweepConnectsFirst();
};

void UxTest::cliSweepConnectsFirst() {
    K3SimProcess radio;
    QVERIFY(radio.start({"--ai", "1", "--no-noise"}));
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli"),
              {"--port", radio.pty(), "--yes", "--trace", "sweep", "--start", "14060", "--stop",
               "14060.05", "--step", "50", "--rf-gain", "150"});
    cli.closeWriteChannel();
    QVERIFY(cli.waitForFinished(120000));
    QCOMPARE(cli.exitCode(), 0);
    const QString err = QString::fromLatin1(cli.readAllStandardError());
    const QStringList writes = writesIn(err);
    // Connect: identity, auto-info question, reports off; the sweep's own "id;" follows.
    QCOMPARE(writes.mid(0, 4), QStringList({"id;", "ai;", "ai0;", "id;"}));
    QCOMPARE(writes.last(), QStringLiteral("ai1;"));
    QCOMPARE(writes.count(QStringLiteral("ai1;")), 1);
    QVERIFY(err.endsWith(QStringLiteral("AutoInf Status: AutoInf is Auto 1\n")));
    // Both steps read clean numbers: no report of the radio's own in front of an answer.
    const QStringList lines = QString::fromLatin1(cli.readAllStandardOutput()).split(u'\n');
    const QStringList steps = lines.filter(QRegularExpression(QStringLiteral("^14060")));
    QCOMPARE(steps.size(), 2);
    for (const QString &line : steps)
        QVERIFY2(QRegularExpression(QStringLiteral(R"(^14060\.0[05]0\t\t-?\d+\.\d$)"))
                     .match(line)
                     .hasMatch(),
                 qPrintable(line));
}

QTEST_GUILESS_MAIN(UxTest)
#include "tst_ux.moc"
