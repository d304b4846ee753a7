#pragma once

#include <QByteArray>

// The code pages of rich text: which one a font's character set (\fcharset) stands for,
// and the name Qt's decoders know a code page by (\ansicpg, \cpg).

// A Windows character set number to its code page; 0 for the document's own.
int codePageOfCharset(int charset);
// The decoder name of a Windows code page ("windows-1252", "GBK", ...).
QByteArray codecNameOfCodePage(int codePage);
