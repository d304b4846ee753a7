#include "RtfReader.h"

#include "RtfCodePages.h"

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// Where the text of a group goes.
enum class Destination { Text, Skip, FontTable, ColorTable };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int vertical = 0; // 1 superscript, -1 subscript
    int font = -1;    // -1: the document's default font
    int halfPoints = 24;
    int foreground = 0; // colour table index
    int background = 0;
};

struct ParaState {
    Qt::Alignment align = Qt::AlignLeft;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstTwips = 0;
    int beforeTwips = 0;
    int afterTwips = 0;
};

struct GroupState {
    Destination dest = Destination::Text;
    CharState chr;
    ParaState para;
    int unicodeSkip = 1; // substitute characters after each \uN
};

struct FontEntry {
    QString name;
    int codePage = 0; // 0: the document's code page
};

int hexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

constexpr int maxWordLength = 32;
constexpr int paramLimit = 2147483647;

class Parser {
public:
    Parser(const QByteArray& data, QTextDocument& doc) : data_(data), cursor_(&doc) {
        stack_.push_back(GroupState{});
    }

    void run();

private:
    GroupState& state() { return stack_.back(); }

    void openGroup();
    bool closeGroup(); // true when the outermost group has ended
    void controlSymbolOrWord();
    void word(std::string_view w, bool hasParam, int param);
    void textByte(char byte);
    void unicodeChar(char16_t ch);
    void flushBytes();
    void flushText();
    void newParagraph();
    void flushFontNameBytes();
    void finishFontName();
    int codePageNow() const;
    QStringDecoder& decoder(int codePage);
    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;

    const QByteArray& data_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0; // groups opened beyond maxGroupDepth
    bool seenRoot_ = false;
    int skipChars_ = 0; // substitutes of the last \uN still to drop

    int docCodePage_ = 1252;
    int defaultFont_ = 0;
    QHash<int, FontEntry> fonts_;
    int fontBeingDefined_ = -1;
    QByteArray fontNameBytes_; // name bytes in the font's code page
    QString fontNameText_;     // the name decoded so far
    std::vector<std::optional<QColor>> colours_;
    int red_ = -1, green_ = -1, blue_ = -1;

    QByteArray pendingBytes_; // text bytes in codePageNow()
    QString pendingText_;     // decoded text in the current format
    std::map<int, QStringDecoder> decoders_;
};

void Parser::run() {
    const qsizetype size = data_.size();
    while (pos_ < size) {
        const char c = data_[pos_++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            if (closeGroup())
                pos_ = size;
            break;
        case '\\':
            controlSymbolOrWord();
            break;
        default:
            textByte(c);
            break;
        }
    }
    flushText();
    cursor_.setBlockFormat(blockFormat());
}

void Parser::openGroup() {
    flushText();
    skipChars_ = 0;
    seenRoot_ = true;
    if (static_cast<int>(stack_.size()) > RtfReader::maxGroupDepth) {
        ++overflowDepth_;
        return;
    }
    stack_.push_back(stack_.back());
}

bool Parser::closeGroup() {
    flushText();
    skipChars_ = 0;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return false;
    }
    if (stack_.size() <= 1)
        return false; // a stray closing brace before any group: nothing to end
    const Destination ending = stack_.back().dest;
    if (ending == Destination::FontTable)
        finishFontName();
    stack_.pop_back();
    return stack_.size() == 1 && seenRoot_;
}

