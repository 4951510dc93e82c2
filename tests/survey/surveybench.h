#pragma once
// The filter survey on the simulator: a recording sink, a port with answers of its own.

#include <functional>

#include "common/bench.h"
#include "survey/filtersurvey.h"
#include "survey/surveyfindings.h"

namespace corvane::test {

class RecordingSurveySink : public SurveySink {
public:
    QStringList finished;
    int points = 0;
    std::function<void(SurveyPhase)> onPhase;
    std::function<void(const SurveyProgress &)> onProgress;
    void point(int, int32_t, double) override { ++points; }
    void slotFinished(const SlotResult &s) override {
        finished << QStringLiteral("FL%1 %2").arg(s.slot).arg(slotStatusText(s.status));
    }
    void phase(SurveyPhase p) override {
        if (onPhase) onPhase(p);
    }
    void progress(const SurveyProgress &p) override {
        if (onProgress) onProgress(p);
    }
};

// The simulator behind a port that answers the n-th write of one query with a text of its
// own (a radio's garbled, stray or out-of-range answer; "<>" in it stands for the
// simulator's own), or that write and every later one.
class DoctoredTransport : public SimTransport {
public:
    using SimTransport::SimTransport;
    QByteArray query, answer;
    int occurrence = 0;
    bool onward = false;  // that write and every later one of the query
    PortError write(const QByteArray &bytes) override {
        m_doctor = bytes == query && (--occurrence == 0 || (onward && occurrence < 0));
        return SimTransport::write(bytes);
    }
    QByteArray readAll(PortError *error) override {
        const QByteArray got = SimTransport::readAll(error);
        if (!m_doctor) return got;
        m_doctor = false;
        return QByteArray(answer).replace("<>", got);
    }

private:
    bool m_doctor = false;
};

struct SurveyBench : SimBench {
    RecordingSurveySink sink;
    FilterSurvey survey{link, prompter, sink};
    DoctoredTransport *port = nullptr;
    SurveyBench() {
        auto transport = std::make_unique<DoctoredTransport>(simulator, clock);
        port = transport.get();
        link.setTransport(std::move(transport));
        link.open();
        // The user takes three seconds at the AFV reference prompt.
        prompter.setHook([this](const PromptMessage &m) {
            if (m.title == "Set AFV Reference") clock.advance(3000);
        });
    }
    // The whole radio: every mode's memories on both receivers, menus, flags.
    QString radio() const { return simulator->stateLines().join(u'\n'); }
};

}  // namespace corvane::test
