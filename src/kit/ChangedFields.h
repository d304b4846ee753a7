#pragma once

#include "SettingsMessages.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

// What a write will change on the meter, for the lines below the write question: the
// technician sees "Address: 1 → 2" before the meter does, instead of a bare "Are you
// sure?". Both sides are compared as the window shows them, so a value the operator
// typed differently but that writes the same register ("100" and "100.0") is no change.

// One field of a window: its caption as the window shows it (without the colon) and the
// text of its value.
struct FieldText {
    QString caption;
    QString text;
};

// "caption: old → new" for each field of `window` whose text differs from the field of
// the same caption in `meter`, in the window's order. A field the meter side lacks is
// listed with an empty old text.
QStringList ChangedFields(const QList<FieldText>& meter, const QList<FieldText>& window);

// The changed fields one a line, or a line saying that nothing differs.
QString ChangedFieldsDetail(const QStringList& changed);

// The meter settings window's fields as it shows the registers.
QList<FieldText> MeterSettingsFields(const MeterSettingsRegisters& registers);

// The energy presetting window's eight counters (tenths of kWh / kvarh) as its edits show
// them.
QList<FieldText> EnergyPresetFields(const EnergyPresets& presets, const QLocale& locale);
