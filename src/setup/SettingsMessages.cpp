#include "SettingsMessages.h"

#include "SessionState.h"

QString WriteRegistersMessage(quint16 start, const QList<quint16>& registers) {
    const auto count = quint16(registers.size());
    QList<quint8> bytes = {0x00,
                           0x10,
                           quint8(start >> 8),
                           quint8(start),
                           quint8(count >> 8),
                           quint8(count),
                           quint8(2 * count)};
    for (const quint16 r : registers)
        bytes << quint8(r >> 8) << quint8(r);
    QString message;
    for (const quint8 b : bytes)
        message += QStringLiteral("%1,").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return message + QStringLiteral("00,00");
}

// ---------------------------------------------------------------- meter settings

namespace {

QStringList Numbers(int first, int last, int step = 1) {
    QStringList items;
    for (int n = first; n <= last; n += step)
        items << QString::number(n);
    return items;
}

// One field of the window and the register(s) it goes to.
struct SettingsField {
    enum class Kind { Number, List };
    int offset; // register offset from 0x100; PT1 takes two
    Kind kind;
    const char* control;
    const char* caption;
    // Number: the range. List: the register is the item index plus `min` (the baud
    // rate list is the exception: its register is the item's number).
    quint64 min = 0;
    quint64 max = 0xFFFF;
    // Why 0 cannot be written even where the register would hold it.
    const char* zeroReason = nullptr;
};

using K = SettingsField::Kind;
// In register order.
// clang-format off
const SettingsField kFields[] = {
    {0x00, K::Number, "EditPassWord",    "Access Code:"},
    {0x01, K::List,   "ComboAddr",       "Meter Address:", 1},
    {0x02, K::List,   "ComboBaudRate",   "Baud Rate:"},
    {0x03, K::List,   "ComboUWire",      "Voltage Wiring:"},
    {0x04, K::List,   "ComboIWire",      "Current Wiring:"},
    {0x05, K::Number, "EditPT1",         "PT1", 0, 0xFFFFFFFFu},
    {0x07, K::Number, "EditPT2",         "PT2", 1, 0xFFFF,
     "A PT secondary of 0 would make the PT ratio PT1/PT2 infinite."},
    {0x08, K::Number, "EditCT1",         "CT1", 1, 0xFFFF,
     "A CT primary of 0 would make the CT ratio zero and every current and power show as 0."},
    {0x09, K::List,   "ComboDOWork",     "DO Mode:"},
    {0x0A, K::List,   "ComboDO1Output",  "DO1 (Pulse) Selecting:"},
    {0x0B, K::List,   "ComboDO2Output",  "DO2 (Pulse) Selecting:"},
    {0x0C, K::List,   "ComboPulseWidth", "Pulse Width:", 1},
    {0x0D, K::Number, "EditPulseConst",  "Pulse Rate:"},
    {0x0E, K::List,   "ComboRO1Mode",    "RO1-Output Mode:"},
    {0x0F, K::Number, "EditRO1Time",     "RO1-Momentary On Time:"},
    {0x10, K::List,   "ComboRO2Mode",    "RO2-Output Mode:"},
    {0x11, K::Number, "EditRO2Time",     "RO2-Momentary On Time:"},
    {0x12, K::List,   "ComboLightTime",  "Backlight On Time:"},
    {0x13, K::List,   "ComboDemaTime",   "Demand Window Width:", 1},
};
// clang-format on

// The form's member of a field, text or index.
QString* EditOf(MeterSettingsForm& f, int offset) {
    switch (offset) {
    case 0x00:
        return &f.accessCode;
    case 0x05:
        return &f.pt1;
    case 0x07:
        return &f.pt2;
    case 0x08:
        return &f.ct1;
    case 0x0D:
        return &f.pulseConst;
    case 0x0F:
        return &f.ro1Time;
    case 0x11:
        return &f.ro2Time;
    default:
        return nullptr;
    }
}

int* ListOf(MeterSettingsForm& f, int offset) {
    switch (offset) {
    case 0x01:
        return &f.address;
    case 0x02:
        return &f.baudRate;
    case 0x03:
        return &f.voltageWiring;
    case 0x04:
        return &f.currentWiring;
    case 0x09:
        return &f.doWork;
    case 0x0A:
        return &f.do1Output;
    case 0x0B:
        return &f.do2Output;
    case 0x0C:
        return &f.pulseWidth;
    case 0x0E:
        return &f.ro1Mode;
    case 0x10:
        return &f.ro2Mode;
    case 0x12:
        return &f.lightTime;
    case 0x13:
        return &f.demandTime;
    default:
        return nullptr;
    }
}

QStringList ItemsOf(int offset) {
    switch (offset) {
    case 0x01:
        return AddressItems();
    case 0x02:
        return BaudRateItems();
    case 0x03:
        return VoltageWiringItems();
    case 0x04:
        return CurrentWiringItems();
    case 0x09:
        return DoModeItems();
    case 0x0A:
    case 0x0B:
        return PulseSourceItems();
    case 0x0C:
        return PulseWidthItems();
    case 0x0E:
    case 0x10:
        return RelayModeItems();
    case 0x12:
        return BacklightItems();
    case 0x13:
        return DemandWindowItems();
    default:
        return {};
    }
}

// The baud rate list's index for a rate; rates it does not hold show as 9600.
int BaudRateIndex(quint16 rate) {
    const int at = BaudRateItems().indexOf(QString::number(rate));
    return at >= 0 ? at : 2;
}

} // namespace

