#include "RtfCodePages.h"

// Windows character set numbers (\fcharset) to code pages.
int codePageOfCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // DEFAULT_CHARSET, symbol fonts and unknown sets: the document's
    }
}

QByteArray codecNameOfCodePage(int codePage) {
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 936:
        return "GBK";
    case 54936:
        return "GB18030";
    case 932:
        return "Shift_JIS";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}
