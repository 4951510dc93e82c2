#include "surveyplan.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

#include "core/numtext.h"
#include "core/progresstext.h"
#include "files/filecheck.h"
#include "filters/filtertable.h"
#include "measurements/filtersweep.h"

namespace corvane {

namespace {

// Fixed waits around the points: the auto-info query, the settings capture and identity
// (about 4.4 s), the test set-up with its AFV reference (about 2.6 s), the wide DSP
// passband, each slot's selection and read-back, and the restore at the end.
constexpr qint64 kCaptureAndIdentityMs = 100 + 2000 + 2300;
constexpr qint64 kTestSetUpMs = 2600;
constexpr qint64 kPerSlotSelectMs = 200;
constexpr qint64 kRestoreMs = 1100;
// The carrier read with the attenuator out and in: tune, two readings, two switches.
constexpr qint64 kLinearityCheckMs = 4000 + 2 * (2500 + 100) + 2 * 2500;
constexpr qint64 kSubSettingsMs = 8 * 200 * 2;

std::optional<double> plainNumber(const QString &text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (!number.match(text).hasMatch()) return std::nullopt;
    return text.trimmed().toDouble();
}

QString rangeProblem(const QString &text, double low, double high, const QString &what) {
    const std::optional<double> value = plainNumber(text);
    if (value && *value >= low && *value <= high) return QString();
    return QStringLiteral("%1 must be a number from %2 to %3, not \"%4\".")
        .arg(what, shortestText(low), shortestText(high), text);
}

// The longest name the survey writes in its folder ("survey-overlay.png"), and what the
// checked writer adds to it for its temporary file.
constexpr int kLongestFileNameBytes = 18 + 16;
// Linux's limits on a path and on one name in it (PATH_MAX less its end, NAME_MAX).
constexpr int kMaxPathBytes = 4095;
constexpr int kMaxNameBytes = 255;
// Links followed before a chain of them is taken as a loop (the kernel's own limit).
constexpr int kMaxLinkHops = 40;

// Whether `path` is a symbolic link that leads round in a loop: its chain of targets comes
// back to one already seen, or does not end within the kernel's limit.
bool isLinkLoop(const QString &path) {
    QSet<QString> seen;
    QString at = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        const QFileInfo info(at);
        if (!info.isSymLink()) return false;
        if (seen.contains(at)) return true;
        seen.insert(at);
        at = info.symLinkTarget();
    }
    return true;
}

}  // namespace

QString surveyFolderProblem(const QString &folder) {
    if (folder.isEmpty()) return QStringLiteral("no folder name was given");
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    const int pathBytes = int(QFile::encodeName(absolute).size());
    if (pathBytes + 1 + kLongestFileNameBytes > kMaxPathBytes)
        return QStringLiteral(
                   "its path is %1 characters long; the survey's files need it to be at most "
                   "%2")
            .arg(pathBytes)
            .arg(kMaxPathBytes - 1 - kLongestFileNameBytes);
    QString prefix;
    for (const QString &name : absolute.split(u'/', Qt::SkipEmptyParts)) {
        prefix += u'/' + name;
        if (QFile::encodeName(name).size() > kMaxNameBytes)
            return QStringLiteral("the name \"%1...\" in it is longer than %2 characters")
                .arg(name.left(20))
                .arg(kMaxNameBytes);
        const QFileInfo info(prefix);
        if (!info.isSymLink() || info.exists()) continue;
        if (isLinkLoop(prefix))
            return QDir::toNativeSeparators(prefix) +
                   QStringLiteral(" is a loop of symbolic links");
        return QDir::toNativeSeparators(prefix) +
               QStringLiteral(" is a symbolic link to %1, which does not exist")
                   .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    }
    return folderTargetProblem(folder);
}

