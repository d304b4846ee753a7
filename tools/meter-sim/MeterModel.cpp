#include "MeterModel.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

using namespace MeterReg;

namespace {

using Phasor = std::complex<double>;

constexpr double Deg = std::numbers::pi / 180.0;

std::uint16_t U16(double v) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(v), 0L, 65535L));
}

std::uint16_t S16(double v) {
    return static_cast<std::uint16_t>(
        static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L)));
}

std::int16_t AsSigned(std::uint16_t v) {
    return static_cast<std::int16_t>(v);
}

// Angle of `x` behind `ref`, in 0..360 degrees (lagging counts positive).
double LagDegrees(Phasor ref, Phasor x) {
    double a = (std::arg(ref) - std::arg(x)) / Deg;
    while (a < 0)
        a += 360.0;
    while (a >= 360.0)
        a -= 360.0;
    return a;
}

double Unbalance(const std::array<double, 3>& v) {
    const double avg = (v[0] + v[1] + v[2]) / 3.0;
    double dev = 0;
    for (double x : v)
        dev = std::max(dev, std::abs(x - avg));
    return avg > 0 ? dev / avg * 100.0 : 0.0;
}

// Where each max/min record takes its value from, and whether it is signed.
struct Watched {
    std::uint16_t reg;
    bool isSigned;
};
constexpr Watched ExtremeSources[ExtremeRecords] = {
    {V1, false},     {V1 + 1, false}, {V1 + 2, false}, {V1 + 4, false},    {V1 + 5, false},
    {V1 + 6, false}, {I1, false},     {I1 + 1, false}, {I1 + 2, false},    {P1 + 3, true},
    {Q1 + 3, true},  {S1 + 3, false}, {Pf1 + 3, true}, {Frequency, false}, {DemandP, true},
    {DemandQ, true}, {DemandS, false}};

// What an alarm item watches: register, signedness and the factor from the
// register's unit to the alarm's unit (the unbalance limits are finer).
struct AlarmSource {
    std::uint16_t reg;
    bool isSigned;
    int factor;
};

AlarmSource AlarmItemSource(int code) {
    if (code == 0)
        return {Frequency, false, 1};
    if (code <= 8)
        return {static_cast<std::uint16_t>(V1 + code - 1), false, 1};
    if (code <= 13)
        return {static_cast<std::uint16_t>(I1 + code - 9), false, 1};
    if (code <= 17)
        return {static_cast<std::uint16_t>(P1 + code - 14), true, 1};
    if (code <= 21)
        return {static_cast<std::uint16_t>(Q1 + code - 18), true, 1};
    if (code <= 25)
        return {static_cast<std::uint16_t>(S1 + code - 22), false, 1};
    if (code <= 29)
        return {static_cast<std::uint16_t>(Pf1 + code - 26), true, 1};
    if (code == 30)
        return {VoltageUnbalance, false, 10};
    if (code == 31)
        return {CurrentUnbalance, false, 10};
    if (code == 32)
        return {DemandP, true, 1};
    if (code == 33)
        return {DemandQ, true, 1};
    return {DemandS, false, 1};
}

constexpr int Bauds[] = {600, 1200, 2400, 4800, 9600, 19200, 38400};

// What the meter's inputs see of the installation's phasors when it is wired with `fault`.
void ApplyWiring(WiringFault fault, std::array<Phasor, 3>& v, std::array<Phasor, 3>& i) {
    switch (fault) {
    case WiringFault::None:
        break;
    case WiringFault::ReversedCt1:
    case WiringFault::ReversedCt2:
    case WiringFault::ReversedCt3:
        i[static_cast<int>(fault) - static_cast<int>(WiringFault::ReversedCt1)] *= -1.0;
        break;
    case WiringFault::SwappedCt12:
        std::swap(i[0], i[1]);
        break;
    case WiringFault::SwappedCt23:
        std::swap(i[1], i[2]);
        break;
    case WiringFault::SwappedCt31:
        std::swap(i[2], i[0]);
        break;
    case WiringFault::SwappedPhases23:
        std::swap(v[1], v[2]);
        std::swap(i[1], i[2]);
        break;
    case WiringFault::MissingV1:
    case WiringFault::MissingV2:
    case WiringFault::MissingV3:
        v[static_cast<int>(fault) - static_cast<int>(WiringFault::MissingV1)] = 0.0;
        break;
    }
}

bool Inside(std::uint16_t start, std::size_t count, std::uint16_t first, std::uint16_t last) {
    return count > 0 && start >= first && start + count - 1 <= last;
}

} // namespace

