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
    Destination destination = Destination::Text;
    CharState character;
    ParaState paragraph;
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

bool isLetter(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
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
    void controlSymbol(char symbol);
    void controlWord();
    // A control word by what it does: the tables below list the words of each kind.
    void word(std::string_view name, bool hasParam, int param);
    void fontTableWord(std::string_view name, int param);
    void colourTableWord(std::string_view name, int param);
    bool textWord(std::string_view name);
    bool characterFormatWord(std::string_view name, bool hasParam, int param);
    bool paragraphFormatWord(std::string_view name, int param);
    void documentWord(std::string_view name, int param);
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

    int documentCodePage_ = 1252;
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
        const char byte = data_[pos_++];
        switch (byte) {
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
            textByte(byte);
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
    const Destination ending = stack_.back().destination;
    if (ending == Destination::FontTable)
        finishFontName();
    stack_.pop_back();
    return stack_.size() == 1 && seenRoot_;
}

void Parser::controlSymbolOrWord() {
    if (pos_ >= data_.size())
        return;
    const char next = data_[pos_];
    if (isLetter(next)) {
        controlWord();
        return;
    }
    ++pos_;
    controlSymbol(next);
}

void Parser::controlSymbol(char symbol) {
    if (symbol == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < data_.size()) {
            const int digit = hexDigitValue(data_[pos_]);
            if (digit < 0)
                break;
            value = value * 16 + digit;
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
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol);
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
        state().destination = Destination::Skip;
        break;
    case '\n':
    case '\r':
        if (state().destination == Destination::Text)
            newParagraph();
        break;
    default:
        break; // optional hyphen, index entries and the like
    }
}

void Parser::controlWord() {
    const qsizetype size = data_.size();
    char nameBuffer[maxWordLength];
    int length = 0;
    while (pos_ < size && isLetter(data_[pos_])) {
        if (length < maxWordLength)
            nameBuffer[length++] = data_[pos_];
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

    const std::string_view name(nameBuffer, static_cast<size_t>(length));
    if (name == "bin") {
        // Raw bytes follow; they are never text, whatever they contain.
        pos_ += std::clamp<qsizetype>(param, 0, size - pos_);
        return;
    }
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    word(name, hasParam, param);
}

// The control words this reader acts on, by what they do. Each word is in one table only;
// every other word only affects what this reader does not show.

// Destinations whose text is not part of the document.
constexpr std::string_view kSkippedDestinations[] = {"info",
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

// Words that end a paragraph: sections, pages and table rows end one too.
constexpr std::string_view kParagraphEnds[] = {"par", "sect", "page", "row"};

// Words that stand for one character; table cells become tabs.
constexpr std::pair<std::string_view, char16_t> kCharacterWords[] = {
    {"line", u'\u2028'},     {"tab", u'\t'},         {"cell", u'\t'},
    {"emdash", u'\u2014'},   {"endash", u'\u2013'},  {"emspace", u'\u2003'},
    {"enspace", u'\u2002'},  {"qmspace", u'\u2005'}, {"bullet", u'\u2022'},
    {"lquote", u'\u2018'},   {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'},
    {"rdblquote", u'\u201D'}};

// Character formats a word turns on, or off with a parameter of 0. Every kind of
// underline is shown as the plain one.
constexpr std::pair<std::string_view, bool CharState::*> kCharacterSwitches[] = {
    {"b", &CharState::bold},
    {"i", &CharState::italic},
    {"ul", &CharState::underline},
    {"uld", &CharState::underline},
    {"uldb", &CharState::underline},
    {"uldash", &CharState::underline},
    {"uldashd", &CharState::underline},
    {"uldashdd", &CharState::underline},
    {"ulth", &CharState::underline},
    {"ulw", &CharState::underline},
    {"ulwave", &CharState::underline},
    {"strike", &CharState::strike},
    {"striked", &CharState::strike},
    {"v", &CharState::hidden}};

// Words that take their parameter as an index into the font or colour table.
constexpr std::pair<std::string_view, int CharState::*> kCharacterIndices[] = {
    {"f", &CharState::font},
    {"cf", &CharState::foreground},
    {"cb", &CharState::background},
    {"highlight", &CharState::background},
    {"chcbpat", &CharState::background}};

constexpr std::pair<std::string_view, int> kVerticalPositions[] = {
    {"super", 1}, {"sub", -1}, {"nosupersub", 0}};

constexpr std::pair<std::string_view, Qt::AlignmentFlag> kAlignments[] = {
    {"ql", Qt::AlignLeft},
    {"qc", Qt::AlignHCenter},
    {"qr", Qt::AlignRight},
    {"qj", Qt::AlignJustify},
};

// Paragraph indents and spacing, in twips.
constexpr std::pair<std::string_view, int ParaState::*> kParagraphDistances[] = {
    {"li", &ParaState::leftTwips},
    {"ri", &ParaState::rightTwips},
    {"fi", &ParaState::firstTwips},
    {"sb", &ParaState::beforeTwips},
    {"sa", &ParaState::afterTwips}};

// The document's character set, named by its code page.
constexpr std::pair<std::string_view, int> kCharacterSets[] = {
    {"ansi", 1252}, {"mac", 10000}, {"pc", 437}, {"pca", 850}};

template <typename Value, size_t count>
const Value* lookUp(const std::pair<std::string_view, Value> (&table)[count],
                    std::string_view name) {
    for (const auto& [word, value] : table) {
        if (word == name)
            return &value;
    }
    return nullptr;
}

void Parser::word(std::string_view name, bool hasParam, int param) {
    GroupState& group = state();
    switch (group.destination) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        fontTableWord(name, param);
        return;
    case Destination::ColorTable:
        colourTableWord(name, param);
        return;
    case Destination::Text:
        break;
    }
    // Unicode characters join the text of the current run without ending it.
    if (name == "u") {
        const int code = param < 0 ? param + 65536 : param;
        if (!group.character.hidden && code >= 0 && code <= 0xFFFF)
            unicodeChar(static_cast<char16_t>(code));
        skipChars_ = group.unicodeSkip;
        return;
    }
    flushText();
    if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), name) !=
        std::end(kSkippedDestinations)) {
        group.destination = Destination::Skip;
        return;
    }
    if (textWord(name) || characterFormatWord(name, hasParam, param) ||
        paragraphFormatWord(name, param))
        return;
    documentWord(name, param);
}