QStringList BaudRateItems() {
    return {"38400", "19200", "9600", "4800", "2400", "1200", "600"};
}
QStringList VoltageWiringItems() {
    return {"3LN", "2LN", "2LL"};
}
QStringList CurrentWiringItems() {
    return {"3CT", "1CT", "2CT"};
}
QStringList AddressItems() {
    return Numbers(1, 247);
}
QStringList PulseSourceItems() {
    return {"None", "Ep+", "Ep-", "Eq+", "Eq-", "Ept", "Epn", "Eqt", "Eqn"};
}
QStringList RelayModeItems() {
    return {"Latch", "Momentary"};
}
QStringList PulseWidthItems() {
    return Numbers(20, 1000, 20);
}
QStringList BacklightItems() {
    return Numbers(0, 120);
}
QStringList DemandWindowItems() {
    return Numbers(1, 30);
}
QStringList DoModeItems() {
    return {"Energy Pulse", "Alarm Output"};
}

MeterSettingsForm InitialMeterSettingsForm() {
    MeterSettingsForm f;
    f.baudRate = 2;
    f.voltageWiring = 0;
    f.currentWiring = 0;
    f.address = 0;
    f.do1Output = 0;
    f.do2Output = 0;
    f.ro1Mode = 0;
    f.ro2Mode = 0;
    return f;
}

MeterSettingsCheck CheckMeterSettings(const MeterSettingsForm& form) {
    MeterSettingsForm f = form;
    MeterSettingsRegisters regs{};
    for (const SettingsField& field : kFields) {
        const QString caption = QString::fromLatin1(field.caption);
        const QString control = QString::fromLatin1(field.control);
        if (field.kind == K::Number) {
            const QString& text = *EditOf(f, field.offset);
            const auto value = ParseWholeNumber(text, field.min, field.max);
            if (!value) {
                QString message = WholeNumberProblem(caption, text, field.min, field.max);
                if (field.zeroReason && ParseWholeNumber(text, 0, 0))
                    message += QLatin1Char(' ') + QString::fromLatin1(field.zeroReason);
                return {std::nullopt, {control, message}};
            }
            if (field.max > 0xFFFF) {
                regs[field.offset] = quint16(*value >> 16);
                regs[field.offset + 1] = quint16(*value & 0xFFFF);
            } else {
                regs[field.offset] = quint16(*value);
            }
            continue;
        }
        const int index = *ListOf(f, field.offset);
        const QStringList items = ItemsOf(field.offset);
        if (field.offset == 0x13 && index < 0 && f.keptDemandWindow) {
            regs[field.offset] = *f.keptDemandWindow;
            continue;
        }
        if (index < 0 || index >= items.size())
            return {std::nullopt, {control, NoSelectionProblem(caption)}};
        regs[field.offset] =
            field.offset == 0x02 ? quint16(items[index].toUInt()) : quint16(index + int(field.min));
    }
    return {regs, {}};
}

