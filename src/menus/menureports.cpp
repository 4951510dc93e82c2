#include "menus/menureports.h"

#include <QRegularExpression>

#include "radio/k3settings.h"

namespace corvane::menus {

namespace {

bool standsForNoFixedText(const QString &defaultText) {
    static const QStringList kPlaceholders{QStringLiteral("{band} IN"),
                                           QStringLiteral("{DDS freq}"), QStringLiteral("N/A"),
                                           QStringLiteral("Function")};
    return kPlaceholders.contains(defaultText) || defaultText.contains(u'x');
}

ReportOutcome runReport(RadioLink &link, MenuReportSink &sink, const QString &title,
                        const std::vector<MenuItem> &table) {
    link.clearError();
    ReportOutcome outcome;
    outcome.itemCount = int(table.size());
    sink.clearLines();
    for (const QString &line : reportHeader(title)) sink.appendLine(line, false);
    for (int i = 0; i < outcome.itemCount; ++i) {
        const MenuItem &item = table[size_t(i)];
        const QString label = QString::fromLatin1(item.label).trimmed();
        sink.readingItem(i + 1, outcome.itemCount, label);
        const std::optional<QString> read =
            item.reader ? item.reader(link) : k3settings::readMenuValue(link, entryCommand(item));
        if (link.lastError().isError()) {
            outcome.error = link.lastError();
            outcome.failedItem = i + 1;
            outcome.failedLabel = label;
            return outcome;
        }
        if (!read) {
            outcome.unread << label;
            sink.appendItem(item, kNotReadValue, reportLine(item, kNotReadValue), false, QString());
            continue;
        }
        const bool changed = differsFromDefault(item, *read);
        sink.appendItem(item, *read, reportLine(item, *read), changed,
                        changed ? changedNote(item, *read) : QString());
    }
    // Leaves the menu; the report waits for nothing after it.
    link.sendCommand(k3settings::kLeaveMenuCommand, 0);
    if (link.lastError().isError()) {
        outcome.error = link.lastError();
        outcome.failedItem = outcome.itemCount;
    }
    return outcome;
}

}  // namespace

QStringList reportHeader(const QString &title) {
    return {title, QStringLiteral("Menu Item\tSetting\t\tDefault"),
            QStringLiteral("=========\t=======\t\t=======")};
}

QString reportLine(const MenuItem &item, const QString &value) {
    return QString::fromLatin1(item.label) + QString(item.tabsBeforeValue, u'\t') + value +
           QString(item.tabsBeforeDefault, u'\t') + QString::fromLatin1(item.defaultText);
}

bool sameSetting(const QString &value, const QString &defaultText) {
    // The tables' "t" before a threshold ("OFF t-4.0") is not on the display.
    static const QRegularExpression thresholdMark(QStringLiteral("(^|\\s)t(?=[-+]?[0-9.])"));
    const auto squeezed = [](QString text) {
        text.replace(thresholdMark, QStringLiteral("\\1"));
        text = text.toUpper();
        text.remove(u' ');
        text.remove(u'=');
        return text;
    };
    const QString shown = squeezed(value);
    const QString wanted = squeezed(defaultText);
    if (shown == wanted) return true;

    // A number and its unit: "50" / "50HZ", "0.0DB" / "0.0".
    static const QRegularExpression quantity(QStringLiteral("^([-+]?[0-9]*\\.?[0-9]+)([A-Z/]*)$"));
    const QRegularExpressionMatch a = quantity.match(shown);
    const QRegularExpressionMatch b = quantity.match(wanted);
    if (a.hasMatch() && b.hasMatch() && a.captured(1).toDouble() == b.captured(1).toDouble() &&
        (a.captured(2) == b.captured(2) || a.captured(2).isEmpty() || b.captured(2).isEmpty()))
        return true;

    // "+0 dB/band": every band of the equaliser at that level ("+0+0+0+0+0+0+0+0").
    static const QRegularExpression perBand(QStringLiteral("^([-+]?[0-9]+)DB/BAND$"));
    static const QRegularExpression bands(QStringLiteral("^(?:[-+][0-9]+)+$"));
    static const QRegularExpression band(QStringLiteral("[-+][0-9]+"));
    if (const QRegularExpressionMatch level = perBand.match(wanted);
        level.hasMatch() && bands.match(shown).hasMatch()) {
        const int wantedLevel = level.captured(1).toInt();
        for (const QRegularExpressionMatch &each : band.globalMatch(shown))
            if (each.captured(0).toInt() != wantedLevel) return false;
        return true;
    }

    // An alarm that is off keeps its time: "OFF 06.30".
    if (wanted == QLatin1String("OFF") &&
        value.trimmed().toUpper().startsWith(QLatin1String("OFF ")))
        return true;

    // The display shows eight characters of a longer default: "FP.L" of "FP.L, bias off".
    return defaultText.trimmed().size() > k3settings::kDisplayLength && !shown.isEmpty() &&
           wanted.startsWith(shown);
}

bool differsFromDefault(const MenuItem &item, const QString &value) {
    const QString defaultText = QString::fromLatin1(item.defaultText);
    if (standsForNoFixedText(defaultText)) return false;
    return !sameSetting(value, defaultText);
}

QString changedNote(const MenuItem &item, const QString &value) {
    constexpr int kTechModeEntry = 72;
    if (item.entry != kTechModeEntry || !differsFromDefault(item, value)) return QString();
    return QStringLiteral("switched on by the report itself");
}

ReportOutcome mainMenuReport(RadioLink &link, MenuReportSink &sink) {
    return runReport(link, sink, kMainReportTitle, mainMenuTable());
}

ReportOutcome configMenuReport(RadioLink &link, MenuReportSink &sink) {
    return runReport(link, sink, kConfigReportTitle, configMenuTable());
}

QString readingText(int number, int count, const QString &label) {
    return QStringLiteral("Reading %1 of %2: %3").arg(number).arg(count).arg(label);
}

QString unreadItemsText(const QStringList &labels) {
    return QStringLiteral(
               "These menu settings could not be read (the K3 was busy, or its display "
               "came cut short or garbled): ") +
           labels.join(QStringLiteral(", ")) +
           QStringLiteral(". Their lines say \"not read\"; read them again.");
}

QString stoppedReportText(const ReportOutcome &outcome) {
    QString text = QStringLiteral("The report stopped at item %1 of %2")
                       .arg(outcome.failedItem)
                       .arg(outcome.itemCount);
    if (!outcome.failedLabel.isEmpty()) text += QStringLiteral(" (") + outcome.failedLabel + u')';
    return text + QStringLiteral("; the lines read before it are kept.");
}

}  // namespace corvane::menus
