#include "SettingsMessages.h"

#include "SessionState.h"

#include <QCoreApplication>

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

// One field of the window and the register(s) it goes to: an edit holding a number, or a
// list whose register is the item index plus `min` (the baud rate list is the exception:
// its register is the item's number).
struct SettingsField {
    int offset; // from 0x100; PT1 takes two registers
    const char* control;
    const char* caption;
    QString MeterSettingsForm::*edit = nullptr;
    int MeterSettingsForm::*list = nullptr;
    QStringList (*items)() = nullptr;
    quint64 min = 0;
    quint64 max = 0xFFFF;
    // Why 0 cannot be written even where the register would hold it.
    const char* zeroReason = nullptr;
};

using F = MeterSettingsForm;
constexpr quint16 kBaudOffset = 0x02;
constexpr quint16 kDemandOffset = 0x13;

// In register order. The captions are the window's own; the configuration files name the
// settings by the untranslated caption, the operator reads the translated one.
// clang-format off
const SettingsField kFields[] = {
    {0x00, "EditPassWord",    QT_TRANSLATE_NOOP("FormSetPara", "Access Code:"),            &F::accessCode},
    {0x01, "ComboAddr",       QT_TRANSLATE_NOOP("FormSetPara", "Meter Address:"),          nullptr, &F::address, AddressItems, 1},
    {0x02, "ComboBaudRate",   QT_TRANSLATE_NOOP("FormSetPara", "Baud Rate:"),              nullptr, &F::baudRate, BaudRateItems},
    {0x03, "ComboUWire",      QT_TRANSLATE_NOOP("FormSetPara", "Voltage Wiring:"),         nullptr, &F::voltageWiring, VoltageWiringItems},
    {0x04, "ComboIWire",      QT_TRANSLATE_NOOP("FormSetPara", "Current Wiring:"),         nullptr, &F::currentWiring, CurrentWiringItems},
    {0x05, "EditPT1",         QT_TRANSLATE_NOOP("FormSetPara", "PT1"),                     &F::pt1, nullptr, nullptr, 0, 0xFFFFFFFFu},
    {0x07, "EditPT2",         QT_TRANSLATE_NOOP("FormSetPara", "PT2"),                     &F::pt2, nullptr, nullptr, 1, 0xFFFF,
     QT_TRANSLATE_NOOP("SettingsMessages",
                       "A PT secondary of 0 would make the PT ratio PT1/PT2 infinite.")},
    {0x08, "EditCT1",         QT_TRANSLATE_NOOP("FormSetPara", "CT1"),                     &F::ct1, nullptr, nullptr, 1, 0xFFFF,
     QT_TRANSLATE_NOOP("SettingsMessages",
                       "A CT primary of 0 would make the CT ratio zero and every current and power show as 0.")},
    {0x09, "ComboDOWork",     QT_TRANSLATE_NOOP("FormSetPara", "DO Mode:"),                nullptr, &F::doWork, DoModeItems},
    {0x0A, "ComboDO1Output",  QT_TRANSLATE_NOOP("FormSetPara", "DO1 (Pulse) Selecting:"),  nullptr, &F::do1Output, PulseSourceItems},
    {0x0B, "ComboDO2Output",  QT_TRANSLATE_NOOP("FormSetPara", "DO2 (Pulse) Selecting:"),  nullptr, &F::do2Output, PulseSourceItems},
    {0x0C, "ComboPulseWidth", QT_TRANSLATE_NOOP("FormSetPara", "Pulse Width:"),            nullptr, &F::pulseWidth, PulseWidthItems, 1},
    {0x0D, "EditPulseConst",  QT_TRANSLATE_NOOP("FormSetPara", "Pulse Rate:"),             &F::pulseConst},
    {0x0E, "ComboRO1Mode",    QT_TRANSLATE_NOOP("FormSetPara", "RO1-Output Mode:"),        nullptr, &F::ro1Mode, RelayModeItems},
    {0x0F, "EditRO1Time",     QT_TRANSLATE_NOOP("FormSetPara", "RO1-Momentary On Time:"),  &F::ro1Time},
    {0x10, "ComboRO2Mode",    QT_TRANSLATE_NOOP("FormSetPara", "RO2-Output Mode:"),        nullptr, &F::ro2Mode, RelayModeItems},
    {0x11, "EditRO2Time",     QT_TRANSLATE_NOOP("FormSetPara", "RO2-Momentary On Time:"),  &F::ro2Time},
    {0x12, "ComboLightTime",  QT_TRANSLATE_NOOP("FormSetPara", "Backlight On Time:"),      nullptr, &F::lightTime, BacklightItems},
    {0x13, "ComboDemaTime",   QT_TRANSLATE_NOOP("FormSetPara", "Demand Window Width:"),    nullptr, &F::demandTime, DemandWindowItems, 1},
};
// clang-format on

QString ShownCaption(const SettingsField& field) {
    return QCoreApplication::translate("FormSetPara", field.caption);
}

