#pragma once

#include "BlockDecode.h"
#include "LabelText.h"
#include "ValueCopy.h"

#include <QColor>
#include <QString>
#include <QStringList>

class QTableWidget;
class QWidget;

// What every child window does with its controls, in one place. Windows hold controls and
// hand them texts that the decoders made; none of them formats numbers or touches bytes.

// How a child window's frame sizes it (ChildWindowFrame.h).
enum class ChildFrame {
    Fixed,     // a form laid out once: it keeps its designed size
    Resizable, // grids and charts: the frame can grow and the contents follow it
};

// Call at the end of a child window's constructor: the frame (UseFixedChildFrame or
// UseResizableChildFrame), the value labels' colour and settled widths. A fixed window's
// size is final before the first reply arrives. A window with value labels gets "Copy
// Values" (action "actionCopyValues") on its right-click menu and on Ctrl+C.
void PrepareChildWindow(QWidget* window, ChildFrame frame = ChildFrame::Fixed);

// Value labels are marked in the form with the dynamic property valueLabel = true. They
// are drawn in the value colour and keep one width whatever they show: the wider of their
// placeholder and of their optional widthSample property (the widest text the meter can
// make them show), so a window does not grow or jump as values arrive. They start empty:
// the placeholder only sizes them.
void StyleValueLabels(QWidget* form);
QColor ValueColor();

// Values that are not the meter's present ones (not read yet in this connection, the line
// lost or stopped, their block unanswered for some rotations) are drawn in this colour,
// with a tooltip that says when they were read ("last read 14:03:12", "not read yet").
// Value labels start so. Texts put on value labels and grid cells while the reply routing
// shows a block are marked with that block and follow its age (ValueFreshness.h) until
// the next text; texts put on them at other times are the program's own and drawn fresh.
QColor StaleColor();

// The values `form` shows now, in the form's order, each with the caption beside it
// ("CaptionX" for "LabelX"); labels not read yet are left out.
QList<CopiedValue> ShownValues(const QWidget* form);
// Puts them on the clipboard as tab-separated text and as an HTML table.
void CopyShownValues(const QWidget* form);

// Puts each text on the label of that object name below `form`; names without a label
// are skipped.
void ApplyLabelTexts(const QWidget* form, const LabelTexts& texts);

// On/off states: on red, off green, as text colour of a label or button.
QColor OnColor();
QColor OffColor();
void ShowOnOff(QWidget* control, bool on);

// Grids in the meter's grid coordinates (GridText): row 0 and column 0 are the fixed
// headings, shown as the table's horizontal and vertical header; cell (r, c) with r, c >= 1
// is the table's item (r - 1, c - 1). The table has rowCount() = rows - 1 and
// columnCount() = columns - 1.
void ApplyGridTexts(QTableWidget* grid, const GridTexts& texts);
QString GridCellText(const QTableWidget* grid, int row, int column);
// Headings of row 0 (columns 1..) and column 0 (rows 1..).
void SetGridHeadings(QTableWidget* grid, const QStringList& columnHeadings,
                     const QStringList& rowHeadings);
