#include "menus/menureports.h"

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
        const QString value =
            item.reader ? item.reader(link) : k3settings::readMenuValue(link, entryCommand(item));
        if (link.lastError().isError()) {
            outcome.error = link.lastError();
            outcome.failedItem = i + 1;
            outcome.failedLabel = label;
            return outcome;
        }
        sink.appendLine(reportLine(item, value), differsFromDefault(item, value));
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

bool differsFromDefault(const MenuItem &item, const QString &value) {
    const QString defaultText = QString::fromLatin1(item.defaultText);
    if (standsForNoFixedText(defaultText)) return false;
    return value.trimmed() != defaultText.trimmed();
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

QString stoppedReportText(const ReportOutcome &outcome) {
    QString text = QStringLiteral("The report stopped at item %1 of %2")
                       .arg(outcome.failedItem)
                       .arg(outcome.itemCount);
    if (!outcome.failedLabel.isEmpty()) text += QStringLiteral(" (") + outcome.failedLabel + u')';
    return text + QStringLiteral("; the lines read before it are kept.");
}

}  // namespace corvane::menus