void Parser::fontTableWord(std::string_view name, int param) {
    if (name == "u") {
        // Names outside the font's code page come as Unicode with substitutes.
        const int code = param < 0 ? param + 65536 : param;
        if (code >= 0 && code <= 0xFFFF) {
            flushFontNameBytes();
            fontNameText_.append(QChar(static_cast<char16_t>(code)));
        }
        skipChars_ = state().unicodeSkip;
    } else if (name == "f") {
        finishFontName();
        fontBeingDefined_ = param;
        fonts_[param];
    } else if (name == "fcharset" && fontBeingDefined_ >= 0) {
        fonts_[fontBeingDefined_].codePage = codePageOfCharset(param);
    } else if (name == "cpg" && fontBeingDefined_ >= 0 && param > 0) {
        fonts_[fontBeingDefined_].codePage = param;
    }
}

void Parser::colourTableWord(std::string_view name, int param) {
    const int component = std::clamp(param, 0, 255);
    if (name == "red")
        red_ = component;
    else if (name == "green")
        green_ = component;
    else if (name == "blue")
        blue_ = component;
}

bool Parser::textWord(std::string_view name) {
    if (std::find(std::begin(kParagraphEnds), std::end(kParagraphEnds), name) !=
        std::end(kParagraphEnds)) {
        newParagraph();
        return true;
    }
    if (const char16_t* character = lookUp(kCharacterWords, name)) {
        unicodeChar(*character);
        return true;
    }
    return false;
}

bool Parser::characterFormatWord(std::string_view name, bool hasParam, int param) {
    CharState& character = state().character;
    if (const auto flag = lookUp(kCharacterSwitches, name)) {
        character.*(*flag) = !hasParam || param != 0;
    } else if (const auto index = lookUp(kCharacterIndices, name)) {
        character.*(*index) = param;
    } else if (const int* position = lookUp(kVerticalPositions, name)) {
        character.vertical = *position;
    } else if (name == "ulnone") {
        character.underline = false;
    } else if (name == "plain") {
        character = CharState{};
    } else if (name == "fs") {
        if (hasParam && param > 0)
            character.halfPoints = std::min(param, 2000);
    } else {
        return false;
    }
    return true;
}