MeterModel::MeterModel(const MeterConfig& config, std::int64_t nowMs)
    : physics_(config.seed, config.feeder), nowMs_(nowMs),
      lowCurrentReference_(config.referenceCurrentPercent == 10), onBench_(config.onBench),
      wiring_(config.wiring), exporting_(config.exporting), ignoredWrite_(config.ignoredWrite) {
    physics_.setLoadCycle(config.loadCycleSeconds);
    auto& rng = physics_.random();
    std::uniform_real_distribution<double> spread(-1.0, 1.0);

    auto set = [this](std::uint16_t reg, std::uint32_t v) {
        settings_[reg - SettingsFirst] = static_cast<std::uint16_t>(v);
    };
    const auto pt1 = static_cast<std::uint32_t>(std::lround(std::max(0.01, config.ptRatio) * 100));
    set(Address, static_cast<std::uint32_t>(config.address));
    // A line rate beyond the meter's own (a benchmark's) has no register value.
    const bool ownRate =
        std::find(std::begin(Bauds), std::end(Bauds), config.baud) != std::end(Bauds);
    set(Baud, ownRate ? static_cast<std::uint32_t>(config.baud) : 0u);
    set(Pt1High, pt1 >> 16);
    set(Pt1Low, pt1 & 0xFFFF);
    set(Pt2, 100);
    set(Ct1, static_cast<std::uint32_t>(std::max(1, config.ct1)));
    set(Do1Source, 1);
    set(Do2Source, 3);
    set(PulseWidth, 5);
    set(PulseConst, 1000);
    set(Ro1Time, 500);
    set(Ro2Time, 500);
    set(BacklightTime, 5);
    set(DemandWindow, 15);

    // A meter that has been in service for a while.
    runHours_ = 1000.0 + 9000.0 * (spread(rng) + 1.0) / 2.0;
    const double ep = 10000.0 + 5000.0 * (spread(rng) + 1.0);
    const double eq = ep * 0.3;
    energy_.kwh = {ep, ep * 0.01, eq, eq * 0.2, ep * 1.01, ep * 0.99, eq * 1.2, eq * 0.8};

    for (auto& e : channelErrors_)
        e = {0.015 * spread(rng), 0.5 * spread(rng)};
    channelErrors_[0].degrees = 0.0; // voltage A is the angle reference
    for (std::size_t i = 0; i < coefficients_.size(); ++i)
        coefficients_[i] = S16(200.0 * spread(rng));
    coefficients_[SystemFrequency - CoefficientsFirst] = 0;
    coefficients_[DisplayMode - CoefficientsFirst] = 0;
    coefficients_[PtType - CoefficientsFirst] = 1;
    if (config.onBench || config.miscalibrated)
        calibrateCoefficients();
    if (config.onBench)
        coefficients_[PtType - CoefficientsFirst] = config.benchPt380 ? 1 : 0;
    if (config.miscalibrated) {
        channelErrors_[1].gain += MiscalibratedGainVB;
        channelErrors_[5].degrees += MiscalibratedDegreesIC;
    }

    // Three groups configured but off, so the alarm windows show something sensible.
    alarmConfig_[AlarmDelay - AlarmEnable] = 3;
    const std::uint16_t groups[][3] = {{0, 1, 5010}, {1, 1, 2400}, {9, 1, 5500}};
    for (int g = 0; g < 3; ++g)
        for (int k = 0; k < 3; ++k)
            alarmConfig_[AlarmGroups - AlarmEnable + 3 * g + k] = groups[g][k];

    const auto& s = physics_.state();
    for (int k = 0; k < 3; ++k) {
        const auto& p = s.phases[k];
        demand_[0] += p.volts * p.amps * std::cos(p.lagDegrees * Deg);
        demand_[1] += p.volts * p.amps * std::sin(p.lagDegrees * Deg);
        demand_[2] += p.volts * p.amps;
    }
    refreshLive();
    clearExtremes();
    refreshImage();
}

int MeterModel::address() const {
    return settings_[Address - SettingsFirst];
}
int MeterModel::baud() const {
    return settings_[Baud - SettingsFirst];
}

double MeterModel::ptRatio() const {
    const std::uint32_t pt1 = (std::uint32_t{settings_[Pt1High - SettingsFirst]} << 16) |
                              settings_[Pt1Low - SettingsFirst];
    const double pt2 = settings_[Pt2 - SettingsFirst];
    return pt2 > 0 ? pt1 / pt2 : 1.0;
}

double MeterModel::ctRatio() const {
    return settings_[Ct1 - SettingsFirst] / 5.0;
}

