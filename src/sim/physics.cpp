// What the radio's audio voltmeter sees: a generator tone through the front end (attenuator,
// preamp), the crystal filter and DSP passband, the IF gain set by RF GAIN, receiver noise
// from kTB and the noise figure, a fixed audio/ADC noise floor after the gain stages, and
// soft compression of the audio at high level. The AFV readout averages the mean square
// over CONFIG:AFV TIM, so a reading soon after a change blends the old and new levels.
//
// Levels are worked in dB relative to the audio compression knee (0 dB = kKneeVolts).
#include <algorithm>
#include <cmath>

#include "sim/k3simulator.h"

namespace corvane::sim {

namespace {

constexpr double kUltimateRejection = 1e-10;  // -100 dB: leakage around the filters
constexpr double kThermalDbmPerHz = -174.0;   // kTB at room temperature
constexpr double kPreampGainDb = 12.0;
constexpr double kNoiseFigurePreampDb = 12.0;
constexpr double kNoiseFigureDb = 18.0;
constexpr double kAttenuatorDb = 10.2;  // nominally 10 dB
// An antenna level of -73 dBm at full RF gain without preamp lands 6 dB above the knee.
constexpr double kGainOffsetDb = 79.0;
constexpr double kKneeVolts = 0.5;
constexpr double kAudioFloorDb = -82.0;
constexpr double kAudioFloorBandwidthHz = 3000.0;
constexpr double kAgcThresholdDb = -25.0;
constexpr double kAgcSlope = 0.1;  // 1 dB more audio per 10 dB more signal above threshold
// RF GAIN: about 0.25 dB per step from full gain down to 50, steeper below.
constexpr int kRfGainKnee = 50;
constexpr double kRfGainDbPerStep = 0.25;
constexpr double kRfGainDbPerStepLow = 0.7;
constexpr qint64 kLevelHistoryMs = 60000;  // longer than any AFV TIM

double fromDb(double db) {
    return std::pow(10.0, db / 10.0);
}
double toDb(double power) {
    return 10.0 * std::log10(std::max(power, 1e-300));
}

// Flat-top power response (Butterworth form) through -6 dB at w6 / 2 and -60 dB at w60 / 2
// from the centre, so that each filter meets its published widths.
double flatTopPower(double offsetHz, double w6, double w60) {
    const double h6 = std::max(1.0, w6 / 2.0);
    const double h60 = std::max(w60 / 2.0, h6 * 1.01);
    const double at6 = std::pow(10.0, 0.6) - 1.0;
    const double twoN = std::log((1e6 - 1.0) / at6) / std::log(h60 / h6);
    const double u3 = h6 / std::pow(at6, 1.0 / twoN);
    return 1.0 / (1.0 + std::pow(std::abs(offsetHz) / u3, twoN));
}

// The DSP filter is far steeper than any crystal filter.
double dspWidth60(double w6) {
    return w6 * 1.1 + 50.0;
}

// Where a tone (generator minus VFO A) sits at the passband centre in each mode.
double passbandCentreHz(int mode) {
    switch (mode) {
        case 2:
        case 6:
            return 1500.0;
        case 1:
        case 9:
            return -1500.0;
        default:
            return 0.0;
    }
}

double rfGainDb(int rfGain) {
    const int rg = qBound(0, rfGain, 250);
    if (rg >= kRfGainKnee) return -kRfGainDbPerStep * (250 - rg);
    return -kRfGainDbPerStep * (250 - kRfGainKnee) - kRfGainDbPerStepLow * (kRfGainKnee - rg);
}

}  // namespace

std::pair<double, double> K3Simulator::shapeWidths(const CrystalFilter &filter) {
    if (filter.nominalBandwidthHz <= 0 || filter.bandwidthHz == filter.nominalBandwidthHz)
        return {filter.width6dBHz, filter.width60dBHz};
    const double scale = double(std::max(10, filter.bandwidthHz)) / filter.nominalBandwidthHz;
    return {filter.width6dBHz * scale, filter.width60dBHz * scale};
}

double K3Simulator::filterResponseDb(const CrystalFilter &filter, double offsetHz) {
    const auto [w6, w60] = shapeWidths(filter);
    return toDb(flatTopPower(offsetHz, w6, w60) + kUltimateRejection);
}

K3Simulator::ReceiverView K3Simulator::mainView() const {
    const K3State &s = m_state;
    return {&filterInUse(), s.vfoAHz, s.mode, s.rfGain, s.preamp, s.attenuator, s.dspBandwidthHz};
}

K3Simulator::ReceiverView K3Simulator::subView() const {
    const K3State &s = m_state;
    return {&subFilterInUse(), s.vfoBHz,        s.subMode,       s.subRfGain,
            s.subPreamp,       s.subAttenuator, s.subBandwidthHz};
}

double K3Simulator::responseDb(const ReceiverView &view, double toneOffsetHz) const {
    const CrystalFilter &f = *view.filter;
    const auto [w6, w60] = shapeWidths(f);
    const double centre = passbandCentreHz(view.mode);
    const double shift = f.actualOffsetHz - f.offsetHz;
    const double dsp = std::max(10, view.dspBandwidthHz);
    const double crystal = flatTopPower(toneOffsetHz - centre - shift, w6, w60);
    const double digital = flatTopPower(toneOffsetHz - centre, dsp, dspWidth60(dsp));
    return toDb(crystal * digital + kUltimateRejection);
}

double K3Simulator::receiveResponseDb(double toneOffsetHz) const {
    return responseDb(mainView(), toneOffsetHz);
}

double K3Simulator::noiseBandwidthHz() const {
    return viewNoiseBandwidthHz(mainView(), 0);
}

double K3Simulator::viewNoiseBandwidthHz(const ReceiverView &view, int cache) const {
    const CrystalFilter &f = *view.filter;
    const auto [w6, w60] = shapeWidths(f);
    const double shift = f.actualOffsetHz - f.offsetHz;
    const double dsp = std::max(10, view.dspBandwidthHz);
    BandwidthCache &c = m_bandwidthCache[size_t(cache)];
    const std::array<double, 5> key{w6, w60, shift, dsp, 0.0};
    if (c.value > 0 && c.key == key) return c.value;

    // Integrate the power response of crystal and DSP filter together.
    const double span = std::max(w60, dspWidth60(dsp)) * 1.5 + std::abs(shift) + 500;
    const double step = std::max(0.5, std::min(w6, dsp) / 400.0);
    double sum = 0;
    for (double x = -span; x <= span; x += step)
        sum += flatTopPower(x - shift, w6, w60) * flatTopPower(x, dsp, dspWidth60(dsp)) * step;
    c.key = key;
    c.value = std::max(1.0, sum);
    return c.value;
}

std::pair<double, double> K3Simulator::receiverPower(const ReceiverView &view,
                                                     double *bandwidth) const {
    // The wide filters and the 400 Hz one in use by default set the gain; a filter with more
    // loss is quieter by the difference, its noise too.
    constexpr double kReferenceLossDb = 2.0;
    const double frontEnd = (view.preamp ? kPreampGainDb : 0.0) + rfGainDb(view.rfGain) +
                            kGainOffsetDb + (kReferenceLossDb - view.filter->lossDb);
    *bandwidth = viewNoiseBandwidthHz(view, view.filter == &filterInUse() ? 0 : 1);

    double signal = 0;
    if (m_generator.on) {
        const double offset = m_generator.frequencyHz - double(view.vfoHz);
        const double dbm = m_generator.levelDbm - (view.attenuator ? kAttenuatorDb : 0.0) +
                           responseDb(view, offset);
        signal = fromDb(dbm + frontEnd);
    }
    const double noiseFigure = view.preamp ? kNoiseFigurePreampDb : kNoiseFigureDb;
    const double noise =
        fromDb(kThermalDbmPerHz + noiseFigure + 10.0 * std::log10(*bandwidth) + frontEnd);
    return {signal, noise};
}

K3Simulator::Level K3Simulator::expectedLevel() const {
    const K3State &s = m_state;
    double bandwidth = 0;
    auto [signal, noise] = receiverPower(mainView(), &bandwidth);
    // With the sub-receiver on, its audio joins the main receiver's.
    if (s.subOn) {
        double subBandwidth = 0;
        const auto [subSignal, subNoise] = receiverPower(subView(), &subBandwidth);
        bandwidth = (noise * bandwidth + subNoise * subBandwidth) / (noise + subNoise);
        signal += subSignal;
        noise += subNoise;
    }

    if (s.agcOn) {
        const double level = toDb(signal + noise);
        if (level > kAgcThresholdDb) {
            const double reduction = fromDb(-(level - kAgcThresholdDb) * (1.0 - kAgcSlope));
            signal *= reduction;
            noise *= reduction;
        }
    }

    // Soft compression of the audio chain, then scaled to volts squared.
    const double floor = fromDb(kAudioFloorDb);
    const double total = signal + noise + floor;
    const double v = std::sqrt(total);
    const double compressed = v / std::pow(1.0 + v * v * v * v, 0.25);
    const double scale = compressed * compressed / total * kKneeVolts * kKneeVolts;

    Level l;
    l.signal = signal * scale;
    l.noise = (noise + floor) * scale;
    l.noiseBandwidthHz = (noise * bandwidth + floor * kAudioFloorBandwidthHz) / (noise + floor);
    return l;
}

void K3Simulator::trackLevel(qint64 nowMs, qint64 changedAtMs) {
    const Level level = expectedLevel();
    if (!m_levels.empty() && m_levels.back().level == level) return;
    const qint64 start = std::min(changedAtMs, nowMs);
    // A change dated back replaces what was recorded after it.
    while (!m_levels.empty() && m_levels.back().startMs >= start) m_levels.pop_back();
    m_levels.push_back({start, level});
    while (m_levels.size() > 1 && m_levels[1].startMs <= nowMs - kLevelHistoryMs)
        m_levels.pop_front();
}

double K3Simulator::sMeterDb() const {
    // S9 is -73 dBm with the preamp on, 6 dB per S unit.
    constexpr double kS0Dbm = -127.0;
    const K3State &s = m_state;
    if (!m_generator.on) return 0.0;
    const double dbm = m_generator.levelDbm - (s.attenuator ? kAttenuatorDb : 0.0) +
                       (s.preamp ? 0.0 : -kPreampGainDb) +
                       receiveResponseDb(m_generator.frequencyHz - double(s.vfoAHz));
    return std::max(0.0, dbm - kS0Dbm);
}

double K3Simulator::steadyAudioVolts() const {
    const Level l = expectedLevel();
    return std::sqrt(l.signal + l.noise);
}

double K3Simulator::audioVolts(qint64 nowMs) {
    noticeHandChanges(nowMs);
    return afvReading(nowMs);
}

double K3Simulator::afvReading(qint64 nowMs) {
    const qint64 window = std::max(10, m_state.afvTimeMs);
    const qint64 from = nowMs - window;
    double signal = 0, noise = 0, bandwidth = 0, covered = 0;
    for (size_t i = 0; i < m_levels.size(); ++i) {
        // The first level held since before anything was recorded.
        const qint64 start = i == 0 ? std::min(from, m_levels[i].startMs) : m_levels[i].startMs;
        const qint64 end = i + 1 < m_levels.size() ? m_levels[i + 1].startMs : nowMs;
        const double overlap =
            double(std::max<qint64>(0, std::min(end, nowMs) - std::max(start, from)));
        if (overlap <= 0) continue;
        const Level &l = m_levels[i].level;
        signal += l.signal * overlap;
        noise += l.noise * overlap;
        bandwidth += l.noiseBandwidthHz * l.noise * overlap;
        covered += overlap;
    }
    if (covered <= 0) {
        const Level l = m_levels.empty() ? expectedLevel() : m_levels.back().level;
        signal = l.signal;
        noise = l.noise;
        bandwidth = l.noiseBandwidthHz * l.noise;
    } else {
        signal /= covered;
        noise /= covered;
        bandwidth /= covered;
    }
    bandwidth = noise > 0 ? bandwidth / noise : 1000.0;

    double power = signal + noise;
    if (m_noise && noise > 0) {
        // A mean square over a finite time: noise power scatters by 1/sqrt(B T), and the
        // tone-times-noise term by sqrt(2 S N / (B T)).
        const double bt = std::max(1.0, bandwidth * double(window) / 1000.0);
        const double scatteredNoise = noise * (1.0 + gaussian() / std::sqrt(bt));
        const double cross = std::sqrt(2.0 * signal * noise / bt) * gaussian();
        power = std::max(signal + scatteredNoise + cross, (signal + noise) * 0.01);
    }
    return std::sqrt(power);
}

double K3Simulator::gaussian() {
    std::normal_distribution<double> normal;
    return normal(m_rng);
}

}  // namespace corvane::sim