QString MeterSettingsMessage(const MeterSettingsRegisters& registers) {
    return WriteRegistersMessage(MeterSettingsStart,
                                 QList<quint16>(registers.begin(), registers.end()));
}

std::optional<MeterSettingsForm> MeterSettingsFill(const QList<quint16>& values) {
    if (values.size() < MeterSettingsCount)
        return std::nullopt;
    MeterSettingsForm f;
    for (const SettingsField& field : kFields) {
        const quint16 v = values[field.offset];
        if (field.kind == K::Number) {
            const quint64 number =
                field.max > 0xFFFF ? (quint64(v) << 16) | values[field.offset + 1] : quint64(v);
            *EditOf(f, field.offset) = QString::number(number);
            continue;
        }
        if (field.offset == 0x02) {
            f.baudRate = BaudRateIndex(v);
            continue;
        }
        const int index = int(v) - int(field.min);
        *ListOf(f, field.offset) = index >= 0 && index < ItemsOf(field.offset).size() ? index : -1;
    }
    return f;
}

quint32 BaudRateOfIndex(int index) {
    const QStringList items = BaudRateItems();
    return index >= 0 && index < items.size() ? items[index].toUInt() : 0;
}

void NoteSettingsWrite(SessionState& state, const MeterSettingsRegisters& registers) {
    const quint16 address = registers[0x01];
    const quint16 baud = registers[0x02];
    if (address != state.MeterAddress) {
        state.MeterAddress = address;
        state.AddressChangePending = true;
    }
    if (baud != state.MeterBaudRate) {
        state.MeterBaudRate = baud;
        state.BaudChangePending = true;
    }
}

void NoteSettingsRead(SessionState& state, const QList<quint16>& values,
                      const MeterSettingsForm& shown) {
    if (values.size() > 0x01)
        state.MeterAddress = values[0x01];
    state.MeterBaudRate = BaudRateOfIndex(shown.baudRate);
}

QString MeterSettingsCaption(const QString& control) {
    for (const SettingsField& field : kFields)
        if (control == QLatin1String(field.control))
            return QString::fromLatin1(field.caption);
    return {};
}

// ---------------------------------------------------------------- energy presets

QStringList EnergyPresetCaptions() {
    return {"Energy Ep_imp:",
            "Energy Ep_exp:",
            "Reactive Energy Eq_imp:",
            "Reactive Energy Eq_exp:",
            "Energy Ep_total:",
            "Energy Ep_net:",
            "Reactive Energy Eq_total:",
            "Reactive Energy Eq_net:"};
}

EnergyPresetCheck CheckEnergyPresets(const QStringList& texts, const QLocale& locale) {
    const QStringList captions = EnergyPresetCaptions();
    EnergyPresets presets{};
    for (int i = 0; i < EnergyCounterCount; ++i) {
        const QString text = i < texts.size() ? texts[i] : QString();
        const auto tenths = ParseEnergyTenths(text, locale);
        if (!tenths)
            return {
                std::nullopt,
                {QStringLiteral("Edit%1").arg(i + 1), EnergyProblem(captions[i], text, locale)}};
        presets[i] = *tenths;
    }
    return {presets, {}};
}

QString EnergyPresetMessage(const EnergyPresets& presets) {
    QList<quint16> regs;
    for (const qint32 v : presets) {
        const auto bits = quint32(v);
        regs << quint16(bits >> 16) << quint16(bits & 0xFFFF);
    }
    return WriteRegistersMessage(EnergyPresetStart, regs);
}
