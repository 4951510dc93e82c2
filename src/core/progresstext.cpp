#include "core/progresstext.h"

#include <algorithm>

namespace corvane {

QString timeLeftText(qint64 ms) {
    const qint64 seconds = (std::max<qint64>(ms, 0) + 999) / 1000;
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    QString text;
    if (hours > 0) text = QStringLiteral("%1 h ").arg(hours);
    if (hours > 0 || minutes > 0) text += QStringLiteral("%1 min ").arg(minutes);
    return text + QStringLiteral("%1 s").arg(seconds % 60);
}

QString progressText(int step, int steps, qint64 msLeft, const QString &note) {
    if (step <= 0) return QString();
    QString text = QStringLiteral("Step %1 of %2, about %3 left")
                       .arg(step)
                       .arg(steps)
                       .arg(timeLeftText(msLeft));
    if (!note.isEmpty()) text += QStringLiteral(". ") + note;
    return text;
}

QString plannedText(int steps, qint64 msTotal) {
    const QString count =
        steps == 1 ? QStringLiteral("1 step") : QStringLiteral("%1 steps").arg(steps);
    return count + QStringLiteral(" to measure, about ") + timeLeftText(msTotal);
}

QString adaptivePlannedText(int most, qint64 msMost) {
    const QString count =
        most == 1 ? QStringLiteral("1 point") : QStringLiteral("%1 points").arg(most);
    return QStringLiteral("Adaptive: at most ") + count + QStringLiteral(", at most ") +
           timeLeftText(msMost);
}

QString adaptiveProgressText(int point, int planned, int most, qint64 msLeft, const QString &note) {
    if (point <= 0) return QString();
    QString text = QStringLiteral("Point %1 of %2 planned so far (at most %3), about %4 left")
                       .arg(point)
                       .arg(planned)
                       .arg(most)
                       .arg(timeLeftText(msLeft));
    if (!note.isEmpty()) text += QStringLiteral(". ") + note;
    return text;
}

}  // namespace corvane
