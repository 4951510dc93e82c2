#pragma once
// Pieces the filter survey's run shares between its files (filtersurvey.cpp: the run;
// surveyputback.cpp: the put-back and what is told when it fails).

#include <QStringList>

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

// A sweep sink for the shared test set-up, which lists nothing.
class NoSweepSink : public SweepSink {
public:
    void clearLines() override {}
    void appendLine(const QString &) override {}
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
};

}  // namespace corvane
