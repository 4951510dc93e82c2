#pragma once
// The pieces both dBV linearity tests are made of: the fixed waits of the radio exchanges,
// the RF gain command, the cutting of the radio's "rg;" and "db;" answers, the difference of
// two readings and the results-list lines. Plain text rules; nothing here talks to the radio.

#include <QString>

namespace corvane {

// Waits of the dBV exchanges, in ms. The radio is given these fixed times; nothing polls.
constexpr int kPresenceWaitMs = 100;       // "id;"
constexpr int kMenuExitWaitMs = 100;       // "mn255;"
constexpr int kAfGainWaitMs = 1000;        // "ag005;"
constexpr int kAttenuatorOffWaitMs = 100;  // "ra00;"
constexpr int kPreampOffWaitMs = 100;      // "pa0;"
constexpr int kRfGainSetWaitMs = 100;      // "rgNNN;"
constexpr int kRfGainReadWaitMs = 100;     // "rg;"
constexpr int kGainSettleMs = 2500;        // the audio level settles after a gain change
constexpr int kDbvReadWaitMs = 2500;       // "db;" (the readout integrates over AFV TIM)
constexpr int kDbvReadSettleMs = 100;
constexpr int kAttenuatorOnWaitMs = 2500;  // "ra01;"
constexpr int kSwitchTapWaitMs = 100;      // "k31;swt08;k30;"
constexpr int kAfvReadoutWaitMs = 100;     // "db10;"
constexpr int kDbvReadoutWaitMs = 4000;    // "db11;": the dBV reference is taken

// Fixed waiting of one measurement at one RF gain.
constexpr int kMeasurementWaitMs = kRfGainSetWaitMs + kRfGainReadWaitMs + kGainSettleMs +
                                   kDbvReadWaitMs + kDbvReadSettleMs + kAttenuatorOnWaitMs +
                                   kDbvReadWaitMs + kDbvReadSettleMs + kAttenuatorOffWaitMs;

constexpr int kMinRfGain = 0;
constexpr int kMaxRfGain = 250;

inline bool isValidRfGain(int gain) {
    return gain >= kMinRfGain && gain <= kMaxRfGain;
}

// "rg" + the gain in three digits + ";" (rg005; rg050; rg125;). The radio knows no gain
// outside 0..250, so a gain out of that range is brought to the nearest end; callers do not
// send such gains (see isValidRfGain).
QString rfGainCommand(int gain);

// The "rg;" answer less its last character and its first two ("RG125;" -> "125").
QString cutRfGainAnswer(const QString &answer);
// The "db;" answer less its last four characters and its first two: the first five display
// characters of VFO B ("DB-23.5dBV;" -> "-23.5", "DB -5.3dBV;" -> " -5.3").
// An answer too short to cut gives empty text.
QString cutDbvAnswer(const QString &answer);

// The difference of two readings (first minus second, each read as a number from its start)
// rounded to two places, halves to even, in its shortest text (10.1, 10, -0.5).
QString calculateDiff(const QString &first, const QString &second);

// Full test line: gain read back, then the readings and the difference with one decimal
// ("#0.0"); a text that is not a number is written unchanged.
QString fullTestLine(const QString &rgText, const QString &dbv1Text, const QString &dbv2Text,
                     const QString &diff);
// Quick test line: the texts as cut from the answers, unformatted.
QString quickTestLine(const QString &rgText, const QString &dbv1Text, const QString &dbv2Text,
                      const QString &diff);

// The column heading above the measurements.
QString dbvColumnHeading();

}  // namespace corvane
