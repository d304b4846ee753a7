#pragma once

#include <QByteArray>

class QTextDocument;

// Reads rich text as common editors (WordPad, Word, LibreOffice) write it into
// a QTextDocument, for the help window. Qt has no reader of its own for it.
//
// What is kept: paragraphs and line breaks, tabs, bold/italic/underline/strike,
// super- and subscript, hidden text (left out), fonts and their sizes, text and
// background colours, paragraph alignment, indents and spacing, characters in
// the file's code pages (\ansicpg, per-font \fcharset or \cpg, \'hh) and
// Unicode (\uN with its \ucN substitutes). Pictures, headers, footers, the
// document information, style sheets, field instructions and every
// destination marked ignorable are left out; table cells become tabs.
//
// Any byte sequence is safe to read: nesting deeper than maxGroupDepth keeps
// the formatting of the deepest kept group, numbers saturate, a truncated file
// shows what was read, and whatever follows the outermost group is ignored.
namespace RtfReader {

constexpr int maxGroupDepth = 200;

// True when the data starts (after blanks or a UTF-8 byte order mark) with "{\rtf".
bool looksLikeRtf(const QByteArray& data);

// Replaces the contents of `doc` with the rich text in `rtf`.
void read(const QByteArray& rtf, QTextDocument& doc);

} // namespace RtfReader
