#include "CoefficientMessages.h"

#include "NumberInput.h"

#include <QCoreApplication>
#include <limits>

namespace {

// clang-format off
constexpr CoefficientRow kRows[] = {
    {0x51B, "Edit17", "VAA--ADJ：", "LabVaaAD", "UAA--ADJ"},
    {0x51C, "Edit18", "VBB--ADJ：", "LabVbbAD", "UBB--ADJ"},
    {0x51D, "Edit19", "VCC--ADJ：", "LabVccAD", "UCC--ADJ"},
    {0x51E, "Edit21", "UBB--RI：",  "LabVbbRI", "VBB--RI"},
    {0x51F, "Edit22", "UCC--RI：",  "LabVccRI", "VCC--RI"},
    {0x520, "Edit0",  "VA--ADJ：",  "LabVaAD",  "UA--ADJ"},
    {0x521, "Edit1",  "VB--ADJ：",  "LabVbAD",  "UB--ADJ"},
    {0x522, "Edit2",  "VC--ADJ：",  "LabVcAD",  "UC--ADJ"},
    {0x523, "Edit3",  "IA--ADJ：",  "LabIaAD",  "IA--ADJ"},
    {0x524, "Edit4",  "IB--ADJ：",  "LabIbAD",  "IB--ADJ"},
    {0x525, "Edit5",  "IC--ADJ：",  "LabIcAD",  "IC--ADJ"},
    {0x526, "Edit6",  "IA1--ADJ：", "LabIa1AD", "IA1--ADJ"},
    {0x527, "Edit7",  "IB1--ADJ：", "LabIb1AD", "IB1--ADJ"},
    {0x528, "Edit8",  "IC1--ADJ：", "LabIc1AD", "IC1--ADJ"},
    {0x52C, "Edit9",  "IA--RI：",   "LabIaRI",  "IA--RI"},
    {0x52D, "Edit10", "VB--RI：",   "LabVbRI",  "VB--RI"},
    {0x52E, "Edit11", "IB--RI：",   "LabIbRI",  "IB--RI"},
    {0x52F, "Edit12", "VC--RI：",   "LabVcRI",  "VC--RI"},
    {0x530, "Edit13", "IC--RI：",   "LabIcRI",  "IC--RI"},
    {0x531, "Edit14", "IA1--RI：",  "LabIa1RI", "IA1--RI"},
    {0x532, "Edit15", "IB1--RI：",  "LabIb1RI", "IB1--RI"},
    {0x533, "Edit16", "IC1--RI：",  "LabIc1RI", "IC1--RI"},
};
// clang-format on

const CoefficientGroupLayout kGroups[] = {
    {CoefficientGroup::Gain,
     2,
     0x520,
     {"Edit0", "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8"},
     "ChkBoxChangedGain",
     "ChkBoxZeroGain"},
    {CoefficientGroup::AngleConstants,
     3,
     0x52C,
     {"Edit9", "Edit10", "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16"},
     "ChkBoxChangedConst",
     "ChkBoxZeroConst"},
    {CoefficientGroup::Others,
     4,
     0x51B,
     {"Edit17", "Edit18", "Edit19", "Edit21", "Edit22"},
     "ChkBoxChangedOthers",
     "ChkBoxZeroOthers"},
};

QString Hex2(unsigned byte) {
    return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0'));
}

const CoefficientRow* RowOfEdit(const QString& edit) {
    for (const CoefficientRow& row : kRows)
        if (edit == QLatin1String(row.edit))
            return &row;
    return nullptr;
}

} // namespace

std::span<const CoefficientRow> CoefficientRows() {
    return kRows;
}

const CoefficientRow* FindCoefficientRow(quint16 reg) {
    for (const CoefficientRow& row : kRows)
        if (row.reg == reg)
            return &row;
    return nullptr;
}

