#include "subcapture.h"

#include <QRegularExpression>

namespace corvane {

namespace {

// The value's digits within its range.
bool inRange(const QRegularExpressionMatch &m, const CapturedQuery &q) {
    bool ok = false;
    const qint64 value = m.captured(1).toLongLong(&ok);
    return ok && value >= q.low && value <= q.high;
}

// The answer (without ";") of the first or the last text of the form in `reply`; empty
// when none fits.
QString fitted(const QString &reply, const CapturedQuery &q, bool last) {
    const QRegularExpression form(q.form + u';');
    QString found;
    for (QRegularExpressionMatchIterator it = form.globalMatch(reply); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!inRange(m, q)) continue;
        found = m.captured(0).chopped(1);
        if (!last) break;
    }
    return found;
}

}  // namespace

void CapturedSettings::read(RadioLink &link, const std::vector<CapturedQuery> &queries) {
    m_settings.clear();
    QStringList replies;
    for (const CapturedQuery &q : queries) {
        replies << link.queryRadio(q.query, kQueryWaitMs);
        m_settings.push_back({q, QString()});
    }
    for (size_t i = 0; i < m_settings.size(); ++i) {
        Setting &s = m_settings[i];
        s.value = fitted(replies.at(int(i)), s.query, true);
        if (s.value.isEmpty() && int(i) + 1 < replies.size())
            s.value = fitted(replies.at(int(i) + 1), s.query, false);
    }
    // Once more for each reply that came but was not understood (line noise passes); a
    // silent radio is not asked again.
    for (size_t i = 0; i < m_settings.size(); ++i) {
        Setting &s = m_settings[i];
        if (!s.value.isEmpty() || replies.at(int(i)).isEmpty() || link.portLost()) continue;
        s.value = fitted(link.queryRadio(s.query.query, kQueryWaitMs), s.query, true);
    }
}

QStringList CapturedSettings::restore(RadioLink &link) const {
    QStringList notRestored;
    for (const Setting &s : m_settings) {
        if (s.value.isEmpty()) continue;
        link.sendCommand(s.query.before + s.value + u';' + s.query.after, kRestoreWaitMs);
        if (link.portLost()) notRestored << s.query.name;
    }
    return notRestored;
}

QStringList CapturedSettings::unread() const {
    QStringList names;
    for (const Setting &s : m_settings)
        if (s.value.isEmpty()) names << s.query.name;
    return names;
}

bool CapturedSettings::isEmpty() const {
    for (const Setting &s : m_settings)
        if (!s.value.isEmpty()) return false;
    return true;
}

QString CapturedSettings::value(const QString &name) const {
    for (const Setting &s : m_settings)
        if (s.query.name == name) return s.value;
    return QString();
}

std::vector<CapturedQuery> subReceiverQueries() {
    // Ranges from the public command reference: modes 1-7 and 9, filters FL1-FL5 (the
    // legacy digit after the filter number), RF gain 000-250, attenuator and preamp off or
    // on, VFO B 500 kHz to 54 MHz (the K3's tuning range; a transverter band above it is
    // not sent back).
    return {
        {QStringLiteral("sub mode"),
         QStringLiteral("md$;"),
         QStringLiteral("MD\\$([1-79])"),
         1,
         9,
         {},
         {}},
        {QStringLiteral("sub crystal filter"), QStringLiteral("k22;fw$;k20;"),
         QStringLiteral("FW\\$[0-9]{4}([1-5])[0-9]"), 1, 5, QStringLiteral("k22;"),
         QStringLiteral("k20;")},
        {QStringLiteral("sub bandwidth"), QStringLiteral("k31;fw$;k30;"),
         QStringLiteral("FW\\$([0-9]{4})"), 0, 9999, QStringLiteral("k31;"),
         QStringLiteral("k30;")},
        {QStringLiteral("sub RF gain"),
         QStringLiteral("rg$;"),
         QStringLiteral("RG\\$([0-9]{3})"),
         0,
         250,
         {},
         {}},
        {QStringLiteral("sub attenuator"),
         QStringLiteral("ra$;"),
         QStringLiteral("RA\\$0([01])"),
         0,
         1,
         {},
         {}},
        {QStringLiteral("sub preamp"),
         QStringLiteral("pa$;"),
         QStringLiteral("PA\\$([01])"),
         0,
         1,
         {},
         {}},
        {QStringLiteral("VFO B"),
         QStringLiteral("fb;"),
         QStringLiteral("FB([0-9]{11})"),
         500000,
         54000000,
         {},
         {}},
        {QStringLiteral("sub receiver on/off"),
         QStringLiteral("sb;"),
         QStringLiteral("SB([01])"),
         0,
         1,
         {},
         {}},
    };
}

std::vector<CapturedQuery> modeMemoryQueries(const QString &modeName, bool sub) {
    // The forms of the settings capture: GT in K22 form with the AGC on/off digit (002 fast,
    // 004 slow), FW in K22 form with the filter number, FW in K31 form the width alone.
    const QString s = sub ? QStringLiteral("$") : QString();
    const QString escaped = sub ? QStringLiteral("\\$") : QString();
    const QString who = (sub ? QStringLiteral("sub ") : QString()) + modeName;
    std::vector<CapturedQuery> queries;
    if (!sub)
        queries.push_back({who + QStringLiteral(" AGC"), QStringLiteral("k22;gt;k20;"),
                           QStringLiteral("GT(00[0-4])[01]?"), 0, 4, QStringLiteral("k22;"),
                           QStringLiteral("k20;")});
    queries.push_back({who + QStringLiteral(" crystal filter"),
                       QStringLiteral("k22;fw%1;k20;").arg(s),
                       QStringLiteral("FW%1[0-9]{4}([1-5])[0-9]").arg(escaped), 1, 5,
                       QStringLiteral("k22;"), QStringLiteral("k20;")});
    queries.push_back({who + QStringLiteral(" bandwidth"), QStringLiteral("k31;fw%1;k30;").arg(s),
                       QStringLiteral("FW%1([0-9]{4})").arg(escaped), 0, 9999,
                       QStringLiteral("k31;"), QStringLiteral("k30;")});
    return queries;
}

std::optional<QString> dbvReadingOf(const QString &reply) {
    static const QRegularExpression answer(QStringLiteral("DB([^;]{8});"));
    static const QRegularExpression reading(QStringLiteral("^ *[+-]?[0-9]{0,2}\\.[0-9]+ *$"));
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    std::optional<QString> found;
    for (QRegularExpressionMatchIterator it = answer.globalMatch(reply); it.hasNext();) {
        const QString display = it.next().captured(1);
        const QString number = display.left(5);
        if (reading.match(number).hasMatch() && !display.mid(5).contains(digit)) found = number;
    }
    return found;
}

}  // namespace corvane
