#include "measurements/mdstest.h"

#include <QRegularExpression>
#include <cmath>

#include "core/numtext.h"
#include "link/portnames.h"
#include "link/procedurefaults.h"

namespace corvane {

namespace {

const QString kCompletedText = QStringLiteral("MDS test is complete. Review reults in listbox");
const QString kNotComputedTitle = QStringLiteral("MDS Not Computed");
const QString kNotHeardTitle = QStringLiteral("Signal Not Heard");
const QString kCwMode = QStringLiteral("MD3");
const QString kModeSetting = QStringLiteral("mode");  // the capture's name of the mode

QString phaseName(MdsPhase phase) {
    return phase == MdsPhase::SignalNoise ? QStringLiteral("signal + noise")
                                          : QStringLiteral("noise");
}

QString lineLabel(MdsPhase phase) {
    return phase == MdsPhase::SignalNoise ? QStringLiteral("S+N") : QStringLiteral("N");
}

}  // namespace

QString mdsProgressText(const MdsProgress &progress) {
    if (progress.reading <= 0) return QString();
    QString phase = phaseName(progress.phase);
    phase[0] = phase[0].toUpper();
    return QStringLiteral("%1 reading %2 of %3")
        .arg(phase)
        .arg(progress.reading)
        .arg(kMdsReadingsPerPhase);
}

std::optional<QString> cutMdsReading(const QString &reply, bool preampChecked) {
    const int back = preampChecked ? 2 : 1;
    constexpr int front = 5;  // "DB" and the first three display characters
    if (reply.size() < front + back + 1) return std::nullopt;
    return reply.mid(front, reply.size() - front - back);
}

MdsResults mdsResults(std::optional<double> signalNoiseAverage,
                      std::optional<double> noiseAverage) {
    MdsResults results;
    if (signalNoiseAverage)
        results.lines << QStringLiteral("Signal + Noise, mVrms: ") +
                             shortestText(*signalNoiseAverage);
    if (noiseAverage)
        results.lines << QStringLiteral("Noise, mVrms: ") + shortestText(*noiseAverage);
    if (!signalNoiseAverage || !noiseAverage) return results;  // the caller knows which reading
    if (*noiseAverage == 0.0) {
        results.problem = QStringLiteral("the noise average is 0");
        return results;
    }
    const double ratio = *signalNoiseAverage / *noiseAverage;
    results.ratio = ratio;
    results.lines << QStringLiteral("S+N:Noise Ratio: ") + format0_00(ratio);
    if (!(ratio > 0.0)) {
        results.problem = QStringLiteral("the S+N:Noise ratio is not above 0");
        return results;
    }
    // -107 dBm is the generator's level; 20: a voltage ratio in decibels.
    const double mds = kMdsGeneratorDbm - 20.0 * (std::log(ratio) / std::log(10.0));
    results.mds = mds;
    results.lines << QStringLiteral("K3 MDS, dB: ") + format0_00(mds);
    // Judged on the ratio as listed, so that the list and the verdict agree.
    if (numericValue(format0_00(ratio)) < kMdsHeardRatio) {
        results.notHeard = true;
        QString line = kMdsNotHeardText + u'.';
        line[0] = line[0].toUpper();
        results.lines << line;
    }
    return results;
}

MdsTest::MdsTest(RadioLink &link, Prompter &prompter, MdsWindowState &state, MdsSink &sink)
    : m_link(link), m_prompter(prompter), m_state(state), m_sink(sink) {}

MdsOutcome MdsTest::beginMdsTest() {
    MdsOutcome outcome;
    if (refuseWhileBusy(m_link, m_prompter)) return {MdsEnd::Busy, {}};
    const LinkHold hold(m_link, QStringLiteral("Begin MDS Test"),
                        QStringLiteral("Minimum Discernable Signal Test"));
    m_link.clearError();
    m_sink.setTesting(true);
    m_state.signalNoise = 0;
    m_state.noise = 0;
    m_state.ratio = 0;
    m_state.mds = 0;
    m_state.cwAgc.clear();
    m_sink.clearLines();

    m_state.capture.readInitialSettings(m_link);
    m_state.capture.readRadioIdentity(m_link);
    const QStringList report =
        m_state.capture.listInitialSettings(mdsReportTail(m_sink.preampChecked()));
    for (const QString &line : report) m_sink.appendLine(line);
    if (!m_link.portLost()) m_state.capture.tellUnreadSettings(m_prompter);

    const QString setup = QStringLiteral("the test set-up");
    if (!applyTestSettings()) return {MdsEnd::NotStarted, {}};
    if (portFailed(setup)) return {MdsEnd::PortFailed, {}};
    m_prompter.message(kMdsSetupText, kMdsSetupTitle, MessageIcon::Information);
    k3settings::setAgcOff(m_link);
    if (portFailed(setup)) return {MdsEnd::PortFailed, {}};

    Phase signalNoise;
    if (!readPhase(MdsPhase::SignalNoise, signalNoise)) return {MdsEnd::PortFailed, {}};
    m_state.signalNoise = signalNoise.sum / kMdsReadingsPerPhase;
    m_prompter.message(kMdsGeneratorOffText, kMdsGeneratorOffTitle, MessageIcon::Information);

    Phase noise;
    if (!readPhase(MdsPhase::Noise, noise)) return {MdsEnd::PortFailed, {}};
    m_state.noise = noise.sum / kMdsReadingsPerPhase;
    m_sink.progress({});

    // A phase with a reading that is not a number has no average.
    const auto average = [](const Phase &phase, double value) {
        return phase.problem.isEmpty() ? std::optional<double>(value) : std::nullopt;
    };
    const MdsResults results =
        mdsResults(average(signalNoise, m_state.signalNoise), average(noise, m_state.noise));
    for (const QString &line : results.lines) m_sink.appendLine(line);
    m_state.ratio = results.ratio.value_or(0.0);
    m_state.mds = results.mds.value_or(0.0);
    outcome.problem = !signalNoise.problem.isEmpty() ? signalNoise.problem
                      : !noise.problem.isEmpty()     ? noise.problem
                                                     : results.problem;
    if (outcome.problem.isEmpty() && results.notHeard) {
        outcome.end = MdsEnd::NotHeard;
        m_sink.selectLastLine();
        m_prompter.message(QStringLiteral("The S+N:Noise ratio is below 2.00: ") +
                               kMdsNotHeardText +
                               QStringLiteral(". The MDS figure in the list is not a measurement. "
                                              "Review results in listbox."),
                           kNotHeardTitle, MessageIcon::Exclamation);
    } else if (outcome.problem.isEmpty()) {
        m_sink.selectLastLine();
        m_prompter.message(kCompletedText, programTitle(), MessageIcon::None);
    } else {
        outcome.end = MdsEnd::NotComputed;
        m_sink.appendLine(QStringLiteral("No MDS computed: ") + outcome.problem + u'.');
        m_sink.selectLastLine();
        m_prompter.message(QStringLiteral("No MDS could be computed: ") + outcome.problem +
                               QStringLiteral(". Review results in listbox."),
                           kNotComputedTitle, MessageIcon::Exclamation);
    }
    outcome.restored = restoreRadio();
    m_sink.setTesting(false);
    return outcome;
}

bool MdsTest::readPhase(MdsPhase phase, Phase &result) {
    for (int n = 1; n <= kMdsReadingsPerPhase; ++n) {
        m_sink.progress({phase, n});
        const QString reply = m_link.queryRadio(QStringLiteral("db;"), kMdsReadingWaitMs);
        const std::optional<QString> cut = cutMdsReading(reply, m_sink.preampChecked());
        // A reply too short to cut is listed as it came.
        m_state.reading = cut.value_or(reply);
        m_link.wait(kMdsAfterReadingWaitMs);
        const QString reading = phaseName(phase) + QStringLiteral(" reading ") + QString::number(n);
        if (!cut) {
            if (result.problem.isEmpty())
                result.problem = QStringLiteral("the K3's reply to ") + reading +
                                 QStringLiteral(" was too short to read");
        } else if (!isNumber(m_state.reading)) {
            if (result.problem.isEmpty())
                result.problem = reading + QStringLiteral(" is not a number");
        } else {
            result.sum += numericValue(m_state.reading);
        }
        m_sink.appendLine(lineLabel(phase) + QString::number(n) + u'\t' + m_state.reading);
        m_sink.selectLastLine();
        if (portFailed(reading)) return false;
    }
    return true;
}

bool MdsTest::portFailed(const QString &step) {
    const PortError error = m_link.lastError();
    if (!error.isError()) return false;
    m_sink.progress({});
    const QString port = m_link.transport() ? m_link.transport()->name() : QString();
    m_prompter.message(QStringLiteral("The MDS test ended at ") + step + QStringLiteral(": ") +
                           portErrorText(error, port) +
                           QStringLiteral(". The readings taken so far stay in the list."),
                       kPortErrorTitle, MessageIcon::Critical);
    m_sink.setTesting(false);
    return true;
}

bool MdsTest::foundInCw() const {
    return m_state.capture.snapshot().mode == kCwMode;
}

bool MdsTest::applyTestSettings() {
    if (!k3settings::prepareKat3AndTechMode(m_link, m_prompter, m_state.flags)) return false;
    m_link.sendCommand(QStringLiteral("ag005;"), kMdsAfGainWaitMs);
    // CW first: the K3 keeps AGC per mode, so AGC goes off in CW's memory, not in that of the
    // mode the radio was found in (which may have had AGC on or off), and CW's own AGC is read
    // to be put back.
    m_link.sendCommand(QStringLiteral("md3;"), kMdsCommandWaitMs);
    if (!foundInCw() && !m_link.portLost()) {
        static const QRegularExpression form(QStringLiteral("GT00[0-4][01]?;"));
        const QString answer =
            m_link.queryRadio(QStringLiteral("k22;gt;k20;"), SettingsCapture::kSettingQueryWaitMs,
                              SettingsCapture::kSettingSettleMs);
        // The last answer of that form: a stale one may stand before it.
        QRegularExpressionMatchIterator it = form.globalMatch(answer);
        m_state.cwAgc.clear();
        while (it.hasNext()) m_state.cwAgc = it.next().captured(0).chopped(1);
        if (m_state.cwAgc.isEmpty() && !m_link.portLost())
            m_prompter.message(
                QStringLiteral("These settings of the K3 could not be read: CW's AGC. The radio's "
                               "answers did not have the expected form, so they will not be "
                               "restored after the test."),
                QStringLiteral("K3 Settings Not Read"), MessageIcon::Exclamation);
    }
    k3settings::setAgcOff(m_link);
    m_link.sendCommand(QStringLiteral("ra00;"), kMdsCommandWaitMs);
    m_link.sendCommand(m_sink.preampChecked() ? QStringLiteral("pa1;") : QStringLiteral("pa0;"),
                       kMdsCommandWaitMs);
    m_link.sendCommand(QStringLiteral("k31;swt08;k30;"), kMdsCommandWaitMs);
    m_link.sendCommand(QStringLiteral("rg250;"), kMdsCommandWaitMs);
    m_link.sendCommand(QStringLiteral("db10;"), kMdsCommandWaitMs);
    return true;
}

bool MdsTest::restoreRadio() {
    SettingsCapture &capture = m_state.capture;
    if (!capture.hasSnapshot() || foundInCw())
        return capture.restoreAndTell(m_link, m_state.flags, m_prompter);
    QStringList notRestored;
    const auto step = [&](const QString &name, const QString &command) {
        m_link.sendCommand(command, SettingsCapture::kRestoreStepWaitMs);
        if (m_link.portLost()) notRestored << name;
    };
    if (!m_state.cwAgc.isEmpty())
        step(QStringLiteral("CW's AGC"),
             QStringLiteral("k22;") + m_state.cwAgc + QStringLiteral(";k20;"));
    const bool modeRead = !capture.unreadSettings().contains(kModeSetting);
    if (modeRead) step(kModeSetting, capture.snapshot().mode + u';');
    // The mode's step is done. With the mode not read the radio stays in CW: the AGC and
    // filter found belong to another mode and would overwrite CW's memories, so they are left
    // too (the test changed neither in the mode found).
    QStringList leaveAlone{kModeSetting};
    if (!modeRead)
        leaveAlone << QStringLiteral("AGC") << QStringLiteral("filter number")
                   << QStringLiteral("filter bandwidth");
    RestoreOutcome outcome = capture.restoreInitialSettings(m_link, m_state.flags, leaveAlone);
    outcome.notRestored = notRestored + outcome.notRestored;
    if (outcome.isComplete()) return true;
    m_prompter.message(restoreFailedMessage(outcome));
    return false;
}

void MdsTest::resetK3() {
    if (refuseWhileBusy(m_link, m_prompter)) return;
    m_link.clearError();
    restoreRadio();
}

}  // namespace corvane
