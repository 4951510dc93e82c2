// Writes the harnesses' seed corpora: each procedure run once against the simulator, the
// simulator's answers to every write recorded as the '\n'-separated script a harness plays
// back, and each single answer as a decoder seed.
//   make_seeds <corpus folder>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <functional>

#include "filters/crystalfilters.h"
#include "link/connection.h"
#include "link/simtransport.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvquick.h"
#include "measurements/filtersweep.h"
#include "measurements/mdstest.h"
#include "menus/menureports.h"
#include "radio/settingscapture.h"
#include "survey/filtersurvey.h"
#include "survey/surveyrun.h"

using namespace corvane;
using namespace corvane::menus;

namespace {

class RecordingTransport : public Transport {
public:
    RecordingTransport(std::unique_ptr<Transport> inner, QList<QByteArray> &pieces)
        : m_inner(std::move(inner)), m_pieces(pieces) {}
    PortError open(int baud) override { return m_inner->open(baud); }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }
    PortError write(const QByteArray &bytes) override {
        m_pieces.append(QByteArray());
        return m_inner->write(bytes);
    }
    QByteArray readAll(PortError *error) override {
        const QByteArray bytes = m_inner->readAll(error);
        if (!m_pieces.isEmpty()) m_pieces.last() += bytes;
        return bytes;
    }
    QString name() const override { return m_inner->name(); }

private:
    std::unique_ptr<Transport> m_inner;
    QList<QByteArray> &m_pieces;
};

class ClosingPrompter : public Prompter {
public:
    void message(const PromptMessage &) override {}
};
class NoDbvSink : public DbvResultSink {
public:
    void clearLines() override {}
    void appendLine(const QString &) override {}
};
class NoMenuSink : public MenuReportSink {
public:
    void clearLines() override {}
    void appendLine(const QString &, bool) override {}
};

// Enable on one receiver, then both readouts; the harness reads the receiver, mode and slot
// from a first byte (0: main receiver, 1: sub-receiver, enable mode 1 slot 1).
void filterRun(RadioLink &link, Prompter &prompter, Receiver receiver) {
    FilterWindowFields fields;
    TableSink sink;
    CrystalFilters filters(link, prompter, receiver, fields, sink);
    filters.enableReceive(1, 1);
    filters.bandwidthReadout();
    filters.receiveReadout();
}

class NoMdsSink : public MdsSink {
public:
    explicit NoMdsSink(bool preamp) : m_preamp(preamp) {}
    void clearLines() override {}
    void appendLine(const QString &) override {}
    bool preampChecked() const override { return m_preamp; }

private:
    bool m_preamp;
};

