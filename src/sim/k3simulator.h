#pragma once
// A stand-in for the Elecraft K3 on the far end of the serial line. It takes the bytes the
// program writes, carries out the commands in order (several per write, upper or lower case,
// K20/K22 and K30/K31 command modes), keeps the radio's state, and queues its answers with a
// reply latency so that a too-short wait really misses an answer.
//
// Time is passed in by the caller (milliseconds on any monotonic scale): the same simulator
// serves a virtual clock in tests and the real clock in corvane-k3sim.
//
// It also models what the program measures: a signal generator feeding the antenna, the
// selected crystal filter's passband and skirts, preamp, 10 dB attenuator, RF gain, receiver
// noise (seeded) and audio compression at high RF gain, read back through the AFV and dBV
// readouts on the VFO B display.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace corvane::sim {

struct CrystalFilter {
    bool installed = true;
    int bandwidthHz = 2700;  // FLx BW as shown (kHz, two decimals) in menu entry 038
    int offsetHz = 0;        // FLx FRQ (kHz, two decimals, signed) in entry 039
    int lossCompDb = 0;      // FLx GN (one digit) in entry 040
    int poles = 8;
    double width6dBHz = 2700;   // physics: passband width at -6 dB
    double width60dBHz = 4400;  // physics: width at -60 dB
    // physics: the FLx BW the widths above belong to. A slot set to another bandwidth holds
    // another filter: its widths scale with the setting (shapeWidths()).
    int nominalBandwidthHz = 2700;
    // physics: insertion loss, dB, relative to the wide filters. FLx GN tells the radio about
    // it; the audio the AFV readout measures is not compensated, so a sweep sees the loss.
    double lossDb = 0.0;
    // Receive enable per mode number 1..9 (index 0 unused), entry 041.
    std::array<bool, 10> rxEnabled{};
    // physics: where the filter really sits relative to its nominal place. The radio
    // compensates by the FLx FRQ setting, so a wrong setting shifts the passband.
    int actualOffsetHz = 0;
};

struct SignalGenerator {
    bool on = true;
    double levelDbm = -73.0;  // S9 with the preamp on is about -73 dBm
    double frequencyHz = 14060000.0;
};

struct Faults {
    bool silent = false;           // the radio answers nothing
    int lateMs = 0;                // every answer comes this much later than usual
    bool garbled = false;          // answers have characters corrupted
    bool truncated = false;        // answers lose their second half
    int unsolicitedIfEveryMs = 0;  // unsolicited "IF...;" reports at this interval (0 = none)
    bool busy = false;             // every command is answered "?;" and not carried out
    bool vanished = false;         // the port is gone: writes fail, nothing arrives
};

enum class VfoBReadout { Normal, Afv, Dbv };

// Settings station programs read and set (stationcommands.cpp); kept, not modelled.
struct StationSettings {
    std::array<bool, 2> vox{};               // VX: voice and data modes [0], CW [1]
    int audioPeakingFilter = 0;              // AP0/AP1
    int txMeter = 0;                         // TM0 SWR/RF, TM1 CMP/ALC
    int compression = 0;                     // CP000..040
    std::array<int, 3> monitor{20, 20, 20};  // ML000..060 in CW, DATA, voice modes
    std::array<int, 2> blankerLevels{};      // NL: DSP and IF noise blanker levels 00..21
    std::array<int, 2> subBlankerLevels{};   // NL$
    int sidetonePitchTensHz = 60;            // CW60: 600 Hz
};

// What a K3 remembers for each mode, and recalls when that mode is selected again.
// The command reference, GT entry: "AGC time constant is stored per-mode in the K3, as is AGC
// on/off and VFO tuning rate". GT has no "$" form, so only the main receiver's AGC can be set
// or read; the sub receiver's memories hold its filter and width alone. The crystal filter
// and DSP width (FW, BW and their "$" forms) are kept per mode as well: the reference's
// FW/BW entries say only that the width is "quantized and/or range limited based on the
// present operating mode", but a K3 recalls each mode's width and filter when the mode comes
// back. The VFO tuning rate is not modelled: no procedure changes it. For anything else the
// procedures change (RF and AF gain, attenuator, preamp, VFOs, menu entries) the reference
// says nothing of a per-mode or per-band memory, and the simulator keeps one value each.
// (Per band the reference names only the DATA sub-mode DATA and DATA-REV recall, MD entry;
// the procedures do not touch it, and the simulator keeps one.)
struct ModeMemory {
    bool agcOn = true;
    int agcTimeConstant = 4;
    int bandwidthHz = 2700;
    int slot = 0;  // 0-based crystal filter slot
    bool operator==(const ModeMemory &o) const {
        return agcOn == o.agcOn && agcTimeConstant == o.agcTimeConstant &&
               bandwidthHz == o.bandwidthHz && slot == o.slot;
    }
};