bool Parser::paragraphFormatWord(std::string_view name, int param) {
    ParaState& paragraph = state().paragraph;
    if (const auto distance = lookUp(kParagraphDistances, name)) {
        paragraph.*(*distance) = std::clamp(param, -31680, 31680); // 22 inches
    } else if (const auto alignment = lookUp(kAlignments, name)) {
        paragraph.align = *alignment;
    } else if (name == "pard") {
        paragraph = ParaState{};
    } else {
        return false;
    }
    return true;
}

void Parser::documentWord(std::string_view name, int param) {
    if (const int* codePage = lookUp(kCharacterSets, name)) {
        documentCodePage_ = *codePage;
    } else if (name == "ansicpg") {
        if (param > 0)
            documentCodePage_ = param;
    } else if (name == "deff") {
        defaultFont_ = param;
    } else if (name == "uc") {
        state().unicodeSkip = std::clamp(param, 0, 255);
    } else if (name == "fonttbl") {
        state().destination = Destination::FontTable;
        fontBeingDefined_ = -1;
        fontNameBytes_.clear();
        fontNameText_.clear();
    } else if (name == "colortbl") {
        state().destination = Destination::ColorTable;
        colours_.clear();
        red_ = green_ = blue_ = -1;
    }
}

void Parser::textByte(char byte) {
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    const auto code = static_cast<unsigned char>(byte);
    const GroupState& group = state();
    switch (group.destination) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        if (byte == ';')
            finishFontName();
        else if (code >= 0x20)
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
    if (group.character.hidden || (code < 0x20 && byte != '\t'))
        return;
    pendingBytes_.append(byte);
}

void Parser::unicodeChar(char16_t ch) {
    if (state().destination != Destination::Text || state().character.hidden)
        return;
    flushBytes();
    pendingText_.append(QChar(ch));
}

int Parser::codePageNow() const {
    const int font =
        stack_.back().character.font >= 0 ? stack_.back().character.font : defaultFont_;
    const auto it = fonts_.constFind(font);
    if (it != fonts_.constEnd() && it->codePage > 0)
        return it->codePage;
    return documentCodePage_;
}

QStringDecoder& Parser::decoder(int codePage) {
    auto it = decoders_.find(codePage);
    if (it == decoders_.end()) {
        QStringDecoder made(codecNameOfCodePage(codePage).constData());
        if (!made.isValid())
            made = QStringDecoder("windows-1252");
        if (!made.isValid())
            made = QStringDecoder(QStringConverter::Latin1);
        it = decoders_.emplace(codePage, std::move(made)).first;
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
        font != fonts_.constEnd() && font->codePage > 0 ? font->codePage : documentCodePage_;
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
    const CharState& character = stack_.back().character;
    QTextCharFormat format;
    format.setFontWeight(character.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(character.italic);
    format.setFontUnderline(character.underline);
    format.setFontStrikeOut(character.strike);
    if (character.vertical != 0)
        format.setVerticalAlignment(character.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                           : QTextCharFormat::AlignSubScript);
    format.setFontPointSize(character.halfPoints / 2.0);
    const auto font = fonts_.constFind(character.font >= 0 ? character.font : defaultFont_);
    if (font != fonts_.constEnd() && !font->name.isEmpty())
        format.setFontFamilies(QStringList{font->name});
    const auto colour = [this](int index) -> std::optional<QColor> {
        if (index < 0 || static_cast<size_t>(index) >= colours_.size())
            return std::nullopt;
        return colours_[static_cast<size_t>(index)];
    };
    if (const auto foreground = colour(character.foreground))
        format.setForeground(*foreground);
    if (const auto background = colour(character.background))
        format.setBackground(*background);
    return format;
}

QTextBlockFormat Parser::blockFormat() const {
    const ParaState& paragraph = stack_.back().paragraph;
    // Twips to the document's pixels at 96 dots per inch.
    const auto pixels = [](int twips) { return twips / 15.0; };
    QTextBlockFormat format;
    format.setAlignment(paragraph.align);
    format.setLeftMargin(pixels(paragraph.leftTwips));
    format.setRightMargin(pixels(paragraph.rightTwips));
    format.setTextIndent(pixels(paragraph.firstTwips));
    format.setTopMargin(pixels(paragraph.beforeTwips));
    format.setBottomMargin(pixels(paragraph.afterTwips));
    return format;
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
