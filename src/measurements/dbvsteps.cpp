#include "measurements/dbvsteps.h"

#include <algorithm>

#include "core/numtext.h"

namespace corvane {

namespace {
constexpr QChar kTab = u'\t';
}

QString rfGainCommand(int gain) {
    const int bounded = std::clamp(gain, kMinRfGain, kMaxRfGain);
    return QStringLiteral("rg%1;").arg(bounded, 3, 10, QChar(u'0'));
}

QString cutRfGainAnswer(const QString &answer) {
    return cutMiddle(answer, 2, 1);
}

QString cutDbvAnswer(const QString &answer) {
    return cutMiddle(answer, 2, 4);
}

QString calculateDiff(const QString &first, const QString &second) {
    const double difference = numericValue(first) - numericValue(second);
    return shortestText(roundHalfEvenTo(difference, 2));
}

QString fullTestLine(const QString &rgText, const QString &dbv1Text, const QString &dbv2Text,
                     const QString &diff) {
    return rgText + kTab + formatTextFixed(dbv1Text, 1) + kTab + formatTextFixed(dbv2Text, 1) +
           kTab + formatTextFixed(diff, 1);
}

QString quickTestLine(const QString &rgText, const QString &dbv1Text, const QString &dbv2Text,
                      const QString &diff) {
    return rgText + kTab + dbv1Text + kTab + dbv2Text + kTab + diff;
}

QString dbvColumnHeading() {
    return QStringLiteral("RF Gain\tdBV 1\tdBV 2\tDiff");
}

}  // namespace corvane