std::optional<QList<int>> parseSlotList(const QString &text, QString *problem) {
    static const QRegularExpression item(
        QStringLiteral("^\\s*([0-9]+)\\s*(?:-\\s*([0-9]+)\\s*)?$"));
    QList<int> numbers;
    const auto refuse = [&](const QString &why) -> std::optional<QList<int>> {
        if (problem) *problem = why;
        return std::nullopt;
    };
    for (const QString &part : text.split(u',')) {
        const QRegularExpressionMatch m = item.match(part);
        if (!m.hasMatch())
            return refuse(QStringLiteral("Slots are numbers 1 to 5 or ranges such as 3-5, "
                                         "separated by commas, not \"%1\".")
                              .arg(text));
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        if (from < 1 || to > kFilterSlots || to < from)
            return refuse(QStringLiteral("The K3 has filter slots 1 to 5; \"%1\" is not a slot or "
                                         "a range of them.")
                              .arg(part.trimmed()));
        for (int slot = from; slot <= to; ++slot)
            if (!numbers.contains(slot)) numbers << slot;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::optional<int> surveyModeNumber(const QString &name) {
    return modeNumberOf(name.trimmed());
}

QString surveyModeName(int modeNumber) {
    return getModeName(modeText(modeNumber));
}

QString checkSurveyRfGain(const QString &text) {
    return rangeProblem(text, 1, 250, QStringLiteral("The RF gain"));
}

QString checkSurveyStep(const QString &text) {
    return rangeProblem(text, 1, 500, QStringLiteral("The step in Hz"));
}

QString checkSurveyCentre(const QString &text) {
    return rangeProblem(text, 1800, 30000, QStringLiteral("The centre in kHz"));
}

QString checkSurveyGenerator(const QString &text) {
    return rangeProblem(text, -140, 0, QStringLiteral("The generator level in dBm"));
}

SlotSweepPlan planSlotSweep(int configuredBwHz, int32_t centreHz, std::optional<int> stepHz) {
    const int width = std::max(configuredBwHz, 10);
    SlotSweepPlan plan;
    plan.stepHz =
        stepHz ? std::max(1, *stepHz) : std::max(kSurveyMinStepHz, width / kSurveyStepDivisor);
    const int half = std::max(kSurveySpanWidths * width, width + kSurveyMinSkirtsHz) / 2;
    const int halfPoints = half / plan.stepHz;
    plan.points = 2 * halfPoints + 1;
    plan.startHz = centreHz - halfPoints * plan.stepHz;
    return plan;
}

int plannedPointsPerSlot(std::optional<int> stepHz) {
    if (stepHz) return planSlotSweep(0, 0, stepHz).points;
    // width / 40 steps over three widths: 60 either side of the carrier.
    return 2 * (kSurveySpanWidths * kSurveyStepDivisor / 2) + 1;
}

int largestSurveyStepHz(int configuredBwHz) {
    return std::max(1, configuredBwHz / 4);
}

QString surveyStepProblem(std::optional<int> stepHz, const std::vector<SlotWidth> &widths) {
    if (!stepHz) return QString();
    QStringList narrow;
    int largest = *stepHz;
    for (const SlotWidth &s : widths) {
        const int most = largestSurveyStepHz(s.widthHz);
        largest = std::min(largest, most);
        if (*stepHz > most)
            narrow << QStringLiteral("FL%1 (%2 kHz)")
                          .arg(s.slot)
                          .arg(formatFixed(s.widthHz / 1000.0, 2));
    }
    if (narrow.isEmpty()) return QString();
    const QString slotsText = narrow.size() == 1
                                  ? narrow.first()
                                  : narrow.mid(0, narrow.size() - 1).join(QStringLiteral(", ")) +
                                        QStringLiteral(" and ") + narrow.last();
    return QStringLiteral(
               "A step of %1 Hz is more than a quarter of the configured width of %2, too "
               "coarse to show its passband: use a step of at most %3 Hz, or no step (each "
               "slot's width / 40).")
        .arg(*stepHz)
        .arg(slotsText)
        .arg(largest);
}

qint64 surveyOverheadMs(Receiver receiver) {
    return kCaptureAndIdentityMs + bandwidthReadoutMs(receiver) + receiveReadoutMs(receiver) +
           kTestSetUpMs + kLinearityCheckMs + kFilterSlots * kPerSlotSelectMs + kRestoreMs +
           (receiver == Receiver::Sub ? kSubSettingsMs : 0);
}

qint64 surveyPointsMs(int points) {
    return qint64(points) * kSweepStepWaitMs;
}

QStringList surveyPlanText(const SurveyOptions &options, int totalPoints, bool exact) {
    QStringList slotNames;
    for (int slot : options.slotNumbers) slotNames << QStringLiteral("FL%1").arg(slot);
    QStringList lines;
    lines << QStringLiteral("Plan: %1 receiver, %2 mode, slots %3, RF gain %4.")
                 .arg(options.receiver == Receiver::Sub ? QStringLiteral("sub")
                                                        : QStringLiteral("main"),
                      surveyModeName(options.modeNumber), slotNames.join(QStringLiteral(", ")),
                      options.rfGain);
    const QString step = options.stepHz ? QStringLiteral("%1 Hz steps").arg(*options.stepHz)
                                        : QStringLiteral("steps of 1/40 of its width");
    const QString adaptive =
        options.adaptive
            ? QStringLiteral(", adaptively: the finest step only where the response changes")
            : QString();
    lines << QStringLiteral(
                 "Each slot is swept over three times its configured width (at least "
                 "its width and 1 kHz) around the carrier in %1%2.")
                 .arg(step, adaptive);
    const QString time =
        timeLeftText(surveyOverheadMs(options.receiver) + surveyPointsMs(totalPoints));
    if (totalPoints > 0 && !exact)
        lines << QStringLiteral("At least %1 points and about %2 of radio time%3; %4.")
                     .arg(QString::number(totalPoints), time,
                          options.adaptive ? QStringLiteral(" before the adaptive steps leave "
                                                            "some out")
                                           : QString(),
                          options.stepHz ? QStringLiteral("each slot's span is its width and 1 kHz "
                                                          "at least, from 500 Hz up three widths")
                                         : QStringLiteral("a slot narrower than 500 Hz takes "
                                                          "more, for its skirts"));
    else if (totalPoints > 0)
        lines << QStringLiteral("%1 points %2, about %3 of radio time%4.")
                     .arg(QString::number(totalPoints),
                          options.adaptive ? QStringLiteral("at most") : QStringLiteral("in all"),
                          time, options.adaptive ? QStringLiteral(" at most") : QString());
    else
        lines << QStringLiteral(
                     "The points depend on each slot's configured width, read at the "
                     "start (%1 ms of radio time a point).")
                     .arg(kSweepStepWaitMs);
    return lines;
}

QStringList surveySignalAdvice(const SurveyOptions &options) {
    const QString where =
        options.centreHz ? QStringLiteral("at %1 kHz").arg(shortestText(*options.centreHz / 1000.0))
                         : QStringLiteral("where VFO A will be tuned");
    return {QStringLiteral("Signal: a steady carrier from a signal generator on the antenna "
                           "input, %1, about -73 dBm (S9); RF gain 150 keeps the dBV readout "
                           "linear for it.")
                .arg(where),
            QStringLiteral("To see the skirts down to -60 dB use a stronger carrier, about "
                           "-53 dBm, with a lower RF gain, about 70.")};
}

QStringList surveyAdviceAndPlan(const SurveyOptions &options) {
    const int points = plannedPointsPerSlot(options.stepHz) * int(options.slotNumbers.size());
    return surveySignalAdvice(options) + surveyPlanText(options, points, false);
}

}  // namespace corvane
