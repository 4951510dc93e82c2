#include "measurements/dbvsession.h"

#include "core/progresstext.h"
#include "measurements/dbvsteps.h"

namespace corvane {

QString progressText(const DbvProgress &progress) {
    if (!progress.activity.isEmpty()) return progress.activity;
    if (progress.most > 0) {
        if (progress.step == 0) return adaptivePlannedText(progress.most, progress.msLeft);
        return adaptiveProgressText(progress.step, progress.total, progress.most, progress.msLeft,
                                    progress.noAnswerNote);
    }
    return progressText(progress.step, progress.total, progress.msLeft, progress.noAnswerNote);
}

DbvExchanges::DbvExchanges(RadioLink &link, Prompter &prompter, DbvWindowState &state)
    : m_link(link), m_prompter(prompter), m_state(state) {}

bool DbvExchanges::applyTestSettings() {
    if (!k3settings::prepareKat3AndTechMode(m_link, m_prompter, m_state.flags)) return false;
    m_link.sendCommand(QStringLiteral("mn255;"), kMenuExitWaitMs);
    m_link.sendCommand(QStringLiteral("ag005;"), kAfGainWaitMs);
    k3settings::setAgcOff(m_link);
    m_link.sendCommand(QStringLiteral("ra00;"), kAttenuatorOffWaitMs);
    m_link.sendCommand(QStringLiteral("pa0;"), kPreampOffWaitMs);
    return true;
}

void DbvExchanges::setAfvReference(DbvResultSink &sink) {
    m_link.sendCommand(QStringLiteral("k31;swt08;k30;"), kSwitchTapWaitMs);
    m_link.sendCommand(QStringLiteral("db10;"), kAfvReadoutWaitMs);
    m_prompter.message(QStringLiteral("Setting AFV reference voltage. Be sure K3 frequency is set "
                                      "at mid point of filter passband. When ready click OK."),
                       QStringLiteral("Set AFV Reference"), MessageIcon::Information);
    letReadoutSettle(m_link, [&sink](const QString &text) {
        DbvProgress settling;
        settling.activity = text;
        sink.progress(settling);
    });
    k3settings::setAgcOff(m_link);
    m_link.sendCommand(QStringLiteral("db11;"), kDbvReadoutWaitMs);
}

DbvReading DbvExchanges::measureAtGain(int gain) {
    DbvReading reading;
    m_link.sendCommand(rfGainCommand(gain), kRfGainSetWaitMs);
    reading.rgText = cutRfGainAnswer(m_link.queryRadio(QStringLiteral("rg;"), kRfGainReadWaitMs));
    m_link.wait(kGainSettleMs);
    const QString first =
        m_link.queryRadio(QStringLiteral("db;"), kDbvReadWaitMs, kDbvReadSettleMs);
    m_link.sendCommand(QStringLiteral("ra01;"), kAttenuatorOnWaitMs);
    const QString second =
        m_link.queryRadio(QStringLiteral("db;"), kDbvReadWaitMs, kDbvReadSettleMs);
    // Readings of a lost port are not the radio's silence.
    if (!m_link.portLost()) {
        m_noAnswers.note(first);
        m_noAnswers.note(second);
    }
    reading.dbv1Text = cutDbvAnswer(first);
    reading.dbv2Text = cutDbvAnswer(second);
    m_state.diffText = calculateDiff(reading.dbv1Text, reading.dbv2Text);
    m_link.sendCommand(QStringLiteral("ra00;"), kAttenuatorOffWaitMs);
    return reading;
}

void DbvExchanges::yieldToEvents() {
    if (LinkTrace *trace = m_link.trace()) trace->addYield(m_link.clock().now());
    m_link.clock().yield();
}

void resetDbvRadio(RadioLink &link, const DbvWindowState &state, Prompter &prompter) {
    link.clearError();
    state.capture.restoreAndTell(link, state.flags, prompter);
}

}  // namespace corvane