QList<QByteArray> record(const std::function<void(RadioLink &, Prompter &)> &procedure) {
    QList<QByteArray> pieces;
    VirtualClock clock;
    RadioLink link(clock);
    auto simulator = std::make_shared<sim::K3Simulator>();
    link.setTransport(std::make_unique<RecordingTransport>(
        std::make_unique<SimTransport>(simulator, clock), pieces));
    link.open();
    ClosingPrompter prompter;
    procedure(link, prompter);
    return pieces;
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <corpus folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QList<std::pair<QString, std::function<void(RadioLink &, Prompter &)>>> procedures{
        {QStringLiteral("connect"),
         [](RadioLink &link, Prompter &prompter) {
             const ConnectOutcome outcome = identifyRadio(link, prompter);
             PortError error;
             testCommunications(link, prompter, &error);
             sendConsoleCommand(link, QStringLiteral("fa"), &error);
             restoreAutoInfo(link, prompter, outcome.autoInfo);
         }},
        {QStringLiteral("capture"),
         [](RadioLink &link, Prompter &prompter) {
             SettingsCapture capture;
             k3settings::TestWindowFlags flags;
             k3settings::prepareKat3AndTechMode(link, prompter, flags);
             capture.readInitialSettings(link);
             capture.readRadioIdentity(link);
             capture.restoreInitialSettings(link, flags);
         }},
        {QStringLiteral("dbv"),
         [](RadioLink &link, Prompter &prompter) {
             DbvWindowState state;
             NoDbvSink sink;
             DbvFullTest(link, prompter, state, sink)
                 .run({QStringLiteral("100"), QStringLiteral("103"), QStringLiteral("1")});
             DbvQuickTest(link, prompter, state, sink).run();
             state.capture.restoreInitialSettings(link, state.flags);
         }},
        {QStringLiteral("sweep"),
         [](RadioLink &link, Prompter &prompter) {
             FilterSweepState state;
             NoSweepSink sink;
             FilterSweep sweep(link, prompter, state, sink);
             sweep.beginSweep({QStringLiteral("14059.9"), QStringLiteral("14060.1"),
                               QStringLiteral("100"), QStringLiteral("150")});
             sweep.resetK3();
         }},
        {QStringLiteral("menus"),
         [](RadioLink &link, Prompter &) {
             NoMenuSink sink;
             k3settings::enableTechMode(link);
             mainMenuReport(link, sink);
             configMenuReport(link, sink);
         }},
    };
    // The adaptive harness reads its mode from a first byte (0 sweep, 1 linear range test,
    // 2 survey).
    const QStringList adaptiveModes{QStringLiteral("sweep"), QStringLiteral("dbv"),
                                    QStringLiteral("survey")};
    for (int mode = 0; mode < int(adaptiveModes.size()); ++mode) {
        const QList<QByteArray> pieces = record([mode](RadioLink &link, Prompter &prompter) {
            if (mode == 1) {
                DbvWindowState state;
                NoDbvSink sink;
                DbvFullTest(link, prompter, state, sink)
                    .run({QStringLiteral("150"), QStringLiteral("250"), QStringLiteral("4"), true});
                state.capture.restoreInitialSettings(link, state.flags);
            } else if (mode == 2) {
                SurveySink sink;
                FilterSurvey survey(link, prompter, sink);
                SurveyOptions options;
                options.slotNumbers = {3};
                options.stepHz = 25;
                options.adaptive = true;
                survey.run(options);
                survey.resetK3();
            } else {
                FilterSweepState state;
                NoSweepSink sink;
                FilterSweep sweep(link, prompter, state, sink);
                sweep.beginSweep({QStringLiteral("14059.8"), QStringLiteral("14060.2"),
                                  QStringLiteral("10"), QStringLiteral("150"),
                                  SweepMode::Adaptive});
                sweep.resetK3();
            }
        });
        root.mkpath(QStringLiteral("adaptive"));
        if (!writeFile(root.filePath(QStringLiteral("adaptive/") + adaptiveModes.at(mode)),
                       QByteArray(1, char(mode)) + pieces.join('\n')))
            return 1;
    }
    for (const Receiver receiver : {Receiver::Main, Receiver::Sub}) {
        const QList<QByteArray> pieces = record([receiver](RadioLink &link, Prompter &prompter) {
            filterRun(link, prompter, receiver);
        });
        root.mkpath(QStringLiteral("filters"));
        const char pick = receiver == Receiver::Sub ? 1 : 0;
        if (!writeFile(root.filePath(receiver == Receiver::Sub ? QStringLiteral("filters/sub")
                                                               : QStringLiteral("filters/main")),
                       QByteArray(1, pick) + pieces.join('\n')))
            return 1;
    }
    for (const bool preamp : {true, false}) {
        const QList<QByteArray> pieces = record([preamp](RadioLink &link, Prompter &prompter) {
            MdsWindowState state;
            NoMdsSink sink(preamp);
            MdsTest test(link, prompter, state, sink);
            test.beginMdsTest();
            test.resetK3();
        });
        root.mkpath(QStringLiteral("mds"));
        if (!writeFile(root.filePath(preamp ? QStringLiteral("mds/preamp")
                                            : QStringLiteral("mds/no_preamp")),
                       QByteArray(1, preamp ? 1 : 0) + pieces.join('\n')))
            return 1;
    }
    // The survey harness reads the receiver from a first byte (0 main, 1 sub).
    for (const Receiver receiver : {Receiver::Main, Receiver::Sub}) {
        const QList<QByteArray> pieces = record([receiver](RadioLink &link, Prompter &prompter) {
            SurveySink sink;
            FilterSurvey survey(link, prompter, sink);
            SurveyOptions options;
            options.receiver = receiver;
            options.slotNumbers = {3};
            options.stepHz = 100;
            survey.run(options);
            survey.resetK3();
        });
        root.mkpath(QStringLiteral("survey"));
        const char pick = receiver == Receiver::Sub ? 1 : 0;
        if (!writeFile(root.filePath(receiver == Receiver::Sub ? QStringLiteral("survey/sub")
                                                               : QStringLiteral("survey/main")),
                       QByteArray(1, pick) + pieces.join('\n')))
            return 1;
    }
    int answers = 0;
    for (const auto &[name, procedure] : procedures) {
        const QList<QByteArray> pieces = record(procedure);
        root.mkpath(name);
        if (!writeFile(root.filePath(name + QStringLiteral("/simulator")), pieces.join('\n')))
            return 1;
        // The decoders' seeds: every distinct non-empty answer of the capture.
        if (name == QStringLiteral("capture")) {
            root.mkpath(QStringLiteral("decoders"));
            for (const QByteArray &piece : pieces) {
                if (piece.isEmpty()) continue;
                writeFile(root.filePath(QStringLiteral("decoders/answer%1").arg(++answers)), piece);
            }
        }
    }
    return 0;
}
