#include "widgets/AppFont.h"
#include "app/AppDirPath.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {
std::optional<QFont> &sharedFont()
{
    static std::optional<QFont> font;
    return font;
}
} // namespace

QFont LoadAppFont(int pixelSize)
{
    auto &font = sharedFont();
    if (!font) {
        const int id = QFontDatabase::addApplicationFont(AppDirPath() + QStringLiteral("/FontDir/OPPOSans-H.ttf"));
        if (id >= 0) {
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty())
                font = QFont(families.first());
        }
    }
    QFont result = font ? *font : QApplication::font();
    if (pixelSize > 0) {
        result.setPixelSize(pixelSize);
        if (font)
            font->setPixelSize(pixelSize);
    }
    return result;
}

void ApplyAppFont(QWidget *widget, int pixelSize)
{
    const QFont f = LoadAppFont(pixelSize);
    if (widget)
        widget->setFont(f);
}

void FitAppFont(QWidget *widget, const QString &text, int pixelSize, int width)
{
    int size = pixelSize;
    for (; size > 9; --size) {
        const QFontMetrics metrics(LoadAppFont(size));
        int widest = 0;
        for (const QString &line : text.split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= width)
            break;
    }
    ApplyAppFont(widget, size);
}