// The memory a mode number uses. The reference lists CW-REV (7) and DATA-REV (9) as MD values
// and says nothing of their memories; on the radio they are CW and DATA with the other
// sideband (the ALT side of the CW and DATA mode keys), so they share CW's and DATA's.
int memoryOfMode(int mode);

struct K3State {
    qint64 vfoAHz = 14060000;
    qint64 vfoBHz = 14060000;
    int mode = 3;             // MD: 1 LSB 2 USB 3 CW 4 FM 5 AM 6 DATA 7 CW-REV 9 DATA-REV
    int rfGain = 250;         // RG 000..250
    int afGain = 30;          // AG 000..250
    bool attenuator = false;  // RA00 / RA01
    bool preamp = true;       // PA0 / PA1
    bool agcOn = true;
    int agcTimeConstant = 4;  // 2 fast, 4 slow
    double powerWatts = 50.0;
    int autoInfo = 0;       // AI0..AI3 (the radio may start in AI1)
    int k2Mode = 0;         // K20..K23 (0 normal; 2 extended)
    int k3Mode = 0;         // K30/K31
    bool techMode = false;  // CONFIG:TECH MD, entry 072
    bool kat3Installed = false;
    bool kat3Bypassed = true;                        // with a KAT3: BYP or AUTO
    QString serialNumber = QStringLiteral("05321");  // five digits, shown in entry 026
    QString mcuRevision = QStringLiteral("04.45");
    QString dspRevision = QStringLiteral("02.80");
    QString fpRevision = QStringLiteral("01.21");
    int dspBandwidthHz = 500;  // FW in 10 Hz units
    int afvTimeMs = 1000;      // CONFIG:AFV TIM, entry 014

    std::array<CrystalFilter, 5> mainFilters;
    std::array<CrystalFilter, 5> subFilters;
    int selectedSlot = 2;  // 0-based slot in use on the main receiver (FL3)

    // Menu: the entry open (-1 none); whether the FLx entries point at the sub receiver;
    // which slot (0-based) the FLx entries show.
    int openMenuEntry = -1;
    bool menuOnSub = false;
    int menuSlot = 0;
    // Every other menu entry 000..115: index into its list of values (see menuChoices()).
    std::map<int, int> menuValueIndex;

    VfoBReadout vfoBReadout = VfoBReadout::Normal;
    double afvReferenceVolts = 0.0;  // set when the dBV readout is selected

    // Each mode's memories (index = memoryOfMode(mode)); the fields above hold the current
    // mode's values and are saved here when the mode changes, and loaded from here.
    std::array<ModeMemory, 10> mainMemories{};
    std::array<ModeMemory, 10> subMemories{};  // the sub receiver's, by its own mode

    // The sub receiver ("$" forms of the commands).
    int subSelectedSlot = 1;
    int subRfGain = 250;
    int subAfGain = 0;
    bool subAttenuator = false;
    bool subPreamp = false;
    int subMode = 3;
    int subBandwidthHz = 500;
    bool subOn = false;
    // DV: in diversity mode "sending MDn sets both main and sub mode to n" (MD entry).
    bool diversity = false;

    // Odds and ends other programs ask about (Hamlib, loggers).
    bool split = false;
    bool ritOn = false;
    bool xitOn = false;
    int ritOffsetHz = 0;
    bool transmitting = false;
    int dataSubMode = 0;     // DT0..DT3
    int squelch = 0;         // SQ000..029
    int micGain = 30;        // MG000..060
    int noiseBlanker = 0;    // NB0/NB1
    int noiseReduction = 0;  // NR0/NR1
    int cwSpeedWpm = 20;     // KS
    bool locked = false;     // LK
    int antenna = 1;         // AN1/AN2
    int band = 5;            // BN: 20 m
    int ifShiftHz = 0;       // IS (CW pitch shift); kept, not modelled
    StationSettings station;
};

