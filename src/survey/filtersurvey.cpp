#include "filtersurvey.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "core/numtext.h"
#include "core/progresstext.h"
#include "link/procedurefaults.h"
#include "measurements/dbvquick.h"
#include "measurements/sweepplan.h"
#include "measurements/sweeppoints.h"
#include "survey/surveyrun.h"

namespace corvane {

namespace {

const QString kNotPresentTitle = QStringLiteral("K3 Not Present");
const QString kNotPresentText = QStringLiteral("Connect to K3 before beginning this survey.");
const QString kCompletedText = QStringLiteral("The filter survey is complete.");
const QString kStoppedText = QStringLiteral(
    "The filter survey was stopped. The slots measured so far are kept; the K3's settings have "
    "been put back.");

// One slot's sweep as the sweep's points procedure reports it: the list lines into the
// slot's results list, each point to the survey's sink, the progress turned into the
// survey's.
class SlotSweepSink : public SweepSink {
public:
    SlotSweepSink(SlotResult &slot, const SweepPlan &plan, SurveySink &out,
                  std::function<void(const SweepProgress &)> progress)
        : m_slot(slot), m_plan(plan), m_out(out), m_progress(std::move(progress)) {}
    void clearLines() override {}
    // The slot's lines are made from the points at the end, to the hertz.
    void appendLine(const QString &) override {}
    void prepareChart(int) override {}
    void setChartRow(int row, double value, const QString &) override {
        m_out.point(m_slot.slot, m_plan.frequencyOfStep(row - 1), value);
    }
    void progress(const SweepProgress &p) override {
        if (p.step > 0) m_progress(p);
    }

private:
    SlotResult &m_slot;
    const SweepPlan &m_plan;
    SurveySink &m_out;
    std::function<void(const SweepProgress &)> m_progress;
};

std::optional<int> bandwidthHz(const QString &khzText) {
    bool ok = false;
    const double khz = khzText.trimmed().toDouble(&ok);
    if (!ok || khz <= 0) return std::nullopt;
    return int(std::lround(khz * 1000.0));
}

QString kHzText(int32_t hz) {
    return formatFixed(hz / 1000.0, 3);
}

}  // namespace

std::optional<int> SlotResult::configuredBwHz() const {
    return bandwidthHz(configuredBw);
}

bool SurveyResult::readoutLinear() const {
    return !attenuatorStepDb ||
           std::abs(*attenuatorStepDb - kLinearDifferenceDb) <= kSurveyLinearToleranceDb;
}

bool SurveyResult::anySlotFailed() const {
    for (const SlotResult &s : slotResults) {
        if (s.status == SlotStatus::NotSelectable || s.status == SlotStatus::Unread) return true;
        if (end == SurveyEnd::Completed && s.status == SlotStatus::NotMeasured) return true;
    }
    return false;
}

QString surveyPhaseText(SurveyPhase phase) {
    switch (phase) {
        case SurveyPhase::ReadingSettings:
            return QStringLiteral("Reading the slots' settings...");
        case SurveyPhase::SettingUp:
            return QStringLiteral("Setting up the K3 and its AFV reference at the carrier...");
        case SurveyPhase::Settling:
            return kReadoutSettlingText;
        case SurveyPhase::ReadoutCheck:
            return QStringLiteral("Checking the dBV readout at the carrier...");
        case SurveyPhase::PuttingBack:
            return QStringLiteral("Putting the K3's settings back...");
    }
    return QString();
}

QString surveySlotProgressText(const SurveyProgress &p) {
    if (p.slotIndex == 0) return QString();
    return QStringLiteral("FL%1 (slot %2 of %3): ").arg(p.slot).arg(p.slotIndex).arg(p.slotCount) +
           progressText(p.point, p.points, p.slotMsLeft);
}

QString surveyOverallProgressText(const SurveyProgress &p) {
    return QStringLiteral("Survey: about %1 left").arg(timeLeftText(p.totalMsLeft));
}

FilterSurvey::FilterSurvey(RadioLink &link, Prompter &prompter, SurveySink &sink)
    : m_link(link), m_prompter(prompter), m_sink(sink) {}

QString FilterSurvey::sub() const {
    return m_options.receiver == Receiver::Sub ? QStringLiteral("$") : QString();
}

QString FilterSurvey::tuneCommand(int32_t hz) const {
    const QString command = frequencyCommand(hz);
    return m_options.receiver == Receiver::Sub ? QStringLiteral("FB") + command.mid(2) : command;
}

bool FilterSurvey::stopNow() {
    Clock &clock = m_link.clock();
    if (LinkTrace *trace = m_link.trace()) trace->addYield(clock.now());
    clock.yield();
    return stopRequested();
}

SurveyResult FilterSurvey::run(const SurveyOptions &options) {
    SurveyResult result;
    result.options = options;
    m_options = options;
    m_stop = false;
    m_stepRefused = false;
    // Flags a survey cut short by a lost port left on stay remembered until put back.
    for (int slot : options.slotNumbers) {
        SlotResult s;
        s.slot = slot;
        result.slotResults.push_back(s);
    }
    if (refuseWhileBusy(m_link, m_prompter)) {
        result.end = SurveyEnd::Busy;
        m_sink.ended(result);
        return result;
    }
    const LinkHold hold(m_link, QStringLiteral("Filter Survey"), kSurveyWindowName);
    m_link.clearError();
    if (m_link.queryRadio(QStringLiteral("id;"), kSweepPresenceWaitMs).isEmpty()) {
        if (m_link.portLost()) {
            m_prompter.message(lostConnectionMessage(m_link.lastError(), 0, 0, 0));
            result.end = SurveyEnd::PortLost;
        } else {
            m_prompter.message(kNotPresentText, kNotPresentTitle, MessageIcon::Exclamation);
        }
        m_sink.ended(result);
        return result;
    }
    result.started = QDateTime::currentDateTime();
    m_sink.setRunning(true);
    m_sink.phase(SurveyPhase::ReadingSettings);
    if (!readCaptures(result)) {
        // Lost while only reading: nothing was changed but auto-info, if it was switched off.
        m_sink.setRunning(false);
        if (!m_autoInfo.isEmpty() && m_autoInfo.value(QStringLiteral("auto-info")) != u"AI0")
            result.notRestored << QStringLiteral("auto-info");
        tellNotRestored(m_where, result.notRestored);
        result.end = SurveyEnd::PortLost;
        m_sink.ended(result);
        return result;
    }
    const bool ready = prepare(result);

    qint64 totalMsLeft = 0;
    for (const SlotResult &s : result.slotResults) totalMsLeft += surveyPointsMs(s.plan.points);
    for (SlotResult &slot : result.slotResults) {
        if (!ready || m_link.portLost() || stopNow()) break;
        surveySlot(result, slot, totalMsLeft);
    }

    // Each slot's peak beside the peak of the widest slot measured.
    const SlotResult *widest = nullptr;
    for (const SlotResult &s : result.slotResults)
        if (s.figures.peakDb && (!widest || s.configuredBwHz() > widest->configuredBwHz()))
            widest = &s;
    for (SlotResult &s : result.slotResults) {
        if (!widest || !s.figures.peakDb) continue;
        s.peakRelWidestDb = *s.figures.peakDb - *widest->figures.peakDb;
        bool ok = false;
        const double comp = widest->lossComp.toDouble(&ok);
        if (ok) s.widestLossCompDb = comp;
    }

    // The put-back, also on a lost port: it then sends nothing and names all it could not.
    const bool lostBefore = m_link.portLost();
    if (!lostBefore) {
        m_sink.phase(SurveyPhase::PuttingBack);
        m_where = QStringLiteral("while the K3's settings were put back");
    }
    result.notRestored = putBack(result.notes);
    m_sink.setRunning(false);
    if (m_link.portLost())
        result.end = SurveyEnd::PortLost;
    else if (m_stepRefused)
        result.end = SurveyEnd::StepTooCoarse;
    else if (!ready && !stopRequested())
        result.end = SurveyEnd::Refused;
    else if (stopRequested())
        result.end = SurveyEnd::Stopped;
    else
        result.end = SurveyEnd::Completed;
    // The results are shown before the closing message, which waits for the user (on the
    // early ends above, after their message: nothing was measured).
    m_sink.ended(result);
    if (result.end == SurveyEnd::PortLost)
        tellNotRestored(m_where, result.notRestored);
    else if (result.end == SurveyEnd::Stopped)
        m_prompter.message(kStoppedText, kSurveyWindowName, MessageIcon::Exclamation);
    else if (result.end == SurveyEnd::Completed)
        m_prompter.message(kCompletedText, kSurveyWindowName, MessageIcon::Information);
    return result;
}

bool FilterSurvey::readCaptures(SurveyResult &result) {
    m_where = QStringLiteral("while the K3's settings were read");
    m_modeMemories.clear();
    m_subModeMemories.clear();
    m_subCapture.clear();
    // Auto-info reports (AI1 to AI3) would stand in front of every answer: off for the run,
    // put back last. Unsolicited reports may come all the same; every reader passes them.
    m_autoInfo.read(m_link, {{QStringLiteral("auto-info"),
                              QStringLiteral("ai;"),
                              QStringLiteral("AI([0-3])"),
                              0,
                              3,
                              {},
                              {}}});
    if (!m_autoInfo.isEmpty() && m_autoInfo.value(QStringLiteral("auto-info")) != u"AI0")
        m_link.sendCommand(QStringLiteral("ai0;"), kSurveySetupWaitMs);
    SettingsCapture &capture = m_sweepState.capture;
    capture.readInitialSettings(m_link);
    if (!m_link.portLost()) capture.readRadioIdentity(m_link);
    result.identity = capture.identity();
    if (m_options.receiver == Receiver::Sub && !m_link.portLost())
        m_subCapture.read(m_link, subReceiverQueries());
    if (m_link.portLost()) return false;
    // One message for both receivers: what could not be read is left alone.
    const QStringList unread = capture.unreadSettings() + m_subCapture.unread();
    if (!unread.isEmpty())
        m_prompter.message(QStringLiteral("These settings of the K3 could not be read: ") +
                               unread.join(QStringLiteral(", ")) +
                               QStringLiteral(". The radio's answers did not have the expected "
                                              "form or range, so they will not be put back "
                                              "after the survey."),
                           QStringLiteral("K3 Settings Not Read"), MessageIcon::Exclamation);
    return true;
}

bool FilterSurvey::prepare(SurveyResult &result) {
    const bool onSub = m_options.receiver == Receiver::Sub;
    m_where = QStringLiteral("while the slots' settings were read");
    readFilterSettings(result);
    if (m_link.portLost() || stopNow() || !stepFits(result)) return false;
    int totalPoints = 0;
    for (SlotResult &s : result.slotResults) {
        if (const std::optional<int> hz = s.configuredBwHz();
            hz && s.status == SlotStatus::NotMeasured) {
            s.plan = planSlotSweep(*hz, 0, m_options.stepHz);
            totalPoints += s.plan.points;
        }
    }
    m_sink.plan(surveyPlanText(m_options, totalPoints));

    // The survey mode, and its own memories read before the set-up changes them (the
    // capture holds them when the radio was found in that mode). Then the sweep's test
    // set-up; its AFV reference prompt is where the user tunes VFO A to the carrier.
    m_sink.phase(SurveyPhase::SettingUp);
    m_where = QStringLiteral("while the K3 was set up for the survey");
    const QString mode = QString::number(m_options.modeNumber);
    const QString modeName = surveyModeName(m_options.modeNumber);
    m_link.sendCommand(QStringLiteral("md") + mode + u';', kSurveySetupWaitMs);
    if (m_sweepState.capture.snapshot().mode != QStringLiteral("MD") + mode)
        m_modeMemories.read(m_link, modeMemoryQueries(modeName, false));
    if (onSub) {
        m_link.sendCommand(QStringLiteral("md$") + mode + u';', kSurveySetupWaitMs);
        if (m_subCapture.value(QStringLiteral("sub mode")) != QStringLiteral("MD$") + mode)
            m_subModeMemories.read(m_link, modeMemoryQueries(modeName, true));
    }
    if (m_link.portLost()) return false;
    for (const QString &name : m_modeMemories.unread() + m_subModeMemories.unread())
        result.notes << QStringLiteral(
                            "The %1 could not be read and was left as the survey set it.")
                            .arg(name);
    if (stopNow()) return false;
    // An AFV reference confirmed sooner than the readout settles waits the rest: said.
    NoSweepSink noLines([this] { m_sink.phase(SurveyPhase::Settling); });
    m_sweepState.stopCheck = [this] { return stopNow(); };
    const bool setUp =
        FilterSweep(m_link, m_prompter, m_sweepState, noLines).applyTestSettings(m_options.rfGain);
    m_sweepState.stopCheck = {};
    if (!setUp) return false;
    if (m_link.portLost() || stopNow()) return false;

    if (m_options.centreHz) {
        result.centreHz = *m_options.centreHz;
    } else {
        static const QRegularExpression vfoA(QStringLiteral("FA([0-9]{11});"));
        QRegularExpressionMatch m;
        // The last answer of its form: a stale one may stand before it.
        const QString reply = m_link.queryRadio(QStringLiteral("fa;"), kSurveyVfoWaitMs);
        for (QRegularExpressionMatchIterator it = vfoA.globalMatch(reply); it.hasNext();)
            m = it.next();
        if (m_link.portLost()) return false;
        if (!m.hasMatch()) {
            result.notes << QStringLiteral("VFO A could not be read; nothing was swept.");
            m_prompter.message(QStringLiteral("The K3 did not report VFO A, so the survey does "
                                              "not know where the carrier is. Nothing was swept; "
                                              "the K3's settings have been put back."),
                               kSurveyWindowName, MessageIcon::Exclamation);
            return false;
        }
        result.centreHz = int32_t(m.captured(1).toLongLong());
    }
    // The crystal filter shapes the passband: the DSP passband opened wide around it. On the
    // sub-receiver the main receiver is turned down and the sub-receiver switched on.
    if (onSub) {
        for (const QString &command :
             {QStringLiteral("rg$") + m_options.rfGain + u';', QStringLiteral("ra$00;"),
              QStringLiteral("pa$0;"), QStringLiteral("rg000;"), QStringLiteral("sb1;")})
            m_link.sendCommand(command, kSurveySetupWaitMs);
    }
    m_link.sendCommand(QStringLiteral("k31;fw%1%2;k30;")
                           .arg(sub())
                           .arg(kSurveyWideBandwidthTens, 4, 10, QLatin1Char('0')),
                       kSurveySetupWaitMs);
    if (m_link.portLost() || stopNow()) return false;
    m_sink.phase(SurveyPhase::ReadoutCheck);
    m_where = QStringLiteral("during the readout check at the carrier");
    checkReadoutLinear(result);
    return !m_link.portLost() && !stopRequested();
}

// The carrier read with the attenuator out and in, as the dBV linear range test does at
// each gain: a 10 dB step says the readout follows the signal at this RF gain, so that the
// sweeps' widths and peaks are right. A carrier too strong for the gain squeezes the step.
void FilterSurvey::checkReadoutLinear(SurveyResult &result) {
    const std::function<bool()> stop = [this] { return stopRequested(); };
    bool cut = false;
    const auto read = [&]() -> std::optional<double> {
        const QString reply =
            m_link.queryRadioUnless(QStringLiteral("db;"), kSweepReadingWaitMs, stop, &cut);
        if (cut) return std::nullopt;
        m_link.wait(kSweepAfterReadingWaitMs);
        const std::optional<QString> reading = dbvReadingOf(reply);
        if (!reading) return std::nullopt;
        return numericValue(*reading);
    };
    cut = !m_link.sendCommandUnless(tuneCommand(result.centreHz), kSweepTuneWaitMs, stop);
    if (cut) return;
    const std::optional<double> out = read();
    if (cut || m_link.portLost()) return;
    cut = !m_link.sendCommandUnless(QStringLiteral("ra") + sub() + QStringLiteral("01;"),
                                    kSurveyAttenuatorWaitMs, stop);
    const std::optional<double> in = cut ? std::nullopt : read();
    // The attenuator out again, also when stopped.
    m_link.sendCommandUnless(QStringLiteral("ra") + sub() + QStringLiteral("00;"),
                             kSurveyAttenuatorWaitMs, stop);
    if (out && in)
        result.attenuatorStepDb = *out - *in;
    else if (!m_link.portLost() && !stopRequested())
        result.notes << QStringLiteral(
            "The dBV readout's linearity could not be checked: the "
            "K3 gave no reading at the carrier.");
}

void FilterSurvey::readFilterSettings(SurveyResult &result) {
    NotingPrompter quiet;
    FilterWindowFields fields;
    TableSink table;
    CrystalFilters filters(m_link, quiet, m_options.receiver, fields, table);
    filters.setWithinHeldLink(true);
    filters.setStopCheck([this] { return stopNow(); });
    if (!filters.bandwidthReadout() || stopRequested()) return;
    // A slot the menu never showed is not fitted only when every pass was read cleanly:
    // the menu steps over slots that are not fitted. A garbled pass may have been it.
    const bool clean = filters.unreadable().isEmpty() &&
                       filters.passesDone() == filters.passCount() &&
                       !quiet.notes.join(u'\n').contains(QStringLiteral("Unknown filter"));
    if (!filters.receiveReadout() || stopRequested()) return;
    const QString unreadFlags = filters.unreadable().join(u'\n');
    QString modeName;
    for (const FilterMode &m : filterModeTable())
        if (m.number == m_options.modeNumber) modeName = QLatin1String(m.name);
    for (SlotResult &s : result.slotResults) {
        const FilterColumn &column = table.table.column(s.slot);
        s.configuredBw = column.bandwidth.trimmed();
        s.configuredOffset = column.offset.trimmed();
        s.lossComp = column.lossComp.trimmed();
        if (!unreadFlags.contains(QStringLiteral("Filter %1 %2 ").arg(s.slot).arg(modeName)))
            s.enabledInMode = column.receive[size_t(m_options.modeNumber)];
        if (!s.configuredBw.isEmpty()) continue;
        if (clean) {
            s.status = SlotStatus::NotInstalled;
        } else {
            s.status = SlotStatus::Unread;
            result.notes << QStringLiteral(
                                "FL%1: its settings could not be read (the K3's filter menu "
                                "did not answer clearly); it was not swept.")
                                .arg(s.slot);
        }
    }
}

bool FilterSurvey::stepFits(SurveyResult &result) {
    std::vector<SlotWidth> widths;
    for (const SlotResult &s : result.slotResults)
        if (const std::optional<int> hz = s.configuredBwHz();
            hz && s.status == SlotStatus::NotMeasured)
            widths.push_back({s.slot, *hz});
    const QString problem = surveyStepProblem(m_options.stepHz, widths);
    if (problem.isEmpty()) return true;
    m_stepRefused = true;
    result.notes << problem;
    m_prompter.message(problem + QStringLiteral(" Nothing was swept; the K3's settings are put "
                                                "back."),
                       QStringLiteral("Step Too Coarse"), MessageIcon::Exclamation);
    return false;
}

bool FilterSurvey::selectSlot(int slot) {
    m_link.sendCommand(QStringLiteral("k30;k22;fw%1%2;k20;")
                           .arg(sub(), QStringLiteral("0000") + QString::number(slot)),
                       kSurveySelectWaitMs);
    const QString answer =
        m_link.queryRadio(QStringLiteral("k22;fw%1;k20;").arg(sub()), kSurveyReadBackWaitMs);
    static const QRegularExpression form(QStringLiteral("FW\\$?[0-9]{4}([0-9])[0-9];"));
    QRegularExpressionMatch m;
    for (QRegularExpressionMatchIterator it = form.globalMatch(answer); it.hasNext();)
        m = it.next();
    return m.hasMatch() && m.captured(1).toInt() == slot;
}

void FilterSurvey::surveySlot(SurveyResult &result, SlotResult &slot, qint64 &totalMsLeft) {
    const auto finish = [&] { m_sink.slotFinished(slot); };
    if (slot.status != SlotStatus::NotMeasured) return finish();
    const std::optional<int> widthHz = slot.configuredBwHz();
    if (!widthHz) {
        slot.status = SlotStatus::NotSelectable;
        return finish();
    }
    m_where = QStringLiteral("while FL%1 was selected").arg(slot.slot);
    if (!slot.enabledInMode.value_or(false)) {
        NotingPrompter quiet;
        FilterWindowFields fields;
        TableSink table;
        CrystalFilters filters(m_link, quiet, m_options.receiver, fields, table);
        filters.setWithinHeldLink(true);
        const FilterOperationEnd end = filters.enableReceive(m_options.modeNumber, slot.slot);
        if (m_link.portLost()) {
            // The flag may have been switched on: it is named among what was not put back.
            if (slot.enabledInMode == false) m_enabledSlots << slot.slot;
            return;
        }
        if (end != FilterOperationEnd::Done) {
            result.notes << QStringLiteral("FL%1 could not be enabled for %2 receive.")
                                .arg(slot.slot)
                                .arg(surveyModeName(m_options.modeNumber));
            slot.status = SlotStatus::NotSelectable;
            return finish();
        }
        // The flag is read again there: only a slot it really switched on is switched back.
        slot.enabledBySurvey = quiet.notes.join(u'\n').contains(QStringLiteral(" is now enabled "));
        if (slot.enabledBySurvey) m_enabledSlots << slot.slot;
    }
    if (!selectSlot(slot.slot)) {
        if (m_link.portLost()) return;
        result.notes << QStringLiteral("FL%1: the K3 did not report it in use after selecting it.")
                            .arg(slot.slot);
        slot.status = SlotStatus::NotSelectable;
        totalMsLeft -= surveyPointsMs(slot.plan.points);
        return finish();
    }

    slot.plan = planSlotSweep(*widthHz, result.centreHz, m_options.stepHz);
    const SlotSweepPlan &plan = slot.plan;
    slot.listLines = m_sweepState.capture.listInitialSettings(sweepReportTail(
        kHzText(plan.startHz), kHzText(plan.stopHz()), QString::number(plan.stepHz)));
    m_sink.slotStarted(slot);
    int slotIndex = 0;
    for (size_t i = 0; i < result.slotResults.size(); ++i)
        if (&result.slotResults[i] == &slot) slotIndex = int(i) + 1;
    // The slots after this one, for the time left of the whole survey.
    const qint64 laterMs = totalMsLeft - surveyPointsMs(plan.points);

    SweepPlan points;
    points.startHz = plan.startHz;
    points.stopHz = plan.stopHz();
    points.stepHz = int16_t(plan.stepHz);
    points.count = int16_t(plan.points);
    int pointsDone = 0;
    SlotSweepSink sink(slot, points, m_sink, [&](const SweepProgress &p) {
        pointsDone = p.step - 1;
        m_where = QStringLiteral("during FL%1's sweep, after %2 of its %3 points")
                      .arg(slot.slot)
                      .arg(pointsDone)
                      .arg(p.steps);
        m_sink.progress({slotIndex, int(result.slotResults.size()), slot.slot, p.step, p.steps,
                         p.msLeft, laterMs + p.msLeft});
    });
    const SweepPointsRun run = measureSweepPoints(
        m_link, sink, points, m_options.adaptive ? SweepMode::Adaptive : SweepMode::Fixed,
        [this] { return stopRequested(); }, [this](int32_t hz) { return tuneCommand(hz); },
        dbvReadingOf, StopInside::DuringWaits);
    // The results file in frequency order, each frequency to the hertz: the survey's steps go
    // down to 5 Hz, finer than the sweep list's 10 Hz labels.
    std::vector<SweepPointReading> byFrequency = run.points;
    std::stable_sort(
        byFrequency.begin(), byFrequency.end(),
        [](const SweepPointReading &a, const SweepPointReading &b) { return a.hz < b.hz; });
    for (const SweepPointReading &p : byFrequency) {
        slot.points.push_back({double(p.hz), p.db});
        slot.listLines << exactSweepResultLine(p.hz, p.reading);
    }
    totalMsLeft = laterMs;
    slot.unanswered = run.unread;
    if (run.unread > 0)
        result.notes << QStringLiteral(
                            "FL%1: %2 of its readings held no dBV readout (no answer, or another "
                            "report in its place) and were left out.")
                            .arg(slot.slot)
                            .arg(run.unread);

    const int measured = int(slot.points.size());
    slot.status = measured > 0 && !run.stopped && !run.portLost() ? SlotStatus::Measured
                  : measured > 0                                  ? SlotStatus::Partial
                                                                  : SlotStatus::NotMeasured;
    if (measured > 0) slot.figures = analyseSweep(slot.points);
    finish();
}

}  // namespace corvane
