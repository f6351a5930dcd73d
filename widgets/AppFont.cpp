#include "widgets/AppFont.h"
#include "app/AppDirPath.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
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

QFont FittedAppFont(const QString &text, int pixelSize, int width)
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
    return LoadAppFont(size);
}

void FitAppFont(QWidget *widget, const QString &text, int pixelSize, int width)
{
    if (widget)
        widget->setFont(FittedAppFont(text, pixelSize, width));
}

void FitListItemFonts(QListWidget *list, int pixelSize, int width, int height)
{
    bool wrap = false;
    for (int i = 0; i < list->count(); ++i) {
        const QString text = list->item(i)->text();
        QFont font = FittedAppFont(text, pixelSize, width);
        // Two lines where they allow a larger size than one.
        for (int size = pixelSize; size > font.pixelSize(); --size) {
            const QRect need = QFontMetrics(LoadAppFont(size)).boundingRect(QRect(0, 0, width, height), Qt::TextWordWrap, text);
            if (need.width() <= width && need.height() <= height) {
                font = LoadAppFont(size);
                wrap = true;
                break;
            }
        }
        if (list->item(i)->font() != font) // an unchanged font lays nothing out again
            list->item(i)->setFont(font);
    }
    if (list->wordWrap() != wrap)
        list->setWordWrap(wrap);
}

void FitLabelText(QLabel *label, const QString &text, QFont font)
{
    label->setText(text);
    const QRect room = label->contentsRect();
    bool wrap = false;
    for (int size = QFontInfo(font).pixelSize(); size >= 8; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height())
            break;
        const QRect wrapped = metrics.boundingRect(room, Qt::TextWordWrap | label->alignment(), text);
        wrap = wrapped.width() <= room.width() && wrapped.height() <= room.height();
        if (wrap)
            break;
    }
    label->setWordWrap(wrap);
    label->setFont(font);
}