LabelTexts CoefficientTexts(const QList<quint16>& values, bool edits) {
    LabelTexts texts;
    for (const CoefficientRow& row : kRows) {
        const int at = row.reg - CoefficientBlockStart;
        if (at >= values.size())
            break;
        texts.append({QLatin1String(edits ? row.edit : row.historyLabel),
                      QString::number(qint16(values[at]))});
    }
    return texts;
}

std::optional<CoefficientValues> CoefficientsOf(const QList<quint16>& values) {
    if (values.size() < CoefficientBlockCount)
        return std::nullopt;
    CoefficientValues kept{};
    for (int i = 0; i < CoefficientBlockCount; ++i)
        kept[i] = qint16(values[i]);
    return kept;
}

std::optional<quint8> DisplayModeOf(const QList<quint16>& values) {
    const int at = DisplayModeRegister - CoefficientBlockStart;
    if (at >= values.size())
        return std::nullopt;
    return quint8(values[at] == 1 ? 1 : 0);
}

QString CoefficientWriteMessage(quint16 start, const QList<quint16>& values) {
    const int count = int(values.size());
    QString m = QStringLiteral("00,b0,%1,%2,%3,%4,%5,")
                    .arg(Hex2(start >> 8), Hex2(start), Hex2(unsigned(count) >> 8), Hex2(count),
                         Hex2(2 * count));
    for (quint16 v : values)
        m += (Hex2(v >> 8) + QLatin1Char(',') + Hex2(v) + QLatin1Char(',')).toUpper();
    return m + QStringLiteral("00,00");
}

std::optional<quint16> CoefficientPattern(qint64 value) {
    if (value < CoefficientMin || value > CoefficientMax)
        return std::nullopt;
    return quint16(value & 0xFFFF);
}

std::optional<quint16> ParseCoefficient(const QString& text, const QLocale& locale) {
    const auto value = ReadWholeNumber(text, CoefficientMin, CoefficientMax, locale);
    if (!value)
        return std::nullopt;
    return CoefficientPattern(*value);
}

std::span<const CoefficientGroupLayout> CoefficientGroups() {
    return kGroups;
}

CoefficientWritePlan PlanCoefficientWrites(const std::array<CoefficientGroupInput, 3>& groups) {
    CoefficientWritePlan plan;
    for (int g = 0; g < 3; ++g) {
        const CoefficientGroupInput& in = groups[g];
        const CoefficientGroupLayout& layout = kGroups[g];
        if (!in.modify)
            continue;
        QList<quint16> values(layout.edits.size(), 0);
        if (!in.clear) {
            for (int i = 0; i < layout.edits.size(); ++i) {
                const QString text = i < in.texts.size() ? in.texts[i] : QString();
                const auto value = ParseCoefficient(text);
                if (!value) {
                    const CoefficientRow* row = RowOfEdit(layout.edits[i]);
                    QString caption = QString::fromUtf8(row ? row->editCaption : "");
                    caption.remove(QStringLiteral("："));
                    plan.writes.clear();
                    plan.error = QCoreApplication::translate(
                                     "CoefficientMessages",
                                     "%1 (%2) holds \"%3\": a coefficient must be a whole "
                                     "number from %4 to %5. Nothing was written.")
                                     .arg(caption, layout.edits[i], text)
                                     .arg(CoefficientMin)
                                     .arg(CoefficientMax);
                    return plan;
                }
                values[i] = *value;
            }
        }
        plan.writes.append({layout.slot, CoefficientWriteMessage(layout.start, values)});
    }
    return plan;
}

std::optional<int> ParseCalibrationCount(const QString& text, const QLocale& locale) {
    const auto n = ReadWholeNumber(text, 1, std::numeric_limits<qint32>::max(), locale);
    if (!n)
        return std::nullopt;
    return int(*n);
}

QString CalibrationCountError(const QString& text) {
    return QCoreApplication::translate(
               "CoefficientMessages",
               "输入读取次数 \"%1\": the number of readings must be a whole number "
               "from 1 to %2. No calibration was started.")
        .arg(text)
        .arg(std::numeric_limits<qint32>::max());
}
