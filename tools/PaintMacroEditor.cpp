#include "tools/PaintMacroEditor.h"
#include "tools/PaintCanvas.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kLight(230, 230, 230);
const QColor kBlue(0, 165, 224);
const QString kModeDir = QStringLiteral("resources/MacroEditor/MoDefine/");
const QString kRowDir = QStringLiteral("resources/MacroEditor/QEditkeysDefinition/");

QPen Stroke(int w, const QColor &c, double part = 12.0)
{
    QPen pen(c, w / part);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A round record button: a red dot to start, a square to stop.
void RecordStart(QPainter &p, int w, int h)
{
    p.setPen(Stroke(w, kLight, 14));
    p.drawEllipse(QRectF(w * 0.08, h * 0.08, w * 0.84, h * 0.84));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 40, 60));
    p.drawEllipse(QRectF(w * 0.3, h * 0.3, w * 0.4, h * 0.4));
}

void RecordStop(QPainter &p, int w, int h)
{
    p.setPen(Stroke(w, kLight, 14));
    p.drawEllipse(QRectF(w * 0.08, h * 0.08, w * 0.84, h * 0.84));
    p.setPen(Qt::NoPen);
    p.setBrush(kLight);
    p.drawRoundedRect(QRectF(w * 0.33, h * 0.33, w * 0.34, h * 0.34), w * 0.04, h * 0.04);
}

// A key cap seen from above.
void KeyCap(QPainter &p, int w, int h, double top)
{
    p.setPen(Stroke(w, kLight, 16));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(w * 0.25, h * top, w * 0.5, h * 0.34), w * 0.06, h * 0.06);
}

// Run once per count: a key with a circular arrow.
void OneButton(QPainter &p, int w, int h)
{
    KeyCap(p, w, h, 0.45);
    p.setPen(Stroke(w, kBlue, 14));
    p.drawArc(QRectF(w * 0.3, h * 0.08, w * 0.4, h * 0.3), 30 * 16, 300 * 16);
    p.drawLine(QPointF(w * 0.67, h * 0.12), QPointF(w * 0.67, h * 0.2));
}

// Until another key: a held key and a second key with a stop bar.
void PressButton(QPainter &p, int w, int h)
{
    KeyCap(p, w, h, 0.45);
    p.setPen(Stroke(w, kBlue, 14));
    p.drawLine(QPointF(w * 0.5, h * 0.1), QPointF(w * 0.5, h * 0.36));
    p.drawLine(QPointF(w * 0.4, h * 0.26), QPointF(w * 0.5, h * 0.36));
    p.drawLine(QPointF(w * 0.6, h * 0.26), QPointF(w * 0.5, h * 0.36));
    p.drawLine(QPointF(w * 0.78, h * 0.2), QPointF(w * 0.92, h * 0.2));
}

// While held: a key with a pressed-down finger bar and repeat ticks.
void OtherButton(QPainter &p, int w, int h)
{
    KeyCap(p, w, h, 0.5);
    p.setPen(Stroke(w, kBlue, 14));
    p.drawLine(QPointF(w * 0.35, h * 0.38), QPointF(w * 0.65, h * 0.38));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(w * (0.3 + 0.2 * i), h * 0.12), QPointF(w * (0.3 + 0.2 * i), h * 0.24));
}

// A pencil over a line: the name field.
void SetName(QPainter &p, int w, int h)
{
    p.setPen(Stroke(w, kLight, 12));
    p.drawLine(QPointF(w * 0.15, h * 0.85), QPointF(w * 0.85, h * 0.85));
    QPainterPath pencil;
    pencil.moveTo(w * 0.25, h * 0.72);
    pencil.lineTo(w * 0.3, h * 0.55);
    pencil.lineTo(w * 0.7, h * 0.15);
    pencil.lineTo(w * 0.82, h * 0.27);
    pencil.lineTo(w * 0.42, h * 0.67);
    pencil.closeSubpath();
    p.drawPath(pencil);
}

void CheckOff(QPainter &p, int w, int h)
{
    p.setPen(Stroke(w, kLight, 10));
    p.drawRoundedRect(QRectF(w * 0.12, h * 0.12, w * 0.76, h * 0.76), w * 0.15, h * 0.15);
}

void CheckOn(QPainter &p, int w, int h)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(w * 0.12, h * 0.12, w * 0.76, h * 0.76), w * 0.15, h * 0.15);
    p.setPen(Stroke(w, Qt::white, 8));
    p.drawLine(QPointF(w * 0.3, h * 0.52), QPointF(w * 0.45, h * 0.67));
    p.drawLine(QPointF(w * 0.45, h * 0.67), QPointF(w * 0.72, h * 0.35));
}

// A mouse seen from above with one part lit: 0 left, 1 right, 2 wheel.
CanvasPainter MouseHead(int part, bool lit)
{
    return [part, lit](QPainter &p, int w, int h) {
        const QColor line = lit ? kBlue : kLight;
        const QRectF body(w * 0.22, h * 0.08, w * 0.56, h * 0.84);
        p.setPen(Stroke(w, line, 16));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body, w * 0.28, w * 0.28);
        p.drawLine(QPointF(w * 0.22, h * 0.42), QPointF(w * 0.78, h * 0.42));
        p.drawLine(QPointF(w * 0.5, h * 0.08), QPointF(w * 0.5, h * 0.42));
        p.setPen(Qt::NoPen);
        p.setBrush(line);
        if (part == 0)
            p.drawChord(QRectF(w * 0.25, h * 0.11, w * 0.5, h * 0.56), 90 * 16, 90 * 16);
        else if (part == 1)
            p.drawChord(QRectF(w * 0.25, h * 0.11, w * 0.5, h * 0.56), 0, 90 * 16);
        else
            p.drawRoundedRect(QRectF(w * 0.45, h * 0.16, w * 0.1, h * 0.18), w * 0.05, w * 0.05);
    };
}

} // namespace

int PaintMacroEditorImages(const QString &root)
{
    int failures = 0;
    failures += !SavePainted(root, kModeDir + QStringLiteral("MouchStarte.png"), 40, 40, RecordStart);
    failures += !SavePainted(root, kModeDir + QStringLiteral("MouchStop.png"), 40, 40, RecordStop);
    failures += !SavePainted(root, kModeDir + QStringLiteral("OneButton.png"), 56, 56, OneButton);
    failures += !SavePainted(root, kModeDir + QStringLiteral("PressButton.png"), 56, 56, PressButton);
    failures += !SavePainted(root, kModeDir + QStringLiteral("OtherButton.png"), 56, 56, OtherButton);
    failures += !SavePainted(root, kModeDir + QStringLiteral("SetName.png"), 32, 32, SetName);
    failures += !SavePainted(root, kModeDir + QStringLiteral("MuchouCheck.png"), 20, 20, CheckOff);
    failures += !SavePainted(root, kModeDir + QStringLiteral("MuchoCheck.png"), 20, 20, CheckOn);
    const char *heads[] = {"Mouse_Lift", "Mouse_Right", "Mouse_Mid"};
    for (int part = 0; part < 3; ++part) {
        for (bool lit : {false, true}) {
            const QString file = QStringLiteral("%1%2%3").arg(kRowDir, QLatin1String(heads[part]),
                                                                lit ? QStringLiteral("_hv.png") : QStringLiteral("_nv.png"));
            failures += !SavePainted(root, file, 40, 40, MouseHead(part, lit));
        }
    }
    return failures;
}
