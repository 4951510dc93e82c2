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

namespace corvane {

namespace {

const QString kNotPresentTitle = QStringLiteral("K3 Not Present");
const QString kNotPresentText = QStringLiteral("Connect to K3 before beginning this survey.");
const QString kStatusTitle = QStringLiteral("Filter Survey");
const QString kCompletedText = QStringLiteral("The filter survey is complete.");
const QString kStoppedText = QStringLiteral(
    "The filter survey was stopped. The slots measured so far are kept; the K3's settings have "
    "been put back.");

// The filter procedures' own messages ("Filter 3 is now enabled for CW receive") are kept
// for the report instead of stopping an unattended run.
class NotingPrompter : public Prompter {
public:
    void message(const PromptMessage &msg) override { notes << msg.text; }
    QStringList notes;
};

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

// A sweep sink for the shared test set-up, which lists nothing.
class NoSweepSink : public SweepSink {
public:
    void clearLines() override {}
    void appendLine(const QString &) override {}
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
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

bool SurveyResult::anyNotSelectable() const {
    for (const SlotResult &s : slotResults)
        if (s.status == SlotStatus::NotSelectable) return true;
    return false;
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

SurveyResult FilterSurvey::run(const SurveyOptions &options) {
    SurveyResult result;
    result.options = options;
    m_options = options;
    m_stop = false;
    // Flags a survey cut short by a lost port left on stay remembered until put back.
    for (int slot : options.slotNumbers) {
        SlotResult s;
        s.slot = slot;
        result.slotResults.push_back(s);
    }
    if (refuseWhileBusy(m_link, m_prompter)) {
        result.end = SurveyEnd::Busy;
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
        return result;
    }
    result.started = QDateTime::currentDateTime();
    m_sink.setRunning(true);
    m_sink.phase(SurveyPhase::ReadingSettings);
    const bool ready = prepare(result);

    qint64 totalMsLeft = 0;
    for (const SlotResult &s : result.slotResults) totalMsLeft += surveyPointsMs(s.plan.points);
    for (SlotResult &slot : result.slotResults) {
        if (!ready || m_stop || m_link.portLost()) break;
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

    m_sink.setRunning(false);
    if (m_link.portLost()) {
        int measured = 0;
        for (const SlotResult &s : result.slotResults) measured += int(s.points.size());
        m_prompter.message(lostConnectionMessage(m_link.lastError(), measured + 1, 0, measured));
        result.end = SurveyEnd::PortLost;
        return result;
    }
    m_sink.phase(SurveyPhase::PuttingBack);
    putBack(result.notes);
    if (m_link.portLost()) {
        m_prompter.message(lostConnectionMessage(m_link.lastError(), 0, 0, 0));
        result.end = SurveyEnd::PortLost;
        return result;
    }
    if (!ready && !m_stop) {
        result.end = SurveyEnd::Refused;
    } else if (m_stop) {
        m_prompter.message(kStoppedText, kStatusTitle, MessageIcon::Exclamation);
        result.end = SurveyEnd::Stopped;
    } else {
        m_prompter.message(kCompletedText, kStatusTitle, MessageIcon::Information);
        result.end = SurveyEnd::Completed;
    }
    return result;
}

bool FilterSurvey::prepare(SurveyResult &result) {
    SettingsCapture &capture = m_sweepState.capture;
    capture.readInitialSettings(m_link);
    if (!m_link.portLost()) capture.readRadioIdentity(m_link);
    result.identity = capture.identity();
    const bool onSub = m_options.receiver == Receiver::Sub;
    if (onSub && !m_link.portLost()) m_subCapture.read(m_link);
    if (m_link.portLost()) return false;
    capture.tellUnreadSettings(m_prompter);
    for (const QString &name : m_subCapture.unread())
        result.notes << QStringLiteral("The %1 could not be read and was left alone.").arg(name);

    readFilterSettings(result);
    if (m_link.portLost()) return false;
    int totalPoints = 0;
    for (SlotResult &s : result.slotResults) {
        if (const std::optional<int> hz = s.configuredBwHz();
            hz && s.status == SlotStatus::NotMeasured) {
            s.plan = planSlotSweep(*hz, 0, m_options.stepHz);
            totalPoints += s.plan.points;
        }
    }
    m_sink.plan(surveyPlanText(m_options, totalPoints));

    // The mode, then the sweep's test set-up; its AFV reference prompt is where the user
    // tunes VFO A to the carrier.
    m_sink.phase(SurveyPhase::SettingUp);
    const QString mode = QString::number(m_options.modeNumber);
    m_link.sendCommand(QStringLiteral("md") + mode + u';', kSurveySetupWaitMs);
    if (onSub) m_link.sendCommand(QStringLiteral("md$") + mode + u';', kSurveySetupWaitMs);
    NoSweepSink noLines;
    if (!FilterSweep(m_link, m_prompter, m_sweepState, noLines).applyTestSettings(m_options.rfGain))
        return false;
    if (m_link.portLost()) return false;

    if (m_options.centreHz) {
        result.centreHz = *m_options.centreHz;
    } else {
        static const QRegularExpression vfoA(QStringLiteral("FA([0-9]{11});"));
        const QRegularExpressionMatch m =
            vfoA.match(m_link.queryRadio(QStringLiteral("fa;"), kSurveyVfoWaitMs));
        if (m_link.portLost()) return false;
        if (!m.hasMatch()) {
            result.notes << QStringLiteral("VFO A could not be read; nothing was swept.");
            m_prompter.message(QStringLiteral("The K3 did not report VFO A, so the survey does "
                                              "not know where the carrier is. Nothing was swept; "
                                              "the K3's settings have been put back."),
                               kStatusTitle, MessageIcon::Exclamation);
            return false;
        }
        result.centreHz = int32_t(m.captured(1).toLongLong());
    }
    // The crystal filter shapes the passband: the DSP passband opened wide around it. On the
    // sub-receiver the main receiver is turned down and the sub-receiver switched on.
    if (onSub) {
        m_link.sendCommand(QStringLiteral("rg$") + m_options.rfGain + u';', kSurveySetupWaitMs);
        m_link.sendCommand(QStringLiteral("ra$00;"), kSurveySetupWaitMs);
        m_link.sendCommand(QStringLiteral("pa$0;"), kSurveySetupWaitMs);
        m_link.sendCommand(QStringLiteral("rg000;"), kSurveySetupWaitMs);
        m_link.sendCommand(QStringLiteral("sb1;"), kSurveySetupWaitMs);
    }
    m_link.sendCommand(QStringLiteral("k31;fw%1%2;k30;")
                           .arg(sub())
                           .arg(kSurveyWideBandwidthTens, 4, 10, QLatin1Char('0')),
                       kSurveySetupWaitMs);
    if (m_link.portLost()) return false;
    m_sink.phase(SurveyPhase::ReadoutCheck);
    checkReadoutLinear(result);
    return !m_link.portLost();
}

// The carrier read with the attenuator out and in, as the dBV linear range test does at
// each gain: a 10 dB step says the readout follows the signal at this RF gain, so that the
// sweeps' widths and peaks are right. A carrier too strong for the gain squeezes the step.
void FilterSurvey::checkReadoutLinear(SurveyResult &result) {
    const auto read = [this] {
        const QString reply = m_link.queryRadio(QStringLiteral("db;"), kSweepReadingWaitMs);
        m_link.wait(kSweepAfterReadingWaitMs);
        return readingFromReply(reply);
    };
    m_link.sendCommand(tuneCommand(result.centreHz), kSweepTuneWaitMs);
    const QString out = read();
    m_link.sendCommand(QStringLiteral("ra") + sub() + QStringLiteral("01;"),
                       kSurveyAttenuatorWaitMs);
    const QString in = read();
    m_link.sendCommand(QStringLiteral("ra") + sub() + QStringLiteral("00;"),
                       kSurveyAttenuatorWaitMs);
    bool outOk = false;
    bool inOk = false;
    const double outDb = out.trimmed().toDouble(&outOk);
    const double inDb = in.trimmed().toDouble(&inOk);
    if (outOk && inOk)
        result.attenuatorStepDb = outDb - inDb;
    else if (!m_link.portLost())
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
    if (!filters.bandwidthReadout() || !filters.receiveReadout()) return;
    const QString unread = filters.unreadable().join(u'\n');
    for (SlotResult &s : result.slotResults) {
        const FilterColumn &column = table.table.column(s.slot);
        s.configuredBw = column.bandwidth.trimmed();
        s.configuredOffset = column.offset.trimmed();
        s.lossComp = column.lossComp.trimmed();
        s.enabledInMode = column.receive[size_t(m_options.modeNumber)];
        // The filter menu steps over slots that are not fitted: a slot it never showed.
        if (s.configuredBw.isEmpty()) {
            if (unread.contains(QStringLiteral("Filter %1 ").arg(s.slot)))
                result.notes << QStringLiteral("FL%1: its settings could not be read.").arg(s.slot);
            else
                s.status = SlotStatus::NotInstalled;
        }
    }
}

bool FilterSurvey::selectSlot(int slot) {
    m_link.sendCommand(QStringLiteral("k30;k22;fw%1%2;k20;")
                           .arg(sub(), QStringLiteral("0000") + QString::number(slot)),
                       kSurveySelectWaitMs);
    const QString answer =
        m_link.queryRadio(QStringLiteral("k22;fw%1;k20;").arg(sub()), kSurveyReadBackWaitMs);
    static const QRegularExpression form(QStringLiteral("FW\\$?[0-9]{4}([0-9])[0-9];"));
    const QRegularExpressionMatch m = form.match(answer);
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
    if (!slot.enabledInMode.value_or(false)) {
        NotingPrompter quiet;
        FilterWindowFields fields;
        TableSink table;
        CrystalFilters filters(m_link, quiet, m_options.receiver, fields, table);
        filters.setWithinHeldLink(true);
        const FilterOperationEnd end = filters.enableReceive(m_options.modeNumber, slot.slot);
        if (m_link.portLost()) return;
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
    SlotSweepSink sink(slot, points, m_sink, [&](const SweepProgress &p) {
        m_sink.progress({slotIndex, int(result.slotResults.size()), slot.slot, p.step, p.steps,
                         p.msLeft, laterMs + p.msLeft});
    });
    const SweepPointsRun run = measureSweepPoints(
        m_link, sink, points, m_options.adaptive ? SweepMode::Adaptive : SweepMode::Fixed,
        [this] { return m_stop; }, [this](int32_t hz) { return tuneCommand(hz); });
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

    const int measured = int(slot.points.size());
    slot.status = measured > 0 && !run.stopped && !run.portLost() ? SlotStatus::Measured
                  : measured > 0                                  ? SlotStatus::Partial
                                                                  : SlotStatus::NotMeasured;
    if (measured > 0) slot.figures = analyseSweep(slot.points);
    finish();
}

void FilterSurvey::putBack(QStringList &notes) {
    // The receive flags first: the mode and filter the snapshot puts back must be allowed.
    NotingPrompter quiet;
    FilterWindowFields fields;
    TableSink table;
    CrystalFilters filters(m_link, quiet, m_options.receiver, fields, table);
    filters.setWithinHeldLink(true);
    while (!m_enabledSlots.isEmpty() && !m_link.portLost()) {
        const int slot = m_enabledSlots.last();
        const FilterOperationEnd end = filters.disableReceive(m_options.modeNumber, slot);
        if (m_link.portLost()) break;
        m_enabledSlots.removeLast();
        if (end != FilterOperationEnd::Done)
            notes << QStringLiteral("FL%1 could not be disabled again for %2 receive.")
                         .arg(slot)
                         .arg(surveyModeName(m_options.modeNumber));
    }
    if (m_link.portLost()) return;
    m_sweepState.capture.restoreInitialSettings(m_link, m_sweepState.flags);
    if (m_options.receiver == Receiver::Sub && !m_link.portLost()) m_subCapture.restore(m_link);
}

void FilterSurvey::resetK3() {
    if (refuseWhileBusy(m_link, m_prompter) || !hasCapture()) return;
    const LinkHold hold(m_link, QStringLiteral("Reset K3"), kSurveyWindowName);
    m_link.clearError();
    QStringList notes;
    putBack(notes);
    if (m_link.portLost())
        m_prompter.message(lostConnectionMessage(m_link.lastError(), 0, 0, 0));
    else if (!notes.isEmpty())
        m_prompter.message(notes.join(u'\n'), kStatusTitle, MessageIcon::Exclamation);
}

}  // namespace corvane