void MeterModel::advance(std::int64_t nowMs) {
    const std::int64_t dtMs = nowMs - nowMs_;
    if (dtMs <= 0)
        return; // time never runs backwards for the meter
    nowMs_ = nowMs;
    const double dt = dtMs / 1000.0;
    physics_.advance(dt);

    const auto& s = physics_.state();
    std::array<double, 3> pqs{};
    for (const auto& p : s.phases) {
        pqs[0] += p.volts * p.amps * std::cos(p.lagDegrees * Deg);
        pqs[1] += p.volts * p.amps * std::sin(p.lagDegrees * Deg);
        pqs[2] += p.volts * p.amps;
    }
    // Demand: a moving average over the configured window.
    const double window = 60.0 * std::max<int>(1, settings_[DemandWindow - SettingsFirst]);
    for (int k = 0; k < 3; ++k)
        demand_[k] += (pqs[k] - demand_[k]) * std::min(1.0, dt / window);

    // Energy counts on the primary side.
    const double hours = dt / 3600.0;
    const double scale = ptRatio() * ctRatio() / 1000.0;
    const double p = pqs[0] * scale * hours;
    const double q = pqs[1] * scale * hours;
    auto& e = energy_.kwh;
    e[0] += std::max(p, 0.0);
    e[1] += std::max(-p, 0.0);
    e[2] += std::max(q, 0.0);
    e[3] += std::max(-q, 0.0);
    e[4] += std::abs(p);
    e[5] += p;
    e[6] += std::abs(q);
    e[7] += q;

    runHours_ += hours;

    // A relay in momentary mode drops out after its on-time.
    for (int k = 0; k < 2; ++k) {
        const std::uint16_t mode = settings_[(k ? Ro2Mode : Ro1Mode) - SettingsFirst];
        const std::uint16_t onMs = settings_[(k ? Ro2Time : Ro1Time) - SettingsFirst];
        if (relays_[k] && mode == 1 && nowMs_ - relayOnSinceMs_[k] >= onMs)
            relays_[k] = false;
    }
    // The digital inputs follow field contacts that change now and then.
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (auto& in : inputs_)
        if (unit(physics_.random()) < dt / 30.0)
            in = !in;

    refreshLive();
    updateExtremes();
    evaluateAlarms();
    refreshImage();
}

void MeterModel::refreshImage() {
    refreshLive();
    for (std::size_t i = 0; i < settings_.size(); ++i)
        image_[SettingsFirst + i] = settings_[i];
    refreshEnergy();
    refreshDistortion();
    refreshStatistics();
    refreshClockAndRunTime();
    refreshAlarms();
    refreshModelBlock();
    refreshRawVectors();
    if (onBench_)
        refreshBenchLive();
}

void MeterModel::calibrateCoefficients() {
    // What the factory left in the meter: every range's coefficients cancel the errors of
    // its channels. Current A is set a fortieth of a degree ahead of voltage A, where the
    // factory's calibration program puts it.
    const std::uint16_t gainRegs[6][2] = {{0x520, 0x51B}, {0x521, 0x51C}, {0x522, 0x51D},
                                          {0x523, 0x526}, {0x524, 0x527}, {0x525, 0x528}};
    const std::uint16_t angleRegs[6][2] = {{0, 0},         {0x52D, 0x51E}, {0x52F, 0x51F},
                                           {0x52C, 0x531}, {0x52E, 0x532}, {0x530, 0x533}};
    for (int ch = 0; ch < 6; ++ch) {
        const auto& err = channelErrors_[ch];
        for (std::uint16_t reg : gainRegs[ch])
            coefficients_[reg - CoefficientsFirst] = S16(-err.gain * 65535.0);
        const double target = ch == 3 ? 0.025 : 0.0;
        for (std::uint16_t reg : angleRegs[ch])
            if (reg)
                coefficients_[reg - CoefficientsFirst] = S16((target - err.degrees) * 1000.0);
    }
}

void MeterModel::refreshBenchLive() {
    // On the bench the meter measures the reference source through its channels: the
    // raw vectors (0.1 V and mA) are what it shows, so a miscalibrated channel shows in
    // the live values and a calibrated one agrees with the bench.
    std::array<Phasor, 3> v, i;
    for (int k = 0; k < 3; ++k) {
        v[k] = {double(AsSigned(image_[RawVectors + 2 * k])),
                double(AsSigned(image_[RawVectors + 2 * k + 1]))};
        i[k] = {double(AsSigned(image_[RawVectors + 6 + 2 * k])),
                double(AsSigned(image_[RawVectors + 6 + 2 * k + 1]))};
    }
    auto& r = image_;
    std::array<double, 3> volts, amps;
    double sumV = 0, sumL = 0, sumI = 0, pSum = 0, qSum = 0, sSum = 0;
    for (int k = 0; k < 3; ++k) {
        volts[k] = std::abs(v[k]);
        amps[k] = std::abs(i[k]);
        const double line = std::abs(v[k] - v[(k + 1) % 3]);
        r[V1 + k] = U16(volts[k]);
        r[V1 + 4 + k] = U16(line);
        r[I1 + k] = U16(amps[k]);
        // Volts times amperes from 0.1 V and mA.
        const Phasor power = v[k] * std::conj(i[k]) / 10000.0;
        r[P1 + k] = S16(power.real());
        r[Q1 + k] = S16(power.imag());
        r[S1 + k] = U16(std::abs(power));
        r[Pf1 + k] = S16(std::abs(power) > 0 ? power.real() / std::abs(power) * 1000 : 1000);
        sumV += volts[k];
        sumL += line;
        sumI += amps[k];
        pSum += power.real();
        qSum += power.imag();
        sSum += std::abs(power);
    }
    r[V1 + 3] = U16(sumV / 3);
    r[V1 + 7] = U16(sumL / 3);
    r[I1 + 3] = U16(sumI / 3);
    r[I1 + 4] = U16(std::abs(i[0] + i[1] + i[2]));
    r[P1 + 3] = S16(pSum);
    r[Q1 + 3] = S16(qSum);
    r[S1 + 3] = U16(sSum);
    r[Pf1 + 3] = S16(sSum > 0 ? pSum / sSum * 1000 : 1000);
    r[VoltageUnbalance] = U16(Unbalance(volts) * 10);
    r[CurrentUnbalance] = U16(Unbalance(amps) * 10);
}

