#include "measurements/dbvlinearity.h"

#include <memory>

#include "analysis/adaptiveplan.h"
#include "analysis/linearrange.h"
#include "core/numtext.h"
#include "measurements/adaptivereport.h"
#include "measurements/dbvlimits.h"
#include "measurements/dbvplan.h"
#include "measurements/dbvsteps.h"

namespace corvane {

namespace {

// A gain as the radio reports it back: three digits ("050").
QString rfGainText(int gain) {
    return QStringLiteral("%1").arg(gain, 3, 10, QChar(u'0'));
}

}  // namespace

DbvFullTest::DbvFullTest(RadioLink &link, Prompter &prompter, DbvWindowState &state,
                         DbvResultSink &sink)
    : m_exchanges(link, prompter, state), m_sink(sink) {}

bool DbvFullTest::run(const DbvGainBoxes &boxes) {
    m_end = DbvEnd::NotStarted;
    // The window refuses such texts as the user leaves a box; a caller that skips that check
    // must not make the radio step through gains it does not know.
    for (const auto &refusal :
         {checkRfGainStart(boxes.start), checkRfGainStop(boxes.stop), checkRfGainInc(boxes.inc)}) {
        if (refusal) {
            m_exchanges.prompter().message(*refusal);
            return false;
        }
    }
    RadioLink &link = m_exchanges.link();
    Prompter &prompter = m_exchanges.prompter();
    if (refuseWhileBusy(link, prompter)) return false;
    const LinkHold hold(link, QStringLiteral("Full Test"), kDbvWindowName);
    link.clearError();
    if (!radioAnswers()) return false;

    DbvWindowState &state = m_exchanges.state();
    m_sink.clearLines();
    const DbvFullTestPlan plan = planFullTest(boxes.start, boxes.stop, boxes.inc);
    m_sink.runStateChanged(DbvRunKind::FullTest);
    state.stopTestRequested = false;

    state.capture.readInitialSettings(link);
    if (!link.portLost()) state.capture.readRadioIdentity(link);
    QStringList report =
        state.capture.listInitialSettings(dbvReportTail(boxes.start, boxes.stop, boxes.inc));
    if (boxes.adaptive) markAdaptiveReport(report);
    for (const QString &line : report) m_sink.appendLine(line);
    if (!link.portLost()) {
        state.capture.tellUnreadSettings(prompter);
        if (!m_exchanges.applyTestSettings()) {
            m_sink.runStateChanged(DbvRunKind::Idle);
            return false;
        }
    }
    // With start above stop half the span is negative: no such gain exists, so none is sent
    // (and no step is measured).
    if (!link.portLost() && plan.sendsReferenceGain())
        link.sendCommand(rfGainCommand(plan.refGain), kRfGainSetWaitMs);
    if (!link.portLost()) m_exchanges.setAfvReference(m_sink);

    m_sink.prepareChart(plan.chartRows());
    const int total = plan.measuredCount();
    PointOrder order(total, boxes.adaptive
                                ? std::make_unique<AdaptiveGainPlanner>(total, plan.start, plan.inc,
                                                                        kDefaultLinearToleranceDb)
                                : nullptr);
    if (boxes.adaptive) {
        // Every row is labelled now: the gains arrive out of order.
        for (int index = 0; index < total; ++index)
            m_sink.setChartRowLabel(index + 1, rfGainText(plan.start + index * plan.inc));
        m_sink.progress({0, total, qint64(total) * kMeasurementWaitMs, {}, total, {}});
    }
    int measured = 0;
    int planned = total;
    int lostAtStep = link.portLost() ? 0 : -1;
    for (int point = 1; lostAtStep < 0; ++point) {
        const std::optional<int> index = order.next();
        if (!index) break;
        m_exchanges.yieldToEvents();
        m_sink.atStepYield();
        if (state.stopTestRequested) break;
        planned = order.planned();
        m_sink.progress({point,
                         planned,
                         qint64(planned - point + 1) * kMeasurementWaitMs,
                         m_exchanges.noAnswers().progressNote(),
                         order.most(),
                         {}});
        const DbvReading r = m_exchanges.measureAtGain(plan.start + *index * plan.inc);
        // The step whose exchange failed is not listed: its texts are not the radio's.
        if (link.portLost()) {
            lostAtStep = point;
            break;
        }
        m_sink.appendLine(fullTestLine(r.rgText, r.dbv1Text, r.dbv2Text, state.diffText));
        m_sink.setChartRow(*index + 1, numericValue(state.diffText), r.rgText);
        order.addReading(*index, numericValue(state.diffText));
        ++measured;
        m_sink.selectLastLine();
    }
    m_sink.progress({});
    m_sink.finishChart();
    m_sink.runStateChanged(DbvRunKind::Idle);

    const QString title = QStringLiteral("Test Status");
    if (lostAtStep >= 0) {
        // No port: nothing to restore, nothing more to send.
        m_end = DbvEnd::PortLost;
        prompter.message(lostConnectionMessage(link.lastError(), lostAtStep, planned, measured));
        return true;
    }
    if (state.stopTestRequested) {
        m_end = DbvEnd::Stopped;
        prompter.message(QStringLiteral("Test was terminated prematurely."), title,
                         MessageIcon::Exclamation);
    } else {
        m_end = DbvEnd::Completed;
        prompter.message(QStringLiteral("Test is complete. Check results in Listbox.") +
                             m_exchanges.noAnswers().completionNote(),
                         title, MessageIcon::Information);
    }
    state.capture.restoreAndTell(link, state.flags, prompter);
    return true;
}

bool DbvFullTest::radioAnswers() {
    if (!m_exchanges.link().queryRadio(QStringLiteral("id;"), kPresenceWaitMs).isEmpty())
        return true;
    if (m_exchanges.link().portLost()) {
        m_exchanges.prompter().message(
            lostConnectionMessage(m_exchanges.link().lastError(), 0, 0, 0));
        return false;
    }
    m_exchanges.prompter().message(QStringLiteral("Connect to K3 before beginning this test."),
                                   QStringLiteral("K3 Not Present"), MessageIcon::Exclamation);
    return false;
}

}  // namespace corvane
