#include "core/numtext.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace corvane {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Drops a "-0" that rounding may leave, and an exponent that Qt's 'g' form may use.
QString plainDecimal(double value, int significant) {
    if (value == 0.0 || !std::isfinite(value))
        return std::isfinite(value) ? QStringLiteral("0") : QString::number(value);
    QString text = QString::number(value, 'g', significant);
    if (text.contains(u'e')) {
        // Write it out in full, then trim the zeros that the fixed form adds.
        const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        const int decimals = std::max(0, significant - 1 - magnitude);
        text = QString::number(value, 'f', decimals);
        if (text.contains(u'.')) {
            while (text.endsWith(u'0')) text.chop(1);
            if (text.endsWith(u'.')) text.chop(1);
        }
    }
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text;
}

}  // namespace

double numericValue(const QString &text) {
    QString number;
    bool seenPoint = false;
    bool seenDigit = false;
    for (const QChar c : text) {
        if (isBlank(c)) continue;
        if ((c == u'-' || c == u'+') && number.isEmpty()) {
            number.append(c);
        } else if (c.unicode() >= '0' && c.unicode() <= '9') {
            number.append(c);
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            number.append(c);
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit) return 0.0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}

bool isNumber(const QString &text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    return pattern.match(text).hasMatch();
}

double roundHalfEven(double value) {
    // The default floating-point rounding mode rounds to nearest, ties to even.
    return std::nearbyint(value);
}

double roundHalfEvenTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    // Products such as 10.100000000000001 * 100 must not become a tie: round the product
    // to 12 significant digits first so that only true halves are ties.
    const double cleaned = QString::number(scaled, 'g', 12).toDouble();
    return std::nearbyint(cleaned) / scale;
}

std::optional<int16_t> toInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> toInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(r);
}

QString shortestText(double value) {
    return plainDecimal(value, 15);
}

QString singleText(double value) {
    return plainDecimal(static_cast<double>(static_cast<float>(value)), 7);
}

QString formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return QString::number(value);
    // Halves away from zero, on the decimal value the user sees (cleaned as above).
    const double scale = std::pow(10.0, decimals);
    const double cleaned = QString::number(value * scale, 'g', 12).toDouble();
    const double rounded = std::round(cleaned) / scale;
    QString text = QString::number(rounded, 'f', decimals);
    if (text.startsWith(u'-') && text.mid(1).remove(u'0').remove(u'.').isEmpty()) text.remove(0, 1);
    return text;
}

QString formatTextFixed(const QString &text, int decimals) {
    if (!isNumber(text)) return text;
    return formatFixed(text.trimmed().toDouble(), decimals);
}

QString leftOf(const QString &text, int count) {
    return text.left(std::max(0, count));
}

QString rightOf(const QString &text, int count) {
    return text.right(std::max(0, count));
}

QString cutMiddle(const QString &text, int front, int back) {
    const int length = text.size() - front - back;
    if (length <= 0) return QString();
    return text.mid(front, length);
}

}  // namespace corvane
