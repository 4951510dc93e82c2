#include "subcapture.h"

#include <QRegularExpression>

namespace corvane {

namespace {

struct SubQuery {
    const char *name;
    const char *query;
    const char *form;    // the answer's form, without ";"
    const char *before;  // the restore: before + answer + ";" + after
    const char *after;
};

// In the order of the restore.
const SubQuery kQueries[] = {
    {"sub mode", "md$;", "MD\\$[1-9]", "", ""},
    {"sub crystal filter", "k22;fw$;k20;", "FW\\$[0-9]{6}", "k22;", "k20;"},
    {"sub bandwidth", "k31;fw$;k30;", "FW\\$[0-9]{4}", "k31;", "k30;"},
    {"sub RF gain", "rg$;", "RG\\$[0-9]{3}", "", ""},
    {"sub attenuator", "ra$;", "RA\\$[0-9]{2}", "", ""},
    {"sub preamp", "pa$;", "PA\\$[0-9]", "", ""},
    {"VFO B", "fb;", "FB[0-9]{11}", "", ""},
    {"sub receiver on/off", "sb;", "SB[01]", "", ""},
};

}  // namespace

void SubCapture::read(RadioLink &link) {
    m_settings.clear();
    for (const SubQuery &q : kQueries) {
        const QString answer = link.queryRadio(QString::fromLatin1(q.query), kQueryWaitMs);
        // The form anywhere in the answer (a late report may stand before it).
        const QRegularExpression form(QString::fromLatin1(q.form) + QStringLiteral(";"));
        const QRegularExpressionMatch m = form.match(answer);
        m_settings.push_back(
            {QString::fromLatin1(q.name), m.hasMatch() ? m.captured(0).chopped(1) : QString()});
    }
}

void SubCapture::restore(RadioLink &link) const {
    for (size_t i = 0; i < m_settings.size(); ++i) {
        if (m_settings[i].value.isEmpty()) continue;
        const SubQuery &q = kQueries[i];
        link.sendCommand(QString::fromLatin1(q.before) + m_settings[i].value + u';' +
                             QString::fromLatin1(q.after),
                         kRestoreWaitMs);
    }
}

QStringList SubCapture::unread() const {
    QStringList names;
    for (const Setting &s : m_settings)
        if (s.value.isEmpty()) names << s.name;
    return names;
}

}  // namespace corvane