void MeterModel::refreshLive() {
    const auto& s = physics_.state();
    std::array<Phasor, 3> v, i;
    std::array<double, 3> volts, amps;
    for (int k = 0; k < 3; ++k) {
        const auto& p = s.phases[k];
        v[k] = std::polar(p.volts, -120.0 * k * Deg);
        i[k] = std::polar(p.amps, (-120.0 * k - p.lagDegrees) * Deg);
    }
    if (exporting_)
        for (Phasor& current : i)
            current *= -1.0;
    ApplyWiring(wiring_, v, i);
    for (int k = 0; k < 3; ++k) {
        volts[k] = std::abs(v[k]);
        amps[k] = std::abs(i[k]);
    }
    const std::array<Phasor, 3> line = {v[0] - v[1], v[1] - v[2], v[2] - v[0]};

    auto& r = image_;
    r[Frequency] = U16(s.frequencyHz * 100);
    double sumV = 0, sumL = 0, sumI = 0;
    for (int k = 0; k < 3; ++k) {
        r[V1 + k] = U16(volts[k] * 10);
        r[V1 + 4 + k] = U16(std::abs(line[k]) * 10);
        r[I1 + k] = U16(amps[k] * 1000);
        sumV += volts[k];
        sumL += std::abs(line[k]);
        sumI += amps[k];
    }
    r[V1 + 3] = U16(sumV / 3 * 10);
    r[V1 + 7] = U16(sumL / 3 * 10);
    r[I1 + 3] = U16(sumI / 3 * 1000);
    r[I1 + 4] = U16(std::abs(i[0] + i[1] + i[2]) * 1000);

    double pSum = 0, qSum = 0, sSum = 0;
    for (int k = 0; k < 3; ++k) {
        const Phasor power = v[k] * std::conj(i[k]);
        r[P1 + k] = S16(power.real());
        r[Q1 + k] = S16(power.imag());
        r[S1 + k] = U16(std::abs(power));
        // A phase without voltage has no power and reads unity power factor.
        r[Pf1 + k] = S16(std::abs(power) > 0 ? power.real() / std::abs(power) * 1000 : 1000);
        pSum += power.real();
        qSum += power.imag();
        sSum += std::abs(power);
    }
    r[P1 + 3] = S16(pSum);
    r[Q1 + 3] = S16(qSum);
    r[S1 + 3] = U16(sSum);
    r[Pf1 + 3] = S16(sSum > 0 ? pSum / sSum * 1000 : 1000);
    r[VoltageUnbalance] = U16(Unbalance(volts) * 10);
    r[CurrentUnbalance] = U16(Unbalance(amps) * 10);
    // The load letter follows the reactive power: inductive lags, capacitive leads.
    r[LoadType] = qSum > 0 ? 'L' : qSum < 0 ? 'C' : 'R';
    r[DemandP] = S16(demand_[0]);
    r[DemandQ] = S16(demand_[1]);
    r[DemandS] = U16(demand_[2]);

    r[PhaseAngles + 0] = U16(LagDegrees(v[0], v[1]) * 10);
    r[PhaseAngles + 1] = U16(LagDegrees(v[0], v[2]) * 10);
    r[PhaseAngles + 2] = U16(LagDegrees(v[0], i[0]) * 10);
    r[PhaseAngles + 3] = U16(LagDegrees(v[0], i[1]) * 10);
    r[PhaseAngles + 4] = U16(LagDegrees(v[0], i[2]) * 10);
    r[PhaseAngles + 5] = U16(LagDegrees(line[0], line[1]) * 10);
    r[PhaseAngles + 6] = U16(LagDegrees(line[0], i[0]) * 10);
    r[PhaseAngles + 7] = U16(LagDegrees(line[0], i[2]) * 10);
    for (int k = 0; k < 8; ++k)
        if (r[PhaseAngles + k] >= 3600)
            r[PhaseAngles + k] -= 3600; // 359.95 rounds up to 360.0
}

