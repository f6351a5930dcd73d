// Figures of the macro editor page:
// - loading a 151-record macro into the page with its delay rows shown, as a ratio to decoding
//   the same records without widgets;
// - saving it through the page, as a ratio to a plain whole-file write of the same size.
#include "app/MainWidget.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"
#include "macros/QJsonConfing.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

template <typename F>
double UsPerRun(int runs, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < runs; ++i)
        f();
    return double(t.nsecsElapsed()) / runs / 1000.0;
}

// 151 records: key down and up pairs of A..Z with 50 ms delays, ending on a key-up.
QByteArray Records()
{
    QByteArray r;
    for (int i = 0; r.size() < 151 * 4; ++i) {
        const char usage = char(4 + (i / 2) % 26);
        r.append(char((i % 2) ? 0x80 : 0x00)).append('\0').append(char(50)).append(usage);
    }
    r.chop(r.size() - 151 * 4);
    r[150 * 4] = char(0x80);
    return r;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramDir dir;
    if (!dir.isValid()) {
        std::printf("no program folder\n");
        return 1;
    }
    MainWidget main;
    main.OpenKeyboardPage(QStringLiteral("QK75"));
    QEditPage *page = QEditPage::Instance();
    page->resize(1200, 800);
    page->show();

    const QByteArray records = Records();
    const QString name = QStringLiteral("bench");
    const QByteArray imageBytes = QJsonConfing::MacroImage(name, records);
    const QVector<uchar> image(imageBytes.cbegin(), imageBytes.cend());

    const int runs = 50;
    const double load = UsPerRun(runs, [&] {
        page->SetMacroName(name);
        page->LoadMacro(image, 1, 1);
        page->EventList()->ShowDelayItems(true); // as the edit-time button shows them
        QApplication::processEvents();
    });
    const int rows = page->EventList()->Rows().size();
    volatile int sink = 0;
    const double decode = UsPerRun(runs * 20, [&] {
        for (int i = 0; i + 4 <= records.size(); i += 4)
            sink += int(QEditMacroPage_Iner::DecodeEvent(records.mid(i, 4)).code);
    });
    std::printf("load of a 151-record macro with delay rows (%d rows): %.0f us (%.0f x decoding its records, %.2f us)\n",
                rows, load, load / decode, decode);

    // Saving: each run marks the page changed so the save writes the whole file.
    const double save = UsPerRun(runs, [&] { page->SaveMacro(); });
    const QString path = dir.filePath(QStringLiteral("Products/QK75/moidefConfig/bench.bin"));
    const QByteArray written = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const QString plainPath = dir.filePath(QStringLiteral("plain.bin"));
    const double plain = UsPerRun(runs, [&] {
        QSaveFile f(plainPath);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(written);
            f.commit();
        }
    });
    std::printf("save of that macro (%d-byte file): %.1f us (%.2f x a plain whole-file write of %.1f us)\n",
                int(written.size()), save, save / plain, plain);
    return sink == -1;
}
