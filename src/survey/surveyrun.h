#pragma once
// Pieces the filter survey's run shares between its files (filtersurvey.cpp: the run;
// surveyputback.cpp: the put-back and what is told when it fails).

#include <QStringList>
#include <functional>

#include "core/prompter.h"
#include "measurements/filtersweep.h"

namespace corvane {

// The filter procedures' own messages ("Filter 3 is now enabled for CW receive") are kept
// for the report instead of stopping an unattended run.
class NotingPrompter : public Prompter {
public:
    void message(const PromptMessage &msg) override { notes << msg.text; }
    QStringList notes;
};

// A sweep sink for the shared test set-up, which lists nothing; it passes on only that the
// set-up is waiting for the readout to settle after the AFV reference prompt.
class NoSweepSink : public SweepSink {
public:
    explicit NoSweepSink(std::function<void()> settling = {}) : m_settling(std::move(settling)) {}
    void progress(const SweepProgress &p) override {
        if (!p.activity.isEmpty() && m_settling) m_settling();
    }
    void clearLines() override {}
    void appendLine(const QString &) override {}
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}

private:
    std::function<void()> m_settling;
};

}  // namespace corvane