void MeterModel::refreshEnergy() {
    for (int k = 0; k < EnergyCounters; ++k) {
        // A counter shows a tenth once the whole tenth has been counted, in either
        // direction: a net counter that has just gone below zero still reads 0.0. The
        // nudge keeps preset values such as -1.0 from losing a tenth to rounding.
        const double scaled = energy_.kwh[k] * 10.0;
        const auto tenths =
            static_cast<std::int64_t>(std::trunc(scaled + std::copysign(1e-6, scaled)));
        const auto v = static_cast<std::uint32_t>(tenths);
        image_[EnergyFirst + 2 * k] = static_cast<std::uint16_t>(v >> 16);
        image_[EnergyFirst + 2 * k + 1] = static_cast<std::uint16_t>(v & 0xFFFF);
    }
}

void MeterModel::refreshDistortion() {
    const auto& s = physics_.state();
    double thdV = 0, thdI = 0;
    for (int ph = 0; ph < 3; ++ph) {
        double oddV = 0, evenV = 0, oddI = 0, evenI = 0, kNum = 1.0, kDen = 1.0;
        const std::uint16_t vBase = VoltageSpectrum + ph * VoltageSpectrumPerPhase;
        const std::uint16_t iBase = CurrentSpectrum + ph * CurrentSpectrumPerPhase;
        for (int n = 2; n <= 31; ++n) {
            const double hv = s.voltageHarmonics[ph][n];
            const double hi = s.currentHarmonics[ph][n];
            (n % 2 ? oddV : evenV) += hv * hv;
            (n % 2 ? oddI : evenI) += hi * hi;
            kNum += (hi / 100) * (hi / 100) * n * n;
            kDen += (hi / 100) * (hi / 100);
            image_[vBase + n - 2] = U16(hv * 100);
            image_[iBase + n - 2] = U16(hi * 100);
        }
        const double tv = std::sqrt(oddV + evenV);
        const double ti = std::sqrt(oddI + evenI);
        image_[vBase + 30] = U16(std::sqrt(oddV) * 100);
        image_[vBase + 31] = U16(std::sqrt(evenV) * 100);
        image_[vBase + 32] = U16(std::numbers::sqrt2 * (1.0 + 0.3 * tv / 100) * 100); // crest
        image_[vBase + 33] = U16(tv * 0.6 * 100); // telephone interference
        image_[iBase + 30] = U16(std::sqrt(oddI) * 100);
        image_[iBase + 31] = U16(std::sqrt(evenI) * 100);
        image_[iBase + 32] = U16(kNum / kDen * 10); // K factor
        image_[Thd + ph] = U16(tv * 100);
        image_[Thd + 4 + ph] = U16(ti * 100);
        thdV += tv / 3;
        thdI += ti / 3;
    }
    image_[Thd + 3] = U16(thdV * 100);
    image_[Thd + 7] = U16(thdI * 100);
}

void MeterModel::refreshStatistics() {
    for (int r = 0; r < ExtremeRecords; ++r) {
        for (const auto& [base, rec] : {std::pair{MaxRecords, &max_[r]}, {MinRecords, &min_[r]}}) {
            const int at = base + ExtremeRecordSize * r;
            image_[at] = rec->value;
            for (int k = 0; k < 6; ++k)
                image_[at + 1 + k] = rec->stamp[k];
        }
    }
}

std::array<std::uint16_t, 6> MeterModel::clockStamp(bool twoDigitYear) const {
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(nowMs_ + clockOffsetMs_);
    const QDate d = t.date();
    const QTime c = t.time();
    const int year = twoDigitYear ? d.year() % 100 : d.year();
    return {static_cast<std::uint16_t>(year),       static_cast<std::uint16_t>(d.month()),
            static_cast<std::uint16_t>(d.day()),    static_cast<std::uint16_t>(c.hour()),
            static_cast<std::uint16_t>(c.minute()), static_cast<std::uint16_t>(c.second())};
}

void MeterModel::refreshClockAndRunTime() {
    const auto now = clockStamp(false);
    std::copy(now.begin(), now.end(), image_.begin() + Clock);
    const auto hundredths = static_cast<std::uint32_t>(std::floor(runHours_ * 100.0));
    image_[RunTime] = static_cast<std::uint16_t>(hundredths >> 16);
    image_[RunTime + 1] = static_cast<std::uint16_t>(hundredths & 0xFFFF);
}