void Parser::controlSymbolOrWord() {
    const qsizetype size = data_.size();
    if (pos_ >= size)
        return;
    const char c = data_[pos_];
    const auto isLetter = [](char ch) {
        return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    };
    const auto isDigit = [](char ch) { return ch >= '0' && ch <= '9'; };

    if (!isLetter(c)) {
        ++pos_;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < size) {
                const int d = hexDigitValue(data_[pos_]);
                if (d < 0)
                    break;
                value = value * 16 + d;
                ++pos_;
                ++digits;
            }
            if (digits == 0)
                return;
            if (skipChars_ > 0) {
                --skipChars_;
                return;
            }
            textByte(static_cast<char>(value));
            return;
        }
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            textByte(c);
            break;
        case '~':
            unicodeChar(u'\u00A0');
            break;
        case '_':
            unicodeChar(u'\u2011');
            break;
        case '*':
            // Destinations marked ignorable are never shown by this reader.
            flushText();
            state().dest = Destination::Skip;
            break;
        case '\n':
        case '\r':
            if (state().dest == Destination::Text)
                newParagraph();
            break;
        default:
            break; // optional hyphen, index entries and the like
        }
        return;
    }

    char wordBuf[maxWordLength];
    int length = 0;
    while (pos_ < size && isLetter(data_[pos_])) {
        if (length < maxWordLength)
            wordBuf[length++] = data_[pos_];
        ++pos_;
    }
    bool negative = false;
    if (pos_ + 1 < size && data_[pos_] == '-' && isDigit(data_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    bool hasParam = false;
    long long value = 0;
    while (pos_ < size && isDigit(data_[pos_])) {
        hasParam = true;
        if (value <= paramLimit)
            value = value * 10 + (data_[pos_] - '0');
        ++pos_;
    }
    value = std::min<long long>(value, paramLimit);
    const int param = static_cast<int>(negative ? -value : value);
    if (pos_ < size && data_[pos_] == ' ')
        ++pos_;

    const std::string_view w(wordBuf, static_cast<size_t>(length));
    if (w == "bin") {
        // Raw bytes follow; they are never text, whatever they contain.
        const qsizetype skip = std::clamp<qsizetype>(param, 0, size - pos_);
        pos_ += skip;
        return;
    }
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    word(w, hasParam, param);
}

void Parser::word(std::string_view w, bool hasParam, int param) {
    GroupState& s = state();
    if (s.dest == Destination::Skip)
        return;
    const bool on = !hasParam || param != 0;

    if (s.dest == Destination::FontTable) {
        if (w == "u") {
            // Names outside the font's code page come as Unicode with substitutes.
            const int code = param < 0 ? param + 65536 : param;
            if (code >= 0 && code <= 0xFFFF) {
                flushFontNameBytes();
                fontNameText_.append(QChar(static_cast<char16_t>(code)));
            }
            skipChars_ = s.unicodeSkip;
        } else if (w == "f") {
            finishFontName();
            fontBeingDefined_ = param;
            fonts_[param];
        } else if (w == "fcharset" && fontBeingDefined_ >= 0) {
            fonts_[fontBeingDefined_].codePage = codePageOfCharset(param);
        } else if (w == "cpg" && fontBeingDefined_ >= 0 && param > 0) {
            fonts_[fontBeingDefined_].codePage = param;
        }
        return;
    }
    if (s.dest == Destination::ColorTable) {
        const int component = std::clamp(param, 0, 255);
        if (w == "red")
            red_ = component;
        else if (w == "green")
            green_ = component;
        else if (w == "blue")
            blue_ = component;
        return;
    }

    // Unicode characters join the text of the current run without ending it.
    if (w == "u") {
        const int code = param < 0 ? param + 65536 : param;
        if (s.dest == Destination::Text && !s.chr.hidden && code >= 0 && code <= 0xFFFF)
            unicodeChar(static_cast<char16_t>(code));
        skipChars_ = s.unicodeSkip;
        return;
    }

    flushText();
    CharState& c = s.chr;
    ParaState& p = s.para;
    const auto twips = [&] { return std::clamp(param, -31680, 31680); }; // 22 inches

    // Destinations whose text is not part of the document.
    static constexpr std::string_view skipped[] = {"info",
                                                   "stylesheet",
                                                   "pict",
                                                   "header",
                                                   "headerl",
                                                   "headerr",
                                                   "headerf",
                                                   "footer",
                                                   "footerl",
                                                   "footerr",
                                                   "footerf",
                                                   "footnote",
                                                   "fldinst",
                                                   "object",
                                                   "objdata",
                                                   "listtable",
                                                   "listoverridetable",
                                                   "revtbl",
                                                   "rsidtbl",
                                                   "generator",
                                                   "xmlnstbl",
                                                   "filetbl",
                                                   "themedata",
                                                   "colorschememapping",
                                                   "latentstyles",
                                                   "datastore",
                                                   "pgdsctbl",
                                                   "nonshppict",
                                                   "shp",
                                                   "shpinst",
                                                   "author",
                                                   "operator",
                                                   "title",
                                                   "subject",
                                                   "keywords",
                                                   "comment",
                                                   "doccomm",
                                                   "userprops",
                                                   "template",
                                                   "bkmkstart",
                                                   "bkmkend",
                                                   "annotation",
                                                   "atnid",
                                                   "atnauthor",
                                                   "txe",
                                                   "xe",
                                                   "tc",
                                                   "private",
                                                   "pn",
                                                   "background",
                                                   "fchars",
                                                   "lchars",
                                                   "docvar",
                                                   "ftnsep",
                                                   "ftnsepc",
                                                   "aftnsep",
                                                   "aftnsepc",
                                                   "pntxta",
                                                   "pntxtb"};
    if (std::find(std::begin(skipped), std::end(skipped), w) != std::end(skipped)) {
        s.dest = Destination::Skip;
        return;
    }

    if (w == "par" || w == "sect" || w == "page" || w == "row") {
        newParagraph();
    } else if (w == "line") {
        unicodeChar(u'\u2028');
    } else if (w == "tab" || w == "cell") {
        unicodeChar(u'\t');
    } else if (w == "b") {
        c.bold = on;
    } else if (w == "i") {
        c.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "uldashd" ||
               w == "uldashdd" || w == "ulth" || w == "ulw" || w == "ulwave") {
        c.underline = on;
    } else if (w == "ulnone") {
        c.underline = false;
    } else if (w == "strike" || w == "striked") {
        c.strike = on;
    } else if (w == "v") {
        c.hidden = on;
    } else if (w == "super") {
        c.vertical = 1;
    } else if (w == "sub") {
        c.vertical = -1;
    } else if (w == "nosupersub") {
        c.vertical = 0;
    } else if (w == "plain") {
        c = CharState{};
    } else if (w == "f") {
        c.font = param;
    } else if (w == "fs") {
        if (hasParam && param > 0)
            c.halfPoints = std::min(param, 2000);
    } else if (w == "cf") {
        c.foreground = param;
    } else if (w == "cb" || w == "highlight" || w == "chcbpat") {
        c.background = param;
    } else if (w == "pard") {
        p = ParaState{};
    } else if (w == "ql") {
        p.align = Qt::AlignLeft;
    } else if (w == "qc") {
        p.align = Qt::AlignHCenter;
    } else if (w == "qr") {
        p.align = Qt::AlignRight;
    } else if (w == "qj") {
        p.align = Qt::AlignJustify;
    } else if (w == "li") {
        p.leftTwips = twips();
    } else if (w == "ri") {
        p.rightTwips = twips();
    } else if (w == "fi") {
        p.firstTwips = twips();
    } else if (w == "sb") {
        p.beforeTwips = twips();
    } else if (w == "sa") {
        p.afterTwips = twips();
    } else if (w == "uc") {
        s.unicodeSkip = std::clamp(param, 0, 255);
    } else if (w == "ansi") {
        docCodePage_ = 1252;
    } else if (w == "mac") {
        docCodePage_ = 10000;
    } else if (w == "pc") {
        docCodePage_ = 437;
    } else if (w == "pca") {
        docCodePage_ = 850;
    } else if (w == "ansicpg") {
        if (param > 0)
            docCodePage_ = param;
    } else if (w == "deff") {
        defaultFont_ = param;
    } else if (w == "fonttbl") {
        s.dest = Destination::FontTable;
        fontBeingDefined_ = -1;
        fontNameBytes_.clear();
        fontNameText_.clear();
    } else if (w == "colortbl") {
        s.dest = Destination::ColorTable;
        colours_.clear();
        red_ = green_ = blue_ = -1;
    } else if (w == "emdash") {
        unicodeChar(u'\u2014');
    } else if (w == "endash") {
        unicodeChar(u'\u2013');
    } else if (w == "emspace") {
        unicodeChar(u'\u2003');
    } else if (w == "enspace") {
        unicodeChar(u'\u2002');
    } else if (w == "qmspace") {
        unicodeChar(u'\u2005');
    } else if (w == "bullet") {
        unicodeChar(u'\u2022');
    } else if (w == "lquote") {
        unicodeChar(u'\u2018');
    } else if (w == "rquote") {
        unicodeChar(u'\u2019');
    } else if (w == "ldblquote") {
        unicodeChar(u'\u201C');
    } else if (w == "rdblquote") {
        unicodeChar(u'\u201D');
    }
    // Every other word only affects what this reader does not show.
}

void Parser::textByte(char byte) {
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    const auto u = static_cast<unsigned char>(byte);
    GroupState& s = state();
    switch (s.dest) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        if (byte == ';')
            finishFontName();
        else if (u >= 0x20)
            fontNameBytes_.append(byte);
        return;
    case Destination::ColorTable:
        if (byte == ';') {
            if (red_ < 0 && green_ < 0 && blue_ < 0)
                colours_.emplace_back(); // the automatic colour
            else
                colours_.emplace_back(
                    QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
            red_ = green_ = blue_ = -1;
        }
        return;
    case Destination::Text:
        break;
    }
    // Line ends and other control bytes of the file are not text; tabs are.
    if (s.chr.hidden || (u < 0x20 && byte != '\t'))
        return;
    pendingBytes_.append(byte);
}

void Parser::unicodeChar(char16_t ch) {
    if (state().dest != Destination::Text || state().chr.hidden)
        return;
    flushBytes();
    pendingText_.append(QChar(ch));
}

int Parser::codePageNow() const {
    const int font = stack_.back().chr.font >= 0 ? stack_.back().chr.font : defaultFont_;
    const auto it = fonts_.constFind(font);
    if (it != fonts_.constEnd() && it->codePage > 0)
        return it->codePage;
    return docCodePage_;
}

QStringDecoder& Parser::decoder(int codePage) {
    auto it = decoders_.find(codePage);
    if (it == decoders_.end()) {
        QStringDecoder d(codecNameOfCodePage(codePage).constData());
        if (!d.isValid())
            d = QStringDecoder("windows-1252");
        if (!d.isValid())
            d = QStringDecoder(QStringConverter::Latin1);
        it = decoders_.emplace(codePage, std::move(d)).first;
    }
    it->second.resetState();
    return it->second;
}

void Parser::flushBytes() {
    if (pendingBytes_.isEmpty())
        return;
    pendingText_ += decoder(codePageNow()).decode(pendingBytes_);
    pendingBytes_.clear();
}

void Parser::flushText() {
    flushBytes();
    if (pendingText_.isEmpty())
        return;
    cursor_.insertText(pendingText_, charFormat());
    pendingText_.clear();
}

void Parser::newParagraph() {
    flushText();
    cursor_.setBlockFormat(blockFormat());
    cursor_.insertBlock(blockFormat(), charFormat());
}

void Parser::flushFontNameBytes() {
    if (fontNameBytes_.isEmpty())
        return;
    const auto font = fonts_.constFind(fontBeingDefined_);
    const int codePage =
        font != fonts_.constEnd() && font->codePage > 0 ? font->codePage : docCodePage_;
    fontNameText_ += decoder(codePage).decode(fontNameBytes_);
    fontNameBytes_.clear();
}

void Parser::finishFontName() {
    flushFontNameBytes();
    if (fontBeingDefined_ >= 0 && !fontNameText_.trimmed().isEmpty())
        fonts_[fontBeingDefined_].name = fontNameText_.trimmed();
    fontNameText_.clear();
    fontBeingDefined_ = -1;
}

QTextCharFormat Parser::charFormat() const {
    const CharState& c = stack_.back().chr;
    QTextCharFormat f;
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setFontStrikeOut(c.strike);
    if (c.vertical != 0)
        f.setVerticalAlignment(c.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                              : QTextCharFormat::AlignSubScript);
    f.setFontPointSize(c.halfPoints / 2.0);
    const auto font = fonts_.constFind(c.font >= 0 ? c.font : defaultFont_);
    if (font != fonts_.constEnd() && !font->name.isEmpty())
        f.setFontFamilies(QStringList{font->name});
    const auto colour = [this](int index) -> std::optional<QColor> {
        if (index < 0 || static_cast<size_t>(index) >= colours_.size())
            return std::nullopt;
        return colours_[static_cast<size_t>(index)];
    };
    if (const auto fg = colour(c.foreground))
        f.setForeground(*fg);
    if (const auto bg = colour(c.background))
        f.setBackground(*bg);
    return f;
}

QTextBlockFormat Parser::blockFormat() const {
    const ParaState& p = stack_.back().para;
    // Twips to the document's pixels at 96 dots per inch.
    const auto px = [](int twips) { return twips / 15.0; };
    QTextBlockFormat f;
    f.setAlignment(p.align);
    f.setLeftMargin(px(p.leftTwips));
    f.setRightMargin(px(p.rightTwips));
    f.setTextIndent(px(p.firstTwips));
    f.setTopMargin(px(p.beforeTwips));
    f.setBottomMargin(px(p.afterTwips));
    return f;
}

} // namespace

namespace RtfReader {

bool looksLikeRtf(const QByteArray& data) {
    QByteArrayView view(data);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    return view.trimmed().startsWith("{\\rtf");
}

void read(const QByteArray& rtf, QTextDocument& doc) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    Parser(rtf, doc).run();
    doc.setUndoRedoEnabled(undo);
}

} // namespace RtfReader
