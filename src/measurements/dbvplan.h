#pragma once
// The run figures of a full dBV test, taken from the three box texts: start, stop and
// increment (each read as a number from its start and rounded halves to even), the reference
// gain (half the span, not the midpoint) and the number of steps the chart is sized for.
// All are 16-bit fields; values beyond them are held at the field's ends.

#include <QString>

namespace corvane {

struct DbvFullTestPlan {
    int start = 0;
    int stop = 0;
    int inc = 1;
    int refGain = 0;  // (stop - start) / 2, halves to even
    int steps = 0;    // |stop - start| / inc, halves to even

    // The chart holds steps + 1 rows (the last may stay unset when inc does not divide the
    // span).
    int chartRows() const;
    // How many gains the test measures: start, start + inc, ... up to stop.
    int measuredCount() const;
    // The reference gain is sent only when the radio knows it (start above stop makes it
    // negative).
    bool sendsReferenceGain() const;
};

DbvFullTestPlan planFullTest(const QString &startText, const QString &stopText,
                             const QString &incText);

}  // namespace corvane
