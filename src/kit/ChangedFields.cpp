#include "ChangedFields.h"

#include "NumberText.h"

#include <QCoreApplication>

QStringList ChangedFields(const QList<FieldText>& meter, const QList<FieldText>& window) {
    QStringList changed;
    for (const FieldText& field : window) {
        QString old;
        for (const FieldText& held : meter) {
            if (held.caption == field.caption) {
                old = held.text;
                break;
            }
        }
        if (old != field.text)
            changed << QStringLiteral("%1: %2 → %3").arg(field.caption, old, field.text);
    }
    return changed;
}

QString ChangedFieldsDetail(const QStringList& changed) {
    if (changed.isEmpty())
        return QCoreApplication::translate("ChangedFields",
                                           "Nothing differs from what the meter holds.");
    return changed.join(QLatin1Char('\n'));
}

QList<FieldText> MeterSettingsFields(const MeterSettingsRegisters& registers) {
    QList<FieldText> fields;
    for (const MeterSettingView& view : ViewMeterSettings(registers))
        fields.append({view.shownName, view.text});
    return fields;
}

QList<FieldText> EnergyPresetFields(const EnergyPresets& presets, const QLocale& locale) {
    const QStringList captions = EnergyPresetCaptions();
    QList<FieldText> fields;
    for (int i = 0; i < EnergyCounterCount; ++i)
        fields.append({CaptionName(captions[i]), FixedText(presets[i] / 10.0, 1, locale)});
    return fields;
}
