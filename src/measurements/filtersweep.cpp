#include "measurements/filtersweep.h"

#include <algorithm>

#include "core/numtext.h"
#include "core/progresstext.h"
#include "measurements/adaptivereport.h"

namespace corvane {

namespace {

const QString kNotPresentTitle = QStringLiteral("K3 Not Present");
const QString kNotPresentText = QStringLiteral("Connect to K3 before beginning this sweep.");
const QString kAfvReferenceTitle = QStringLiteral("Set AFV Reference");
const QString kAfvReferenceText = QStringLiteral(
    "Setting AFV reference value. Be sure K3 frequency is set at mid point of filter passband. "
    "When ready click OK.");
const QString kStatusTitle = QStringLiteral("Test Status");
const QString kStoppedText = QStringLiteral("Sweep was terminated prematurely.");
const QString kCompletedText =
    QStringLiteral("Filter sweep is complete. Check results in Listbox.");

}  // namespace

QString sweepProgressText(const SweepProgress &p) {
    if (!p.activity.isEmpty()) return p.activity;
    if (p.most > 0) {
        if (p.step == 0) return adaptivePlannedText(p.most, p.msLeft);
        return adaptiveProgressText(p.step, p.steps, p.most, p.msLeft, p.noAnswerNote);
    }
    if (p.step == 0) return plannedText(p.steps, p.msLeft);
    return progressText(p.step, p.steps, p.msLeft, p.noAnswerNote);
}

FilterSweep::FilterSweep(RadioLink &link, Prompter &prompter, FilterSweepState &state,
                         SweepSink &sink)
    : m_link(link), m_prompter(prompter), m_state(state), m_sink(sink) {}

SweepOutcome FilterSweep::beginSweep(const SweepInputs &inputs) {
    SweepOutcome outcome;
    if (refuseWhileBusy(m_link, m_prompter)) {
        outcome.end = SweepEnd::Busy;
        return outcome;
    }
    const LinkHold hold(m_link, QStringLiteral("Filter Sweep"), kSweepWindowName);
    m_link.clearError();
    if (m_link.queryRadio(QStringLiteral("id;"), kSweepPresenceWaitMs).isEmpty()) {
        if (m_link.portLost()) {
            m_prompter.message(lostConnectionMessage(m_link.lastError(), 0, 0, 0));
            outcome.end = SweepEnd::PortLost;
            return outcome;
        }
        m_prompter.message(kNotPresentText, kNotPresentTitle, MessageIcon::Exclamation);
        outcome.end = SweepEnd::NotPresent;
        return outcome;
    }
    m_sink.clearLines();

    // Nothing on the radio is touched before the boxes have passed.
    std::optional<SweepRefusal> refusal = firstEmptyBox(inputs);
    const SweepPlanResult planned = refusal ? SweepPlanResult{} : planSweep(inputs);
    if (!refusal) refusal = planned.refusal;
    if (refusal) {
        m_prompter.message(refusal->message);
        outcome.end = SweepEnd::Refused;
        outcome.box = refusal->box;
        return outcome;
    }
    const SweepPlan &plan = *planned.plan;

    m_sink.setSweeping(true);
    m_state.stopSweepRequested = false;
    if (!prepareRadio(inputs)) {
        m_sink.setSweeping(false);
        outcome.end = SweepEnd::NotStarted;
        return outcome;
    }
    const SweepPointsRun run = measureSweepPoints(m_link, m_sink, plan, inputs.mode,
                                                  [this] { return m_state.stopSweepRequested; });
    outcome.stepsMeasured = int(run.points.size());
    outcome.unanswered = run.noAnswers.unanswered();

    m_sink.setSweeping(false);
    if (run.portLost()) {
        // No port: nothing to restore, nothing more to send, no completion message.
        m_prompter.message(lostConnectionMessage(m_link.lastError(), run.lostAtStep, run.planned,
                                                 outcome.stepsMeasured));
        outcome.end = SweepEnd::PortLost;
        return outcome;
    }
    if (m_state.stopSweepRequested) {
        m_prompter.message(kStoppedText, kStatusTitle, MessageIcon::Exclamation);
        outcome.end = SweepEnd::Stopped;
    } else {
        m_prompter.message(kCompletedText + run.noAnswers.completionNote(), kStatusTitle,
                           MessageIcon::Information);
        outcome.end = SweepEnd::Completed;
    }
    if (!m_state.capture.restoreAndTell(m_link, m_state.flags, m_prompter))
        outcome.restored = false;
    return outcome;
}

bool FilterSweep::prepareRadio(const SweepInputs &inputs) {
    m_state.capture.readInitialSettings(m_link);
    m_state.startKhzText = inputs.kHzStart;
    m_state.stopKhzText = inputs.kHzStop;
    m_state.stepHzText = inputs.freqStep;
    if (!m_link.portLost()) m_state.capture.readRadioIdentity(m_link);
    QStringList report = m_state.capture.listInitialSettings(
        sweepReportTail(m_state.startKhzText, m_state.stopKhzText, m_state.stepHzText));
    if (inputs.mode == SweepMode::Adaptive) markAdaptiveReport(report);
    for (const QString &line : report) m_sink.appendLine(line);
    if (m_link.portLost()) return true;
    m_state.capture.tellUnreadSettings(m_prompter);
    return applyTestSettings(inputs.rfGain);
}

bool FilterSweep::applyTestSettings(const QString &rfGainText) {
    // The RF gain goes to the radio exactly as typed.
    const QString rfGain = rfGainText;
    if (!k3settings::prepareKat3AndTechMode(m_link, m_prompter, m_state.flags)) return false;
    m_link.sendCommand(QStringLiteral("ag005;"), kSweepAfGainWaitMs);
    const auto stopped = [this] { return m_state.stopCheck && m_state.stopCheck(); };
    if (stopped()) return true;
    k3settings::setAgcOff(m_link);
    m_link.sendCommand(QStringLiteral("ra00;"), kSweepCommandWaitMs);
    m_link.sendCommand(QStringLiteral("pa0;"), kSweepCommandWaitMs);
    m_link.sendCommand(QStringLiteral("k31;swt08;k30;"), kSweepCommandWaitMs);
    m_link.sendCommand(QStringLiteral("rg") + rfGain + u';', kSweepCommandWaitMs);
    m_link.sendCommand(QStringLiteral("db10;"), kSweepCommandWaitMs);
    // The dBV readout is relative to the AFV level when it is selected: the user tunes to
    // the middle of the passband first.
    m_prompter.message(kAfvReferenceText, kAfvReferenceTitle, MessageIcon::Information);
    if (stopped()) return true;
    letReadoutSettle(m_link, [this](const QString &text) {
        SweepProgress settling;
        settling.activity = text;
        m_sink.progress(settling);
    });
    k3settings::setAgcOff(m_link);
    m_link.sendCommand(QStringLiteral("db11;"), kSweepDbvSelectWaitMs);
    return true;
}

void FilterSweep::resetK3() {
    if (refuseWhileBusy(m_link, m_prompter)) return;
    m_link.clearError();
    m_state.capture.restoreAndTell(m_link, m_state.flags, m_prompter);
}

}  // namespace corvane
