#pragma once
// Test benches for the dBV tests: a radio link on a virtual clock with every exchange,
// message and yield traced, talking to a small scripted K3 whose dBV readings come from a
// function of RF gain and attenuator (so a test chooses the differences exactly), or to the
// built-in simulator; and a sink that records what the tests report.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "core/prompter.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/transport.h"
#include "measurements/dbvsession.h"
#include "sim/k3simulator.h"

namespace corvane::test {

// Just enough of a K3 for the dBV tests: the settings the snapshot reads, menu entries 023,
// 026 and 072, RF gain, attenuator, preamp, AF gain, AGC and the dBV readout. Answers join
// the receive buffer at once.
class DbvScriptedRadio : public Transport {
public:
    // The five characters the dBV readout shows for a gain and attenuator setting.
    std::function<QString(int gain, bool attenuator)> reading = [](int, bool att) {
        return att ? QStringLiteral("-33.6") : QStringLiteral("-23.5");
    };
    bool silent = false;
    bool muteReadings = false;  // "rg;" and "db;" go unanswered
    // The radio's settings (public: tests set them up and compare them afterwards).
    int rfGain = 250;
    int afGain = 30;
    bool attenuator = false;
    bool preamp = true;
    bool agcOn = true;
    bool techMode = false;
    bool kat3Active = false;
    int mode = 3;
    int vfoBReadout = 0;  // 0 normal, 10 AFV, 11 dBV
    int menu = -1;
    // Every command carried out, without its ";".
    QStringList commands;

    PortError open(int) override {
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    PortError write(const QByteArray &bytes) override;
    QByteArray readAll(PortError * = nullptr) override {
        QByteArray out;
        out.swap(m_buffer);
        return out;
    }
    QString name() const override { return QStringLiteral("scripted K3"); }

private:
    void execute(const QString &command);
    QByteArray m_buffer;
    bool m_open = false;
    bool m_k22 = false;
    bool m_k31 = false;
};

// Records what a test reports, in order.
class RecordingSink : public DbvResultSink {
public:
    QStringList lines;
    int chartRows = -1;
    QList<double> chartValues;  // index = row - 1; unset rows stay NaN
    QStringList chartLabels;
    bool chartFinished = false;
    int selectLastCalls = 0;
    std::vector<DbvRunKind> runStates;
    std::vector<DbvProgress> progressReports;

    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void selectLastLine() override { ++selectLastCalls; }
    void runStateChanged(DbvRunKind kind) override { runStates.push_back(kind); }
    void prepareChart(int rows) override;
    void setChartRow(int row, double value, const QString &label) override;
    void finishChart() override { chartFinished = true; }
    void progress(const DbvProgress &p) override { progressReports.push_back(p); }
};

// Clock, link, trace, prompter and window state. Messages are traced as "M title|text" and
// yields as "Y", in order with the exchanges.
struct DbvBench {
    VirtualClock clock;
    RadioLink link{clock};
    LinkTrace trace;
    ScriptedPrompter prompter;
    DbvWindowState state;
    DbvScriptedRadio *radio = nullptr;

    DbvBench();
    // Connects a scripted radio (owned by the link).
    DbvScriptedRadio &useScriptedRadio();
    // Connects the built-in simulator, as it starts in the program.
    sim::K3Simulator &useSimulator();
    std::shared_ptr<sim::K3Simulator> simulator;
};

}  // namespace corvane::test
