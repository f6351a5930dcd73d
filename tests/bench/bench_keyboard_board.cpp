// Figures of the on-screen keyboard built from the sample QK75, shown offscreen: 1000 preview
// frames, the paints processed after each. Prints the mean and 99th-percentile time per frame,
// key paints per frame, paints of the board itself, and the ratios to the effect engine's
// shortest frame period (10 ms) and to one full repaint of the board.
#include "app/MainWidget.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
class PaintCounter : public QObject
{
public:
    QObject *board = nullptr;
    long boardPaints = 0, keyPaints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            if (watched == board)
                ++boardPaints;
            else
                ++keyPaints;
        }
        return false;
    }
};

struct Figures
{
    double mean = 0, p99 = 0, keyPaintsPerFrame = 0, fullMs = 0;
    long boardPaints = 0;
};

Figures Measure(QMultifunKeyBoard *board, int frames)
{
    QApplication::processEvents();
    PaintCounter counter;
    counter.board = board;
    board->installEventFilter(&counter);
    const QList<QMultifunKeyButton *> keys = board->findChildren<QMultifunKeyButton *>();
    for (QMultifunKeyButton *key : keys)
        key->installEventFilter(&counter);
    std::vector<uchar> frame(520);
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(frames));
    QElapsedTimer t;
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < 520; ++i)
            frame[static_cast<size_t>(i)] = static_cast<uchar>((i * 7 + f * 5) & 0xFF);
        t.start();
        board->on_DispLagEffect(frame.data(), 180);
        QApplication::processEvents();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    Figures out;
    out.keyPaintsPerFrame = double(counter.keyPaints) / frames;
    out.boardPaints = counter.boardPaints;
    constexpr int kFull = 20;
    t.start();
    for (int i = 0; i < kFull; ++i)
        board->repaint();
    out.fullMs = t.nsecsElapsed() / 1e6 / kFull;
    board->removeEventFilter(&counter);
    for (QMultifunKeyButton *key : keys)
        key->removeEventFilter(&counter);
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    out.mean = sum / frames;
    out.p99 = ms[static_cast<size_t>(frames * 99 / 100)];
    return out;
}

void Print(const char *title, int frames, const Figures &f)
{
    std::printf("%s, %d frames\n", title, frames);
    std::printf("  frame + paints, mean                  %8.3f ms\n", f.mean);
    std::printf("  frame + paints, 99th percentile       %8.3f ms\n", f.p99);
    std::printf("  key paints per frame                  %8.1f\n", f.keyPaintsPerFrame);
    std::printf("  paints of the board itself            %8ld\n", f.boardPaints);
    std::printf("  mean / 10 ms frame period             %8.3f\n", f.mean / 10.0);
    std::printf("  one full repaint of the board         %8.3f ms\n", f.fullMs);
    std::printf("  mean / full repaint                   %8.3f\n", f.mean / f.fullMs);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramDir dir;
    MainWidget main;
    main.show();
    main.OpenKeyboardPage(QStringLiteral("QK75"));
    QMultifunKeyBoard *board = QLStyleKeybordTabWidget::instance()->KeyBoard();
    board->CurrentPage = 1;
    std::printf("keys on the board %d\n", static_cast<int>(board->findChildren<QMultifunKeyButton *>().size()));

    // The board alone in a plain window: its own cost.
    QWidget *page = board->parentWidget();
    QWidget host;
    board->setParent(&host);
    board->move(0, 0);
    host.resize(board->size());
    board->show();
    host.show();
    Print("board in a plain window", 1000, Measure(board, 1000));

    // Inside the translucent main window, whose drop shadow renders the whole window again
    // for every changed key.
    board->setParent(page);
    board->show();
    Print("board inside the main window", 50, Measure(board, 50));
    return 0;
}
