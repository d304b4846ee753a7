#include "ValueCopy.h"

#include <QCoreApplication>

namespace {

QStringList Headings() {
    return {QCoreApplication::translate("ValueCopy", "Quantity"),
            QCoreApplication::translate("ValueCopy", "Value"),
            QCoreApplication::translate("ValueCopy", "Unit")};
}

// A tab or line end inside a text would shift every cell after it.
QString Cell(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

} // namespace

CopiedValue SplitValueText(const QString& quantity, const QString& text) {
    QString name = quantity.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    const QString shown = text.trimmed();
    const qsizetype space = shown.lastIndexOf(QLatin1Char(' '));
    // A unit follows a number: the part before the blank ends in a digit and the part
    // after holds none ("12.34 A", not "Alarm Record 3").
    if (space > 0 && shown[space - 1].isDigit()) {
        const QString unit = shown.mid(space + 1);
        bool digits = false;
        for (const QChar c : unit)
            digits = digits || c.isDigit();
        if (!unit.isEmpty() && !digits)
            return {name, shown.left(space), unit};
    }
    return {name, shown, QString()};
}

QString CopiedValuesText(const QList<CopiedValue>& values) {
    QString out = Headings().join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const CopiedValue& v : values)
        out += Cell(v.quantity) + QLatin1Char('\t') + Cell(v.value) + QLatin1Char('\t') +
               Cell(v.unit) + QLatin1Char('\n');
    return out;
}

QString CopiedValuesHtml(const QList<CopiedValue>& values) {
    QString out = QStringLiteral("<table>\n<tr>");
    for (const QString& h : Headings())
        out += QStringLiteral("<th>") + h.toHtmlEscaped() + QStringLiteral("</th>");
    out += QStringLiteral("</tr>\n");
    for (const CopiedValue& v : values)
        out +=
            QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                .arg(v.quantity.toHtmlEscaped(), v.value.toHtmlEscaped(), v.unit.toHtmlEscaped());
    return out + QStringLiteral("</table>\n");
}
