#include "RtfReader.h"
#include "QtTestSupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <random>

namespace {

const auto* const guiApp =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QGuiApplication>);

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(QETRA_FIXTURES_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

std::unique_ptr<QTextDocument> parse(const QByteArray& rtf) {
    auto doc = std::make_unique<QTextDocument>();
    RtfReader::read(rtf, *doc);
    return doc;
}

QStringList blocks(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        out << b.text();
    return out;
}

// The format of the fragment that contains `text`; fails the test when none does.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& text) {
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(text))
                return it.fragment().charFormat();
    ADD_FAILURE() << "no fragment contains " << text.toStdString();
    return {};
}

bool isBold(const QTextCharFormat& f) {
    return f.fontWeight() >= QFont::Bold;
}

} // namespace

TEST(RtfReader, ReadsWhatLibreOfficeWrites) {
    const auto doc = parse(fixture("libreoffice.rtf"));
    const QStringList text = blocks(*doc);
    ASSERT_GE(text.size(), 3);
    EXPECT_EQ(text[0], "Plain start. Bold words then italic words and a red word.");
    EXPECT_EQ(text[1], "Second paragraph with underlined text and bold italic.");
    // The Chinese characters come as \uN with '?' substitutes that must be dropped.
    EXPECT_EQ(text[2], QString::fromUtf8("中文段落：智能电力仪表测试程序"));

    const auto plain = formatOf(*doc, "Plain start.");
    EXPECT_FALSE(isBold(plain));
    EXPECT_FALSE(plain.fontItalic());
    EXPECT_FALSE(plain.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{"DejaVu Serif"}); // \deff3
    EXPECT_DOUBLE_EQ(plain.fontPointSize(), 12.0);

    const auto bold = formatOf(*doc, "Bold words");
    EXPECT_TRUE(isBold(bold));
    EXPECT_FALSE(bold.fontItalic());
    const auto italic = formatOf(*doc, "italic words");
    EXPECT_TRUE(italic.fontItalic());
    EXPECT_FALSE(isBold(italic));
    EXPECT_EQ(formatOf(*doc, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(formatOf(*doc, "underlined").fontUnderline());
    const auto both = formatOf(*doc, "bold italic");
    EXPECT_TRUE(isBold(both) && both.fontItalic());
    EXPECT_FALSE(formatOf(*doc, " then ").fontItalic());

    // Style sheet, document information and page styles are not text.
    const QString all = doc->toPlainText();
    for (const char* noise : {"Normal", "Fixture", "Default Page Style", "LibreOffice", ";"})
        EXPECT_FALSE(all.contains(QLatin1String(noise))) << noise;
}

TEST(RtfReader, DecodesCodePagesAndUnicode) {
    // GBK bytes in a font whose character set is GB2312 (134).
    auto doc = parse("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                     "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                     "A {\\f1 \\'d6\\'d0\\'ce\\'c4} B}");
    EXPECT_EQ(doc->toPlainText(), QString::fromUtf8("A 中文 B"));
    // The font's name is in its own code page too.
    EXPECT_EQ(formatOf(*doc, QString::fromUtf8("中文")).fontFamilies().toStringList(),
              QStringList{QString::fromUtf8("宋体")});

    // Or in Unicode, with substitutes to skip.
    doc = parse("{\\rtf1{\\fonttbl{\\f0\\fcharset0 \\u23435?\\u20307?;}}\\f0 x}");
    EXPECT_EQ(formatOf(*doc, "x").fontFamilies().toStringList(),
              QStringList{QString::fromUtf8("宋体")});

    // Without a font character set the document's code page decides.
    EXPECT_EQ(parse("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}")->toPlainText(),
              QString::fromUtf8("При"));
    EXPECT_EQ(parse("{\\rtf1\\ansi caf\\'e9}")->toPlainText(), QString::fromUtf8("café"));

    // \ucN substitutes are skipped, \'hh counting as one character.
    EXPECT_EQ(parse("{\\rtf1\\uc2 A\\u20013\\'d6\\'d0B}")->toPlainText(),
              QString::fromUtf8("A中B"));
    EXPECT_EQ(parse("{\\rtf1\\uc0 \\u20013 x}")->toPlainText(), QString::fromUtf8("中x"));
    // Negative parameters stand for the upper half; surrogate halves join.
    EXPECT_EQ(parse("{\\rtf1 \\u-244?\\u-10179?\\u-8704?}")->toPlainText(),
              QString::fromUtf8("，😀"));
    // A group's end stops the skipping, and \uc is scoped to its group.
    EXPECT_EQ(parse("{\\rtf1{\\uc3\\u20013?}B\\u20013?C}")->toPlainText(),
              QString::fromUtf8("中B中C"));
}

TEST(RtfReader, KeepsCharacterAndParagraphFormats) {
    auto doc = parse("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                     "{\\colortbl;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}"
                     "\\pard\\qc\\f1\\fs40\\b Title\\b0\\par"
                     "\\pard \\li720\\sb120 {\\cf1 green}{\\cf0 auto}{\\highlight2 marked}"
                     "\\i slanted\\i0 upright\\ul under\\ulnone  over{\\strike gone}"
                     "{\\super 2}\\plain  reset\\par "
                     "a\\tab b\\line c{\\v hidden}d\\par}");
    const QStringList text = blocks(*doc);
    ASSERT_GE(text.size(), 3);
    EXPECT_EQ(text[0], "Title");
    EXPECT_EQ(text[1], "greenautomarkedslanteduprightunder overgone2 reset");
    EXPECT_EQ(text[2], QString("a\tb") + QChar(0x2028) + "cd");

    const auto title = formatOf(*doc, "Title");
    EXPECT_TRUE(isBold(title));
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 20.0);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_EQ(doc->begin().blockFormat().alignment(), Qt::AlignHCenter);
    const QTextBlockFormat second = doc->begin().next().blockFormat();
    EXPECT_EQ(second.alignment(), Qt::AlignLeft); // \pard ends the centring
    EXPECT_DOUBLE_EQ(second.leftMargin(), 48.0);  // half an inch at 96 dpi
    EXPECT_DOUBLE_EQ(second.topMargin(), 8.0);

    EXPECT_EQ(formatOf(*doc, "green").foreground().color(), QColor(0, 128, 0));
    EXPECT_FALSE(formatOf(*doc, "auto").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf(*doc, "marked").background().color(), QColor(0, 0, 255));
    EXPECT_FALSE(isBold(formatOf(*doc, "green"))); // \b0 held across \pard
    EXPECT_TRUE(formatOf(*doc, "slanted").fontItalic());
    EXPECT_FALSE(formatOf(*doc, "upright").fontItalic());
    EXPECT_TRUE(formatOf(*doc, "under").fontUnderline());
    EXPECT_FALSE(formatOf(*doc, " over").fontUnderline());
    EXPECT_TRUE(formatOf(*doc, "gone").fontStrikeOut());
    EXPECT_EQ(formatOf(*doc, "2").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    const auto reset = formatOf(*doc, "reset");
    EXPECT_FALSE(reset.fontUnderline());
    EXPECT_DOUBLE_EQ(reset.fontPointSize(), 12.0);
    EXPECT_EQ(reset.fontFamilies().toStringList(), QStringList{"Arial"});
}

TEST(RtfReader, LeavesOutWhatIsNotDocumentText) {
    auto doc = parse("{\\rtf1{\\info{\\title T}{\\author Me}}{\\stylesheet{\\s0 Normal;}}"
                     "{\\header head}{\\*\\unknowndest secret {nested}}"
                     "{\\pict\\wmetafile8 0123abcd\\bin6 }}{{{x}after pict "
                     "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} "
                     "\\{braces\\}\\\\ {\\unknownword kept}}");
    EXPECT_EQ(doc->toPlainText(), "after pict link {braces}\\ kept");
}

TEST(RtfReader, SurvivesBrokenInput) {
    const QByteArray full = fixture("libreoffice.rtf");
    // Cut anywhere, the skipped destinations stay skipped and nothing breaks.
    for (qsizetype cut = 0; cut < full.size(); cut += 5) {
        const auto doc = parse(full.left(cut));
        ASSERT_FALSE(doc->toPlainText().contains("Normal")) << "cut at " << cut;
    }
    EXPECT_EQ(parse("{\\rtf1 abc")->toPlainText(), "abc");
    EXPECT_EQ(parse("}}}{\\rtf1 a}}}b{{")->toPlainText(), "a");
    EXPECT_EQ(parse("{\\rtf1 {{{ a")->toPlainText(), " a");
    EXPECT_EQ(parse("")->toPlainText(), "");
    EXPECT_EQ(parse("{\\rtf1 x\\'")->toPlainText(), "x");
    EXPECT_EQ(parse("{\\rtf1 x\\'g1}")->toPlainText(), "xg1");
    EXPECT_EQ(parse("{\\rtf1 x\\")->toPlainText(), "x");
    EXPECT_EQ(parse("{\\rtf1 \\bin99999999999999 never shown}")->toPlainText(), "");

    // Numbers far beyond any field saturate instead of overflowing.
    auto doc = parse("{\\rtf1{\\colortbl;\\red999999999999\\green-5\\blue7;}"
                     "\\fs99999999999999999999 x\\cf99999999999 y\\cf1 c"
                     "{\\uc99999999999\\u99999999999 z}\\f-99999999999 w"
                     "\\li-99999999999999 \\aVeryLongControlWordThatGoesOnAndOnForeverAndEver1 v}");
    EXPECT_EQ(doc->toPlainText(), "xycwv");
    EXPECT_DOUBLE_EQ(formatOf(*doc, "x").fontPointSize(), 1000.0);
    EXPECT_EQ(formatOf(*doc, "c").foreground().color(), QColor(255, 0, 7));
}

TEST(RtfReader, BoundsDeepNesting) {
    const int depth = 100000;
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " after}";
    auto doc = parse(deep);
    EXPECT_EQ(doc->toPlainText(), "deep after");
    EXPECT_TRUE(isBold(formatOf(*doc, "deep")));
    EXPECT_FALSE(isBold(formatOf(*doc, "after")));

    // Deep nesting inside a skipped destination stays skipped when it unwinds.
    QByteArray hidden = "{\\rtf1 a{\\*\\skipme ";
    hidden += QByteArray(depth, '{') + "x" + QByteArray(depth, '}') + "y}b}";
    EXPECT_EQ(parse(hidden)->toPlainText(), "ab");
    // Never closed at all.
    EXPECT_EQ(parse("{\\rtf1 " + QByteArray(depth, '{') + "open")->toPlainText(), "open");
}

TEST(RtfReader, SurvivesRandomBytes) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> rtfish(0, 7);
    const char alphabet[] = "{}\\'u0b9 ";
    for (int round = 0; round < 200; ++round) {
        QByteArray data = round % 2 ? QByteArray("{\\rtf1 ") : QByteArray();
        const int length = 1 + round * 50;
        for (int i = 0; i < length; ++i)
            data += round % 3 ? char(byte(random)) : alphabet[rtfish(random)];
        const auto doc = parse(data);
        // Whatever came out is a well-formed document that can be laid out.
        EXPECT_GE(doc->blockCount(), 1);
        EXPECT_GE(doc->size().height(), 0.0);
    }
}

TEST(RtfReader, RecognisesRichText) {
    EXPECT_TRUE(RtfReader::looksLikeRtf("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(RtfReader::looksLikeRtf("\xEF\xBB\xBF \r\n{\\rtf1}"));
    EXPECT_FALSE(RtfReader::looksLikeRtf("plain help text"));
    EXPECT_FALSE(RtfReader::looksLikeRtf("{\\rt"));
    EXPECT_FALSE(RtfReader::looksLikeRtf(""));
}

TEST(RtfReader, ReadsTheShippedHelpFileCleanly) {
    QFile file(QStringLiteral(QETRA_RESOURCES_DIR "/QETRA.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray rtf = file.readAll();
    ASSERT_TRUE(RtfReader::looksLikeRtf(rtf));
    const auto doc = parse(rtf);
    const QString text = doc->toPlainText();
    // A control word the reader misread would leave backslashes or braces behind.
    EXPECT_FALSE(text.contains('\\') || text.contains('{') || text.contains('}'));
    EXPECT_TRUE(text.startsWith("QetraLink Help\nAdvanced")); // no \info title or author before it
    for (const char* topic : {"dialout", "~/.local/share/QetraLink/ports", "/dev/ttyS0",
                              "Save as default environment", "No Response=", "meter-sim"})
        EXPECT_TRUE(text.contains(QLatin1String(topic))) << topic;
    // The help is read by users of the installed program, who have no source folder.
    EXPECT_FALSE(text.contains(QLatin1String("make run")));
    EXPECT_FALSE(text.contains(QLatin1String("./meter-sim")));
    EXPECT_TRUE(isBold(formatOf(*doc, "Connecting the meter")));
    EXPECT_TRUE(
        formatOf(*doc, "sudo usermod").fontFamilies().toStringList().contains("DejaVu Sans Mono"));
}