void MeterModel::refreshAlarms() {
    std::copy(alarmConfig_.begin(), alarmConfig_.end(), image_.begin() + AlarmEnable);
    std::uint16_t state = 0;
    for (int g = 0; g < AlarmGroupCount; ++g)
        if (alarmGroups_[g].active)
            state |= static_cast<std::uint16_t>(1u << g);
    image_[AlarmState] = state;
    for (int r = 0; r < 9; ++r) {
        const int at = AlarmRecords + AlarmRecordSize * r;
        const AlarmRecord rec =
            r < static_cast<int>(alarmRecords_.size()) ? alarmRecords_[r] : AlarmRecord{};
        image_[at] = rec.event;
        image_[at + 1] = rec.value;
        for (int k = 0; k < 6; ++k)
            image_[at + 2 + k] = rec.stamp[k];
    }
}

void MeterModel::refreshModelBlock() {
    const char version[] = "1.20";
    for (int k = 0; k < 4; ++k)
        image_[Version + k] = static_cast<std::uint8_t>(version[k]);
    image_[Temperature] = S16(physics_.state().temperatureC * 10);
    std::copy(coefficients_.begin(), coefficients_.end(), image_.begin() + CoefficientsFirst);
}

void MeterModel::refreshRawVectors() {
    // The meter sits on a calibration bench: a reference source feeds rated
    // voltage (by the PT type: 100 V or 380 V) and 100 % or 10 % of rated current
    // at unity power factor. Each channel's raw vector carries its own gain and
    // phase error, reduced by the coefficients of the range in use.
    const bool pt380 = coefficients_[PtType - CoefficientsFirst] == 1;
    const bool low = lowCurrentReference_;
    auto coef = [this](std::uint16_t reg) {
        return static_cast<double>(AsSigned(coefficients_[reg - CoefficientsFirst]));
    };
    auto pick = [](bool first, int a, int b) { return static_cast<std::uint16_t>(first ? a : b); };
    const double refV = pt380 ? 3800.0 : 1000.0;
    const double refI = low ? 500.0 : 5000.0;
    const std::uint16_t gainReg[6] = {pick(pt380, 0x520, 0x51B), pick(pt380, 0x521, 0x51C),
                                      pick(pt380, 0x522, 0x51D), pick(low, 0x526, 0x523),
                                      pick(low, 0x527, 0x524),   pick(low, 0x528, 0x525)};
    // Voltage A is the reference and has no angle constant.
    const std::uint16_t angleReg[6] = {0,
                                       pick(pt380, 0x52D, 0x51E),
                                       pick(pt380, 0x52F, 0x51F),
                                       pick(low, 0x531, 0x52C),
                                       pick(low, 0x532, 0x52E),
                                       pick(low, 0x533, 0x530)};
    const double trueAngle[6] = {0, 120, 240, 0, 120, 240};
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int ch = 0; ch < 6; ++ch) {
        const double ref = ch < 3 ? refV : refI;
        const auto& err = channelErrors_[ch];
        const double magnitude = ref * (1.0 + err.gain + coef(gainReg[ch]) / 65535.0);
        const double angle =
            trueAngle[ch] + err.degrees + (angleReg[ch] ? coef(angleReg[ch]) / 1000.0 : 0.0);
        const Phasor z = std::polar(magnitude, angle * Deg);
        image_[RawVectors + 2 * ch] = S16(z.real() + noise(physics_.random()));
        image_[RawVectors + 2 * ch + 1] = S16(z.imag() + noise(physics_.random()));
    }
}

void MeterModel::clearExtremes() {
    const auto stamp = clockStamp(true);
    for (int r = 0; r < ExtremeRecords; ++r) {
        max_[r] = {image_[ExtremeSources[r].reg], stamp};
        min_[r] = max_[r];
    }
}

void MeterModel::updateExtremes() {
    const auto stamp = clockStamp(true);
    for (int r = 0; r < ExtremeRecords; ++r) {
        const Watched source = ExtremeSources[r];
        const std::uint16_t now = image_[source.reg];
        auto value = [source](std::uint16_t v) { return source.isSigned ? AsSigned(v) : int{v}; };
        if (value(now) > value(max_[r].value))
            max_[r] = {now, stamp};
        if (value(now) < value(min_[r].value))
            min_[r] = {now, stamp};
    }
}

