#include "tools/ImagePainters.h"
#include "tools/PaintCanvas.h"
#include "tools/PaintSettings.h"
#include "tools/PaintShell.h"
#include "tools/PaintProducts.h"
#include "tools/PaintConfigDirs.h"
#include "tools/PaintPageIcons.h"
#include "tools/PaintDeviceList.h"
#include "tools/PaintWidgets.h"
#include "tools/PaintKeyboard.h"
#include "tools/PaintKeyboardPage.h"
#include "tools/PaintMacroEditor.h"
#include "tools/PaintConfigList.h"
#include "tools/PaintFirmwareUpdate.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

int g_failures = 0;

void appIcon(QPainter &p, int w, int h)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(48, 83, 132));
    p.drawRoundedRect(QRectF(2, 2, w - 4, h - 4), w / 5.0, h / 5.0);
    QPen pen(QColor(230, 230, 230), w / 10.0);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF ring(w * 0.22, h * 0.22, w * 0.56, h * 0.56);
    p.drawEllipse(ring);
    p.drawLine(QPointF(w * 0.60, h * 0.60), QPointF(w * 0.80, h * 0.80));
}

} // namespace

int PaintAllImages(const QString &root)
{
    g_failures = 0;
    g_failures += !SavePainted(root, QStringLiteral("resources/app/appico.png"), 64, 64, appIcon);
    g_failures += PaintShellImages(root);
    g_failures += PaintProductImages(root);
    g_failures += PaintMouseProfileImages(root);
    g_failures += PaintMouseKeyPageIcons(root);
    g_failures += PaintConfigDirsImages(root);
    g_failures += PaintPageIcons(root);
    g_failures += PaintWidgetImages(root);
    g_failures += PaintSettingsImages(root);
    g_failures += PaintDeviceListImages(root);
    g_failures += PaintKeyboardImages(root);
    g_failures += PaintKeyboardPageImages(root);
    g_failures += PaintMacroEditorImages(root);
    g_failures += PaintConfigListImages(root);
    g_failures += PaintFirmwareUpdateImages(root);
    return g_failures;
}