class K3Simulator {
public:
    explicit K3Simulator(quint32 seed = 0x4b33);
    ~K3Simulator();

    // Bytes written by the program at time nowMs.
    void receive(const QByteArray &bytes, qint64 nowMs);
    // Answers due by nowMs, in order; removed from the queue.
    QByteArray takeOutput(qint64 nowMs);
    // When the next queued answer is due (-1 when none).
    qint64 nextOutputTime() const;

    void setLatencyMs(int ms) { m_latencyMs = ms; }
    int latencyMs() const { return m_latencyMs; }

    K3State &state() { return m_state; }
    const K3State &state() const { return m_state; }
    SignalGenerator &generator() { return m_generator; }
    Faults &faults() { return m_faults; }
    // Receiver noise on or off (off gives exact, repeatable readings).
    void setNoiseEnabled(bool on) { m_noise = on; }
    bool noiseEnabled() const { return m_noise; }

    // Every command carried out, as received (without ";"), in order.
    const QStringList &commandLog() const { return m_log; }

    // The 8 raw VFO A / VFO B display bytes the radio would send now.
    QByteArray vfoADisplay() const;
    QByteArray vfoBDisplay(qint64 nowMs);

    // Physics probes (also used to draw pictures and in tests).
    // Audio output RMS voltage with the radio's present settings.
    double audioVolts(qint64 nowMs);
    // Response of a filter to a tone offset from the passband centre, in dB (0 at centre).
    static double filterResponseDb(const CrystalFilter &filter, double offsetHz);
    // The values menu entry `entry` can take, as 8-character raw display texts.
    QStringList menuChoices(int entry) const;

    // --- additions beyond the first contract ---

    // The generator or the state was changed by hand at nowMs (a user at the bench, a test):
    // the AFV meter starts integrating the new level from then, so a reading taken sooner
    // than AFV TIM later blends old and new. Without this call the simulator notices such a
    // change at its next exchange and takes it as made while the program waited for the
    // user (at a message box): the meter has settled on it by then.
    void markChanged(qint64 nowMs);
    // Text the radio sends unasked at atMs (a report of a radio left in an auto-info mode,
    // line noise), in order with its answers.
    void sendUnasked(const QByteArray &text, qint64 atMs) { queueOutput(atMs, text); }
    // The settled audio voltage (what the AFV readout tends to), without noise.
    double steadyAudioVolts() const;
    // Receiver noise bandwidth of the present crystal filter and DSP passband, Hz.
    double noiseBandwidthHz() const;
    // Passband response of the whole receive chain (crystal filter in use and DSP filter) to a
    // tone offsetHz away from VFO A (generator minus VFO A), dB, 0 at the passband centre.
    double receiveResponseDb(double toneOffsetHz) const;
    // The crystal filter in use on the main receiver.
    const CrystalFilter &filterInUse() const;
    // The crystal filter in use on the sub-receiver.
    const CrystalFilter &subFilterInUse() const;
    // Widths at -6 and -60 dB of the filter a slot holds (they follow a changed FLx BW).
    static std::pair<double, double> shapeWidths(const CrystalFilter &filter);
    // Picks the crystal filter for the present mode and DSP bandwidth, as the radio does
    // after a mode or bandwidth change: the narrowest slot enabled for the mode that is at
    // least as wide as the DSP passband, else the widest enabled slot.
    void selectFilterForBandwidth();
    // The slot the radio picks that way among `filters` for `mode` and a DSP width; -1 when
    // no slot is enabled for the mode.
    static int pickSlot(const std::array<CrystalFilter, 5> &filters, int mode, int widthHz);
    // Sets the mode as the MD command does: the present mode's AGC, width and filter are
    // saved in its memory and the new mode's recalled.
    void setMode(int mode);
    // The same for the sub receiver (MD$): its width and filter.
    void setSubMode(int mode);
    // Every mode's memories of both receivers, the present mode's included.
    ModeMemory mainMemory(int mode) const;
    ModeMemory subMemory(int mode) const;
    // Seeds every mode's memories of both receivers with values that differ from mode to
    // mode (AGC, width, filter), and recalls the present mode's: a radio that has been used
    // in every mode. The defaults give every mode AGC slow and on.
    void seedDistinctModeMemories();
    // The whole radio state a procedure may change, one "name=value" line each: VFOs, both
    // receivers' modes, gains, attenuators, preamps, every mode's memories of both receivers,
    // every menu entry, the filter slots with their receive flags, the command modes, the
    // open menu, the VFO B readout and the odd flags. Two radios in the same state give the
    // same lines; a test compares them before and after a procedure.
    QStringList stateLines() const;

private:
    struct Level {
        double signal = 0;  // mean square at the audio output, V^2
        double noise = 0;
        double noiseBandwidthHz = 500;
        bool operator==(const Level &o) const { return signal == o.signal && noise == o.noise; }
    };
    // What one receiver hears: its VFO, mode, gains, filters.
    struct ReceiverView {
        const CrystalFilter *filter = nullptr;
        qint64 vfoHz = 0;
        int mode = 3;
        int rfGain = 250;
        bool preamp = false;
        bool attenuator = false;
        int dspBandwidthHz = 500;
    };
    ReceiverView mainView() const;
    ReceiverView subView() const;
    double responseDb(const ReceiverView &view, double toneOffsetHz) const;
    double viewNoiseBandwidthHz(const ReceiverView &view, int cache) const;
    // Signal and receiver noise (mean square, before the audio chain) of one receiver.
    std::pair<double, double> receiverPower(const ReceiverView &view, double *bandwidth) const;
    struct Segment {
        qint64 startMs;
        Level level;
    };

