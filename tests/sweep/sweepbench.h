#pragma once
// A filter sweep on the bench: the simulator behind a RadioLink on a virtual clock, an
// exchange trace (with the messages shown, in order) and a sink that records what the sweep
// produced.

#include <QStringList>
#include <memory>
#include <vector>

#include "core/prompter.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/simtransport.h"
#include "measurements/filtersweep.h"
#include "sim/k3simulator.h"

struct ChartRow {
    int row = 0;
    double value = 0;
    QString label;
};

class RecordingSink : public corvane::SweepSink {
public:
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void selectLastLine() override { ++selections; }
    void prepareChart(int rows) override {
        chartRows = rows;
        ++chartPreparations;
        chart.clear();
    }
    void setChartRow(int row, double value, const QString &label) override {
        chart.push_back({row, value, label});
    }
    void setSweeping(bool on) override { sweeping << on; }
    void progress(const corvane::SweepProgress &p) override { progressSeen.push_back(p); }

    // The data lines after the 26-line report.
    QStringList dataLines() const { return lines.mid(26); }

    QStringList lines;
    int selections = 0;
    int chartRows = -1;
    int chartPreparations = 0;
    std::vector<ChartRow> chart;
    QList<bool> sweeping;
    std::vector<corvane::SweepProgress> progressSeen;
};

struct SweepBench {
    static constexpr int kUserConfirmMs = 3000;

    SweepBench() {
        sim->setNoiseEnabled(false);
        auto transport = std::make_unique<corvane::SimTransport>(sim, clock);
        link.setTransport(std::move(transport));
        link.open();
        link.setTrace(&trace);
        prompter.setObserver([this](const corvane::PromptMessage &m) {
            trace.addMessage(clock.now(), m.title + u'|' + m.text);
        });
        // The user tunes to the middle of the passband before confirming the AFV reference;
        // by then the readout has settled on the test settings.
        prompter.setHook([this](const corvane::PromptMessage &m) {
            if (m.title == QLatin1String("Set AFV Reference")) clock.advance(kUserConfirmMs);
        });
    }

    corvane::SweepOutcome run(const corvane::SweepInputs &inputs) {
        corvane::FilterSweep sweep(link, prompter, state, sink);
        return sweep.beginSweep(inputs);
    }

    corvane::VirtualClock clock;
    std::shared_ptr<corvane::sim::K3Simulator> sim = std::make_shared<corvane::sim::K3Simulator>();
    corvane::RadioLink link{clock};
    corvane::LinkTrace trace;
    corvane::ScriptedPrompter prompter;
    corvane::FilterSweepState state;
    RecordingSink sink;
};
