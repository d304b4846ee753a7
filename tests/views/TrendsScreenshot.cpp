// Takes the pictures of the trends window for the documentation (run under Xvfb): an hour
// of the simulated meter with a load that comes and goes every ten minutes and a line lost
// for three minutes, recorded as the program records it; then two hours of the same meter
// written by the data log in hourly files and opened from file.
//   trends_screenshot <live.png> <log.png>
#include "FormTrends.h"
#include "MeterModel.h"
#include "MeteringCsv.h"
#include "ScreenshotShell.h"
#include "TrendQuantities.h"
#include "TrendRecorder.h"
#include "ViewWindows.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>

namespace {

QList<quint16> Read(const MeterModel& meter, std::uint16_t start, std::uint16_t count) {
    std::vector<std::uint16_t> out;
    meter.readRegisters(start, count, out);
    return QList<quint16>(out.begin(), out.end());
}

QList<int> Quantities(std::initializer_list<const char*> columns) {
    QList<int> q;
    for (const char* c : columns)
        q << TrendQuantityOfColumn(QString::fromLatin1(c));
    return q;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <live.png> <log.png>\n", argv[0]);
        return 2;
    }
    ScreenshotShell session;
    TFormTeskLink& shell = session.StartProgram({RegisterViewWindows}, {1280, 800}, false);
    auto* recorder = shell.findChild<TrendRecorder*>();
    const qint64 start = QDateTime(QDate(2024, 5, 1), QTime(13, 0)).toMSecsSinceEpoch();
    qint64 now = start;
    recorder->SetClock([&] { return now; });

    // An hour, one metering reply a second, as the rotation reads the meter.
    MeterModel meter({.seed = 7, .ct1 = 100, .loadCycleSeconds = 600}, start);
    ReplyRouting& routing = shell.Routing();
    for (int s = 0; s < 3600; ++s) {
        now = start + s * 1000LL;
        meter.advance(now);
        if (s >= 2400 && s < 2580) // the line is lost for three minutes
            continue;
        routing.RegistersReceived(0x100, Read(meter, 0x100, 34));
        routing.RegistersReceived(TemperatureRegister, Read(meter, TemperatureRegister, 1));
        routing.RegistersReceived(MeteringBlockStart,
                                  Read(meter, MeteringBlockStart, MeteringBlockCount));
    }

    auto* window = qobject_cast<TFormTrends*>(shell.ShowWindowNamed(TrendsWindowName));
    QMdiSubWindow* sub = window ? shell.SubWindowOf(window) : nullptr;
    if (sub == nullptr) {
        std::fprintf(stderr, "no trends window\n");
        return 1;
    }
    shell.ClientArea()->setActiveSubWindow(sub);
    sub->move(0, 0);
    sub->resize(1240, 640);
    window->Choose(Quantities({"V1 (V)", "V2 (V)", "V3 (V)", "I1 (A)", "I2 (A)", "I3 (A)"}));
    window->Chart()->SetSpanMs(3'600'000);
    window->Chart()->SetCursorMs(start + 2'045'000);
    ScreenshotShell::Pause(300);
    bool saved = session.Save(window, QString::fromLocal8Bit(argv[1]));

    // Two more hours of the same meter in the data log's hourly files, a line every 5 s.
    QTemporaryDir dir;
    MeteringCsvLog log;
    QDateTime at = QDateTime::fromMSecsSinceEpoch(now);
    log.SetClock([&] { return at; });
    log.Start({QDir(dir.path()).filePath(QStringLiteral("meter.csv")), 0, LogRotation::Hourly});
    const ScaleRatios ratios{shell.State().PtRatio, shell.State().CtRatio};
    for (int s = 0; s < 7200; s += 5) {
        at = at.addSecs(5);
        meter.advance(at.toMSecsSinceEpoch());
        log.TemperatureReceived(Read(meter, TemperatureRegister, 1).front());
        log.BlockReceived(Read(meter, MeteringBlockStart, MeteringBlockCount), ratios);
    }
    log.Stop();
    QStringList files;
    for (const QString& f : QDir(dir.path()).entryList({QStringLiteral("meter-*.csv")}))
        files << QDir(dir.path()).filePath(f);
    if (!window->OpenLog(files)) {
        std::fprintf(stderr, "%s\n", qPrintable(session.dialogs.Texts().join('\n')));
        return 1;
    }
    window->Choose(Quantities({"P1 (W)", "P2 (W)", "P3 (W)", "Psum (W)", "PF"}));
    window->Chart()->SetCursorMs(std::nullopt);
    ScreenshotShell::Pause(300);
    saved = session.Save(window, QString::fromLocal8Bit(argv[2])) && saved;
    return saved ? 0 : 1;
}
