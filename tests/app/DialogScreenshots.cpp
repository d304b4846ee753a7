// Renders the help window, the about box and a count dialog to PNG files for the documentation:
//     dialog_screenshots <output folder> <help file>
#include "frmAbout.h"
#include "frmCount.h"
#include "frmHelp.h"

#include <QApplication>
#include <QDir>
#include <QTextEdit>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> <help file>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    TFormHelp help(QStringLiteral("Advanced Intelligent Power Meter Test Program -- QETRA 7300"),
                   QString::fromLocal8Bit(argv[2]));
    help.show();
    TForm_About about;
    about.show();
    TFormAngleCount count;
    count.setCount(QStringLiteral("100"));
    count.show();
    QApplication::processEvents();

    bool saved = help.grab().save(out.filePath(QStringLiteral("help-window.png")));
    saved = about.grab().save(out.filePath(QStringLiteral("about-box.png"))) && saved;
    saved = count.grab().save(out.filePath(QStringLiteral("angle-count.png"))) && saved;
    if (!saved) {
        std::fprintf(stderr, "cannot write the screenshots into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
