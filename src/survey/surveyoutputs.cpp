#include "surveyoutputs.h"

#include <QDir>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "core/numtext.h"
#include "files/atomicfile.h"
#include "files/filecheck.h"
#include "measurements/sweepresultsfile.h"
#include "survey/surveyfindings.h"

namespace corvane {

namespace {

QString receiverName(const SurveyResult &r) {
    return r.options.receiver == Receiver::Sub ? QStringLiteral("sub-receiver")
                                               : QStringLiteral("main receiver");
}

int slotSpanHz(const SlotResult &s) {
    return s.plan.points > 0 ? s.plan.stopHz() - s.plan.startHz : 0;
}

}  // namespace

QColor surveySlotColour(int slot) {
    static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x7e, 0x22),
                                     QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                     QColor(0x94, 0x67, 0xbd)};
    return colours[std::clamp(slot, 1, 5) - 1];
}

std::optional<double> surveyPeakReferenceDb(const SurveyResult &result) {
    for (const SlotResult &s : result.slotResults)
        if (s.figures.peakDb && s.peakRelWidestDb) return *s.figures.peakDb - *s.peakRelWidestDb;
    return std::nullopt;
}

std::vector<SurveyCurve> surveyCurves(const SurveyResult &result) {
    const double reference = surveyPeakReferenceDb(result).value_or(0.0);
    const auto onScale = [reference](const std::optional<double> &db) {
        return db ? std::optional<double>(*db - reference) : std::nullopt;
    };
    std::vector<SurveyCurve> curves;
    for (const SlotResult &s : result.slotResults) {
        if (s.points.empty()) continue;
        SurveyCurve c;
        c.slot = s.slot;
        for (const SweepPoint &pt : s.points)
            c.points.emplace_back(pt.hz - result.centreHz, pt.db - reference);
        std::stable_sort(c.points.begin(), c.points.end(),
                         [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
        c.peakDb = onScale(s.figures.peakDb);
        c.floorDb = onScale(s.figures.floorDb);
        curves.push_back(std::move(c));
    }
    return curves;
}

double surveyHalfSpanHz(const SurveyResult &result) {
    int span = 0;
    for (const SlotResult &s : result.slotResults) span = std::max(span, slotSpanHz(s));
    return span / 2.0;
}

QString corvaneVersionText() {
    return QStringLiteral("Corvane %1.%2.%3")
        .arg(CORVANE_VERSION_MAJOR)
        .arg(CORVANE_VERSION_MINOR)
        .arg(CORVANE_VERSION_PATCH);
}

QString surveyStepsText(const SurveyResult &result) {
    return result.options.adaptive ? QStringLiteral("adaptive") : QStringLiteral("fixed");
}

QString slotSweepText(const SlotResult &s, const SurveyResult &result) {
    if (s.plan.points <= 0) return QStringLiteral("FL%1: not swept").arg(s.slot);
    return QStringLiteral("FL%1: %2 Hz span, %3 Hz step, %4 points, %5")
        .arg(s.slot)
        .arg(slotSpanHz(s))
        .arg(s.plan.stepHz)
        .arg(s.points.size())
        .arg(surveyStepsText(result));
}

QStringList surveyRunLines(const SurveyResult &result, const QDateTime &when) {
    QStringList lines{csvRecord({"slot", "item", "value"})};
    const auto add = [&lines](const QString &slot, const QString &item, const QString &value) {
        lines << csvRecord({slot, item, value});
    };
    const RadioIdentity &id = result.identity;
    add({}, "program", corvaneVersionText());
    add({}, "date", QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm")));
    add({}, "serial_number", id.serialNumber.trimmed());
    add({}, "receiver", receiverName(result));
    add({}, "mode", surveyModeName(result.options.modeNumber));
    add({}, "carrier_khz", formatFixed(result.centreHz / 1000.0, 3));
    add({}, "generator_dbm", shortestText(result.options.generatorDbm));
    add({}, "rf_gain", result.options.rfGain);
    add({}, "steps", surveyStepsText(result));
    if (result.attenuatorStepDb)
        add({}, "attenuator_step_db", formatFixed(*result.attenuatorStepDb, 1));
    add({}, "peak_reference", widestSlotName(result));
    for (const SlotResult &s : result.slotResults) {
        const QString slot = QStringLiteral("FL%1").arg(s.slot);
        add(slot, "status", slotStatusText(s.status));
        if (s.plan.points <= 0) continue;
        add(slot, "span_hz", QString::number(slotSpanHz(s)));
        add(slot, "step_hz", QString::number(s.plan.stepHz));
        add(slot, "points", QString::number(s.points.size()));
        if (const QString why = width60Remedy(s, result); !why.isEmpty())
            add(slot, "bw60_missing", why);
    }
    for (const QString &finding : surveyFindings(result)) add({}, "finding", finding);
    add({}, "summary", surveySummary(result));
    return lines;
}

bool writeSurveyTables(const QString &folder, const SurveyResult &result, const QDateTime &when,
                       QStringList *problems) {
    if (const QString problem = folderTargetProblem(folder); !problem.isEmpty()) {
        if (problems) *problems << QStringLiteral("cannot write into %1: %2").arg(folder, problem);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        if (problems)
            *problems
                << QStringLiteral("cannot write into %1: the folder could not be made").arg(folder);
        return false;
    }
    const QDir dir(folder);
    QStringList failed;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QString error;
        if (!writeFileAtomically(dir.filePath(name), bytes, &error))
            failed << QStringLiteral("cannot write ") + dir.filePath(name) + QStringLiteral(": ") +
                          error;
    };
    for (const SlotResult &s : result.slotResults) {
        if (!s.hasSweep()) continue;
        const QString name = QStringLiteral("survey-FL%1.txt").arg(s.slot);
        QString error;
        const QString comment =
            QStringLiteral("Filter survey, FL%1, %2, %3 mode")
                .arg(s.slot)
                .arg(receiverName(result), surveyModeName(result.options.modeNumber));
        if (!writeSweepResultsFile(dir.filePath(name), s.listLines, comment, when, &error))
            failed << QStringLiteral("cannot write ") + dir.filePath(name) + QStringLiteral(": ") +
                          error;
    }
    write(QStringLiteral("survey.csv"), (surveyCsvLines(result).join(u'\n') + u'\n').toUtf8());
    write(QStringLiteral("survey-run.csv"),
          (surveyRunLines(result, when).join(u'\n') + u'\n').toUtf8());
    if (problems) *problems << failed;
    return failed.isEmpty();
}

}  // namespace corvane
