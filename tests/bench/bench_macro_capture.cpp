// Figures of macro recording and macro files:
// - under Xvfb, the time from a key injected with XTest to its report from the key hook (through
//   RECORD), median and 99th percentile over 1,000 keys, as a ratio to an XSync round trip (the
//   injector syncs after each key: a server whose clients receive no input, as a bare Xvfb,
//   passes recorded events on only when it next writes to some client);
// - encoding and decoding a 151-record macro, as a ratio to copying the same bytes;
// - writing and reading a 2048-byte macro through the store, as a ratio to a plain file write
//   and read of the same size.
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QJsonConfing.h"
#include "macros/QKeyHook.h"
#include "platform/linux/X11InputCapture.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/XvfbDisplay.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

double Percentile(QVector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.at(qMin(v.size() - 1, int(p * v.size())));
}

template <typename F>
double NsPerRun(int runs, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < runs; ++i)
        f();
    return double(t.nsecsElapsed()) / runs;
}

volatile uint g_sink = 0;

void CaptureLatency()
{
    XvfbDisplay xvfb;
    if (xvfb.Name().isEmpty()) {
        std::printf("key to record: not measured (%s)\n", qPrintable(xvfb.Why()));
        return;
    }
    Display *inject = XOpenDisplay(xvfb.Name().constData());
    GlobalInputCapture::SetInstance(std::make_unique<X11InputCapture>(xvfb.Name()));
    QKeyHook *hook = QKeyHook::Instance();
    if (!inject || !hook->InstallHook()) {
        std::printf("key to record: not measured (no capture on %s)\n", xvfb.Name().constData());
        return;
    }
    int reports = 0;
    QObject::connect(hook, &QKeyHook::HookKeyCodeValue, [&](bool, uint, uint) { ++reports; });
    auto waitFor = [&](int n) {
        while (reports < n)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    const int keys = 1000;
    QVector<double> latency, roundTrip;
    latency.reserve(keys);
    roundTrip.reserve(keys);
    QElapsedTimer t;
    for (int i = 0; i < keys; ++i) {
        t.start();
        XSync(inject, False);
        roundTrip.append(t.nsecsElapsed() / 1000.0);
        t.start();
        XTestFakeKeyEvent(inject, 38, True, CurrentTime);
        XSync(inject, False);
        waitFor(2 * i + 1);
        latency.append(t.nsecsElapsed() / 1000.0);
        XTestFakeKeyEvent(inject, 38, False, CurrentTime);
        XSync(inject, False);
        waitFor(2 * i + 2);
    }
    hook->UnHook();
    XCloseDisplay(inject);
    GlobalInputCapture::SetInstance(nullptr);
    const double sync = Percentile(roundTrip, 0.5);
    const double med = Percentile(latency, 0.5), p99 = Percentile(latency, 0.99);
    std::printf("key to record over %d keys: median %.1f us (%.2f x XSync), 99th percentile %.1f us (%.2f x XSync); "
                "XSync round trip median %.1f us\n",
                keys, med, med / sync, p99, p99 / sync, sync);
}

void Codec()
{
    QVector<MacroRow> rows;
    for (int i = 0; i < 151; ++i)
        rows.append(i % 3 == 2 ? MacroRow{1, i % 2 == 0, uint(i % 5), uint(i * 37)} : MacroRow{2, i % 2 == 0, uint(65 + i % 26), uint(i * 11)});
    rows.last().down = false;
    const QByteArray buffer = QEditMacroPage_Iner::EncodeRows(rows);
    const int runs = 20000;
    const double encode = NsPerRun(runs, [&] { g_sink += uint(QEditMacroPage_Iner::EncodeRows(rows).size()); });
    const double decode = NsPerRun(runs, [&] {
        for (int i = 0; i + 4 <= buffer.size(); i += 4)
            g_sink += QEditMacroPage_Iner::DecodeEvent(QByteArray::fromRawData(buffer.constData() + i, 4)).code;
    });
    char target[1024];
    const double copy = NsPerRun(runs, [&] {
        std::memcpy(target, buffer.constData(), size_t(buffer.size()));
        g_sink += uchar(target[g_sink % 64]);
    });
    std::printf("151-record macro (%d bytes): encode %.0f ns (%.1f x copy), decode %.0f ns (%.1f x copy), copy %.0f ns\n",
                int(buffer.size()), encode, encode / copy, decode, decode / copy, copy);
}

void Store()
{
    TestProgramDir dir;
    const QString folder = dir.filePath(QStringLiteral("Products/QK75/moidefConfig"));
    QDir().mkpath(folder);
    QByteArray records;
    for (int i = 0; i < 2040; ++i)
        records.append(char(i * 13));
    const QString name = QStringLiteral("bench"); // 1 + 5 + 2040 = 2046 bytes
    const QString hex = QJsonConfing::ImageToHex(QJsonConfing::MacroImage(name, records));
    const int runs = 300;
    QJsonConfing store(folder);
    const double storeNs = NsPerRun(runs, [&] {
        store.WriteMacroFile(name, hex, 1, 1);
        int way = 0, one = 0;
        g_sink += uint(store.ReadMacroData(name, &way, &one).size());
    });
    const QByteArray plain = QJsonConfing::MacroImage(name, records);
    const QString path = folder + QStringLiteral("/plain.dat");
    const double plainNs = NsPerRun(runs, [&] {
        QFile out(path);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(plain);
        out.close();
        QFile in(path);
        if (in.open(QIODevice::ReadOnly))
            g_sink += uint(in.readAll().size());
    });
    std::printf("2046-byte macro: store write and read %.1f us (%.1f x a plain file write and read of %.1f us)\n",
                storeNs / 1000, storeNs / plainNs, plainNs / 1000);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CaptureLatency();
    Codec();
    Store();
    return 0;
}