QString ShownZeroReason(const SettingsField& field) {
    return QCoreApplication::translate("SettingsMessages", field.zeroReason);
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

MeterSettingsCheck CheckMeterSettings(const MeterSettingsForm& form, const QLocale& locale) {
    MeterSettingsRegisters regs{};
    for (const SettingsField& field : kFields) {
        const QString caption = ShownCaption(field);
        const QString control = QString::fromLatin1(field.control);
        if (field.edit != nullptr) {
            const QString& text = form.*field.edit;
            const auto value = ParseWholeNumber(text, field.min, field.max, locale);
            if (!value) {
                QString message = WholeNumberProblem(caption, text, field.min, field.max, locale);
                if (field.zeroReason && ParseWholeNumber(text, 0, 0, locale))
                    message += QLatin1Char(' ') + ShownZeroReason(field);
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
        const int index = form.*field.list;
        const QStringList items = field.items();
        if (field.offset == kDemandOffset && index < 0 && form.keptDemandWindow) {
            regs[field.offset] = *form.keptDemandWindow;
            continue;
        }
        if (index < 0 || index >= items.size())
            return {std::nullopt, {control, NoSelectionProblem(caption)}};
        regs[field.offset] = field.offset == kBaudOffset ? quint16(items[index].toUInt())
                                                         : quint16(index + int(field.min));
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
        if (field.edit != nullptr) {
            const quint64 number =
                field.max > 0xFFFF ? (quint64(v) << 16) | values[field.offset + 1] : quint64(v);
            f.*field.edit = QString::number(number);
        } else if (field.offset == kBaudOffset) {
            f.*field.list = BaudRateIndex(v);
        } else {
            const int index = int(v) - int(field.min);
            f.*field.list = index >= 0 && index < field.items().size() ? index : -1;
        }
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
            return ShownCaption(field);
    return {};
}

QList<MeterSettingView> ViewMeterSettings(const MeterSettingsRegisters& registers) {
    const QList<quint16> values(registers.begin(), registers.end());
    const MeterSettingsForm form = *MeterSettingsFill(values);
    QList<MeterSettingView> views;
    for (const SettingsField& field : kFields) {
        MeterSettingView view;
        QString caption = QString::fromLatin1(field.caption);
        view.name = caption.endsWith(QLatin1Char(':')) ? caption.chopped(1) : caption;
        view.shownName = CaptionName(ShownCaption(field));
        view.offset = field.offset;
        view.count = field.max > 0xFFFF ? 2 : 1;
        const quint16 raw = registers[field.offset];
        if (field.edit != nullptr) {
            view.text = form.*field.edit;
            if (!ParseWholeNumber(view.text, field.min, field.max)) {
                view.problem =
                    QCoreApplication::translate("SettingsMessages", "%1 is outside %2..%3.")
                        .arg(view.text)
                        .arg(field.min)
                        .arg(field.max);
                if (field.zeroReason)
                    view.problem += QLatin1Char(' ') + ShownZeroReason(field);
            }
        } else {
            const QStringList items = field.items();
            const int index = form.*field.list;
            // The baud rate list shows a rate it does not hold as 9600; the file must not.
            const bool shown = index >= 0 && index < items.size() &&
                               (field.offset != kBaudOffset || items[index].toUInt() == raw);
            view.text = shown ? items[index] : QString::number(raw);
            if (!shown)
                view.problem =
                    field.offset == kBaudOffset
                        ? QCoreApplication::translate("SettingsMessages",
                                                      "%1 is not a baud rate of the list (%2).")
                              .arg(raw)
                              .arg(items.join(QLatin1Char(' ')))
                        : QCoreApplication::translate(
                              "SettingsMessages",
                              "%1 is outside %2..%3, the items of the list %4 .. %5.")
                              .arg(raw)
                              .arg(field.min)
                              .arg(field.min + quint64(items.size()) - 1)
                              .arg(items.first(), items.last());
        }
        // The unit labels beside the controls.
        const QLatin1String control(field.control);
        if (control == QLatin1String("EditRO1Time") || control == QLatin1String("EditRO2Time") ||
            control == QLatin1String("ComboPulseWidth"))
            view.text += QStringLiteral(" ms");
        else if (control == QLatin1String("ComboLightTime") ||
                 control == QLatin1String("ComboDemaTime"))
            view.text += QStringLiteral(" Min");
        views << view;
    }
    return views;
}

// ---------------------------------------------------------------- energy presets

QStringList EnergyPresetCaptions() {
    static const char* const captions[EnergyCounterCount] = {
        QT_TRANSLATE_NOOP("FormKw", "Energy Ep_imp:"),
        QT_TRANSLATE_NOOP("FormKw", "Energy Ep_exp:"),
        QT_TRANSLATE_NOOP("FormKw", "Reactive Energy Eq_imp:"),
        QT_TRANSLATE_NOOP("FormKw", "Reactive Energy Eq_exp:"),
        QT_TRANSLATE_NOOP("FormKw", "Energy Ep_total:"),
        QT_TRANSLATE_NOOP("FormKw", "Energy Ep_net:"),
        QT_TRANSLATE_NOOP("FormKw", "Reactive Energy Eq_total:"),
        QT_TRANSLATE_NOOP("FormKw", "Reactive Energy Eq_net:")};
    QStringList shown;
    for (const char* caption : captions)
        shown << QCoreApplication::translate("FormKw", caption);
    return shown;
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
