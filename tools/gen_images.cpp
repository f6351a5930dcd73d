// Draws the program's own images (icons, title buttons, spinner, product pictures) into resources/.
// Run: build/bin/quorix-gen-images <source dir>; the PNGs it writes are committed.
#include "tools/ImagePainters.h"

#include <QGuiApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <source dir>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const int failures = PaintAllImages(root);
    if (failures)
        std::fprintf(stderr, "%d images could not be written\n", failures);
    return failures ? 1 : 0;
}