void MeterModel::evaluateAlarms() {
    const std::uint16_t enable = alarmConfig_[0];
    const std::int64_t delayMs = 300LL * alarmConfig_[AlarmDelay - AlarmEnable];
    for (int g = 0; g < AlarmGroupCount; ++g) {
        auto& st = alarmGroups_[g];
        const int base = AlarmGroups - AlarmEnable + 3 * g;
        const int item = alarmConfig_[base];
        if (!(enable & (1u << g)) || item >= AlarmItemCount) {
            st = {};
            continue;
        }
        const AlarmSource src = AlarmItemSource(item);
        const std::uint16_t raw = image_[src.reg];
        const int value = (src.isSigned ? AsSigned(raw) : int{raw}) * src.factor;
        const std::uint16_t limitRaw = alarmConfig_[base + 2];
        const int limit = src.isSigned ? AsSigned(limitRaw) : int{limitRaw};
        const bool above = alarmConfig_[base + 1] == 1;
        const bool crossed = above ? value > limit : value < limit;

        auto record = [&](bool reset) {
            AlarmRecord rec;
            rec.event = static_cast<std::uint16_t>(item | (reset ? 0x8000 : 0));
            rec.value = static_cast<std::uint16_t>(value);
            rec.stamp = clockStamp(true);
            alarmRecords_.insert(alarmRecords_.begin(), rec);
            if (alarmRecords_.size() > 9)
                alarmRecords_.pop_back();
        };
        if (crossed && !st.active) {
            if (!st.pending) {
                st.pending = true;
                st.pendingSinceMs = nowMs_;
            }
            if (nowMs_ - st.pendingSinceMs >= delayMs) {
                st.active = true;
                st.pending = false;
                record(false);
            }
        } else if (!crossed) {
            st.pending = false;
            if (st.active) {
                st.active = false;
                record(true);
            }
        }
    }
}

std::uint16_t MeterModel::reg(std::uint16_t address) const {
    return address < image_.size() ? image_[address] : 0;
}

MeterError MeterModel::readCoils(std::uint16_t start, std::uint16_t count,
                                 std::vector<bool>& out) const {
    if (!Inside(start, count, 0, relays_.size() - 1))
        return MeterError::IllegalAddress;
    out.assign(relays_.begin() + start, relays_.begin() + start + count);
    return MeterError::None;
}

MeterError MeterModel::readInputs(std::uint16_t start, std::uint16_t count,
                                  std::vector<bool>& out) const {
    if (!Inside(start, count, 0, inputs_.size() - 1))
        return MeterError::IllegalAddress;
    out.assign(inputs_.begin() + start, inputs_.begin() + start + count);
    return MeterError::None;
}

MeterError MeterModel::writeCoil(std::uint16_t coil, bool on) {
    if (coil >= relays_.size())
        return MeterError::IllegalAddress;
    if (on && !relays_[coil])
        relayOnSinceMs_[coil] = nowMs_;
    relays_[coil] = on;
    return MeterError::None;
}

MeterError MeterModel::readRegisters(std::uint16_t start, std::uint16_t count,
                                     std::vector<std::uint16_t>& out) const {
    const bool inMap =
        std::any_of(std::begin(ReadableAreas), std::end(ReadableAreas),
                    [&](const Area& a) { return Inside(start, count, a.first, a.last); });
    if (!inMap)
        return MeterError::IllegalAddress;
    out.assign(image_.begin() + start, image_.begin() + start + count);
    return MeterError::None;
}

MeterError MeterModel::writeRegisters(std::uint16_t start,
                                      std::span<const std::uint16_t> requested) {
    // The ignored register keeps what it holds; the rest of the write goes ahead.
    std::vector<std::uint16_t> kept(requested.begin(), requested.end());
    if (ignoredWrite_ >= start && ignoredWrite_ < start + static_cast<int>(kept.size()) &&
        ignoredWrite_ < static_cast<int>(image_.size()))
        kept[ignoredWrite_ - start] = image_[ignoredWrite_];
    const std::span<const std::uint16_t> values(kept);
    const std::size_t n = values.size();
    MeterError result = MeterError::IllegalAddress;
    if (Inside(start, n, SettingsFirst, ResetRunTime))
        result = writeSettings(start, values);
    else if (Inside(start, n, EnergyFirst, EnergyLast))
        result = writeEnergy(start, values);
    else if (Inside(start, n, Clock, ClockLast))
        result = writeClock(start, values);
    else if (Inside(start, n, AlarmEnable, AlarmLast))
        result = writeAlarmConfig(start, values);
    if (result == MeterError::None)
        refreshImage();
    return result;
}

