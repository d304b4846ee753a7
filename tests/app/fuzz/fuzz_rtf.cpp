// libFuzzer entry: any bytes given to the help window's reader must neither
// crash nor hang it. The document is not laid out here: font matching for the
// made-up family names would only exercise (and grow) the system's font caches.
#include "RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    QTextDocument doc;
    RtfReader::read(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                    doc);
    if (doc.blockCount() < 1 || doc.characterCount() < 1)
        std::abort();
    return 0;
}