    void execute(const QString &command, qint64 nowMs);
    bool executeSetting(const QString &name, const QString &args, bool sub, qint64 nowMs);
    bool executeQuery(const QString &name, bool sub, qint64 nowMs);
    bool executeMenuOrSwitch(const QString &name, const QString &args, qint64 nowMs);
    // RO, KY, VX, AP, CP, ML, NL, TM, IC, BG, CW, XF and the S-meters (stationcommands.cpp).
    bool executeStationCommand(const QString &name, const QString &args, bool sub, qint64 nowMs);
    enum class SMeterScale { High, Basic, Extended };  // SMH; SM in K30 and in K31
    int sMeterReading(SMeterScale scale) const;
    void answer(const QByteArray &text, qint64 nowMs);
    void queueOutput(qint64 due, const QByteArray &text);
    void queueUnsolicitedReports(qint64 nowMs);
    QByteArray damage(const QByteArray &text);
    void autoInfoReport(qint64 nowMs);

    // Display pieces (display.cpp).
    QByteArray frequencyDisplay(qint64 hz) const;
    QByteArray menuValueDisplay(int entry) const;
    QByteArray menuNameDisplay(int entry) const;
    QByteArray filterEntryDisplay(int entry) const;
    QByteArray readoutDisplay(qint64 nowMs);
    QByteArray ifReport() const;

    // Menus (menus.cpp).
    int menuIndex(int entry) const;
    void stepMenu(int entry, int direction);
    std::array<CrystalFilter, 5> &menuFilters();
    const std::array<CrystalFilter, 5> &menuFilters() const;
    void tapSwitch(int code);

    // Physics (physics.cpp).
    Level expectedLevel() const;
    void trackLevel(qint64 nowMs, qint64 changedAtMs);
    void noticeHandChanges(qint64 nowMs);
    double afvReading(qint64 nowMs);
    // Signal strength for the S-meter, dB above S0 (S9 = 54).
    double sMeterDb() const;
    double gaussian();

    K3State m_state;
    SignalGenerator m_generator;
    Faults m_faults;
    int m_latencyMs = 5;
    bool m_noise = true;
    QByteArray m_partial;  // a command whose ";" has not arrived yet
    QStringList m_log;
    std::deque<std::pair<qint64, QByteArray>> m_output;
    std::mt19937 m_rng;
    qint64 m_lastIfReportMs = 0;
    qint64 m_lastSeenMs = 0;
    std::deque<Segment> m_levels;
    // The noise bandwidth integral, kept for the last filter and DSP setting it was asked for.
    struct BandwidthCache {
        std::array<double, 5> key{};
        double value = -1;
    };
    mutable std::array<BandwidthCache, 2> m_bandwidthCache;  // main, sub
};

// Slot defaults of a typical radio, used by the constructor (filters.cpp).
std::array<CrystalFilter, 5> defaultMainFilters();
std::array<CrystalFilter, 5> defaultSubFilters();

}  // namespace corvane::sim