MeterError MeterModel::writeSettings(std::uint16_t start, std::span<const std::uint16_t> values) {
    auto next = settings_;
    std::uint16_t clearCommand = 0, resetCommand = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::uint16_t reg = static_cast<std::uint16_t>(start + k);
        if (reg == ClearStatistics)
            clearCommand = values[k];
        else if (reg == ResetRunTime)
            resetCommand = values[k];
        else
            next[reg - SettingsFirst] = values[k];
    }
    auto at = [&next](std::uint16_t reg) { return next[reg - SettingsFirst]; };
    // PT1 is an unsigned primary voltage: 0..4294967295 V, 0 refused.
    const std::uint32_t pt1 = (std::uint32_t{at(Pt1High)} << 16) | at(Pt1Low);
    const bool valid = at(Address) >= 1 && at(Address) <= 247 &&
                       std::find(std::begin(Bauds), std::end(Bauds), at(Baud)) != std::end(Bauds) &&
                       at(VoltageWiring) <= 2 && at(CurrentWiring) <= 2 && pt1 > 0 && at(Pt2) > 0 &&
                       at(Ct1) > 0 && at(DoMode) <= 1 && at(Do1Source) <= 8 && at(Do2Source) <= 8 &&
                       at(PulseWidth) >= 1 && at(PulseWidth) <= 50 && at(Ro1Mode) <= 1 &&
                       at(Ro2Mode) <= 1 && at(BacklightTime) <= 120 && at(DemandWindow) >= 1 &&
                       at(DemandWindow) <= 30;
    auto validCommand = [](std::uint16_t v) { return v == 0 || v == CommandValue; };
    if (!valid || !validCommand(clearCommand) || !validCommand(resetCommand))
        return MeterError::IllegalValue;

    settings_ = next;
    if (clearCommand == CommandValue) {
        refreshLive();
        clearExtremes();
    }
    if (resetCommand == CommandValue)
        runHours_ = 0.0;
    return MeterError::None;
}

MeterError MeterModel::writeEnergy(std::uint16_t start, std::span<const std::uint16_t> values) {
    std::array<std::uint16_t, 2 * EnergyCounters> regs{};
    std::copy_n(image_.begin() + EnergyFirst, regs.size(), regs.begin());
    std::array<bool, EnergyCounters> touched{};
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::size_t at = start - EnergyFirst + k;
        regs[at] = values[k];
        touched[at / 2] = true;
    }
    for (int c = 0; c < EnergyCounters; ++c) {
        if (!touched[c])
            continue;
        const auto v =
            static_cast<std::int32_t>((std::uint32_t{regs[2 * c]} << 16) | regs[2 * c + 1]);
        energy_.kwh[c] = v / 10.0;
    }
    return MeterError::None;
}

MeterError MeterModel::writeClock(std::uint16_t start, std::span<const std::uint16_t> values) {
    auto stamp = clockStamp(false);
    for (std::size_t k = 0; k < values.size(); ++k)
        stamp[start - Clock + k] = values[k];
    const QDate date(stamp[0], stamp[1], stamp[2]);
    const QTime time(stamp[3], stamp[4], stamp[5]);
    // Records keep two-digit years, so the clock stays within one century.
    if (stamp[0] < 2000 || stamp[0] > 2099 || !date.isValid() || !time.isValid())
        return MeterError::IllegalValue;
    clockOffsetMs_ = QDateTime(date, time).toMSecsSinceEpoch() - nowMs_;
    return MeterError::None;
}

MeterError MeterModel::writeAlarmConfig(std::uint16_t start,
                                        std::span<const std::uint16_t> values) {
    auto next = alarmConfig_;
    for (std::size_t k = 0; k < values.size(); ++k)
        next[start - AlarmEnable + k] = values[k];
    bool valid = next[0] <= 0x1FF && next[AlarmDelay - AlarmEnable] <= 255 &&
                 next[AlarmDo1 - AlarmEnable] <= 0x1FF && next[AlarmDo2 - AlarmEnable] <= 0x1FF;
    for (int g = 0; g < AlarmGroupCount; ++g) {
        const int base = AlarmGroups - AlarmEnable + 3 * g;
        valid = valid && next[base] < AlarmItemCount && next[base + 1] <= 1;
    }
    if (!valid)
        return MeterError::IllegalValue;
    // New alarm parameters start the record list afresh. A group that keeps watching the
    // same quantity stays in alarm until the new limit clears it, which is then recorded
    // as its reset.
    std::array<AlarmGroupState, AlarmGroupCount> carried{};
    for (int g = 0; g < AlarmGroupCount; ++g) {
        const int item = AlarmGroups - AlarmEnable + 3 * g;
        const bool stillWatched =
            (alarmConfig_[0] & next[0] & (1u << g)) != 0 && alarmConfig_[item] == next[item];
        carried[g].active = stillWatched && alarmGroups_[g].active;
    }
    alarmConfig_ = next;
    alarmRecords_.clear();
    alarmGroups_ = carried;
    evaluateAlarms();
    return MeterError::None;
}

MeterError MeterModel::writeCoefficients(std::uint16_t start,
                                         std::span<const std::uint16_t> values) {
    if (!Inside(start, values.size(), CoefficientsFirst, CoefficientsLast))
        return MeterError::IllegalAddress;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const auto reg = static_cast<std::uint16_t>(start + k);
        if (reg >= SystemFrequency && reg <= PtType && values[k] > 1)
            return MeterError::IllegalValue;
    }
    std::copy(values.begin(), values.end(), coefficients_.begin() + (start - CoefficientsFirst));
    refreshImage();
    return MeterError::None;
}
