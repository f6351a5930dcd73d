#include "keyboard/QMultifunKeyButton.h"
#include "app/QXM_Process.h"
#include "keyboard/KeyValueInfo.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "lighting/QLightConfigWIdget.h"

#include <QHash>
#include <QMouseEvent>
#include <QPainter>

namespace {
uchar BoardPage()
{
    const QMultifunKeyBoard *board = QMultifunKeyBoard::instance();
    return board ? board->CurrentPage : 0;
}
} // namespace

QMultifunKeyButton::QMultifunKeyButton(QWidget *parent) : QLabel(parent)
{
    if (QMultifunKeyBoard *board = QMultifunKeyBoard::instance())
        connect(this, &QMultifunKeyButton::DiyColorChange, board, &QMultifunKeyBoard::on_DiyColorChange);
}

void QMultifunKeyButton::on_BuildButtonInfo(int Mkeypos, int Mffectpos, QString MKeyValue, uchar MButDiypos,
                                            bool border, bool dehide)
{
    keypos = Mkeypos;
    Effectpos = Mffectpos;
    KeyValue = MKeyValue;
    Diypos = MButDiypos;
    BorderMode = border ? 1 : 0;
    m_layoutBorder = BorderMode;
    Hidden = dehide ? 1 : 0;
    DisplayType = 0;
}

void QMultifunKeyButton::on_Resetdefault()
{
    setText(DefaultText);
    DisplayType = 0;
    PictureMode = 0;
    Record = nullptr;
    // An assignment turned the border on; the layout's own value brings a cap text back.
    BorderMode = m_layoutBorder;
}

void QMultifunKeyButton::on_setChangobj(_KeyValueInfo *Info)
{
    Record = Info;
    if (!Info) {
        DisplayType = 0;
        return;
    }
    switch (Info->type) {
    case 3: DisplayType = 3; break;
    case 5: DisplayType = 2; break;
    case 1: case 2: case 4: PictureMode = 1; DisplayType = 1; break;
    case 0: case 6: case 7: PictureMode = 0; DisplayType = 1; break;
    case 8: DisplayType = 4; break;
    default: break;
    }
    BorderMode = 1;
    update();
}

void QMultifunKeyButton::on_dispText(QString Text)
{
    setText(Text);
    PictureMode = 0;
}

void QMultifunKeyButton::on_disphover(bool h)
{
    Hover = h ? 1 : 0;
    update();
}

QColor QMultifunKeyButton::KeyColor() const
{
    return QColor(R, G, B, 255);
}

void QMultifunKeyButton::SetColour(uchar r, uchar g, uchar b, uchar a)
{
    if (r == R && g == G && b == B && a == A)
        return;
    R = r;
    G = g;
    B = b;
    A = a;
    update();
}

QString QMultifunKeyButton::PopupTitle(const QString &name)
{
    static const QHash<QString, QString> titles = {
        {"@1", "[\n{"}, {"@2", "]\n}"}, {"@3", "|\n\\"}, {"@4", ":\n;"}, {"@5", "''\n'"}, {"@6", "<\n,"},
        {"@7", ">\n."}, {"@8", "/\n?"}, {"@9", "`\n~"}, {"@10", "-\n_"}, {"@11", "=\n+"}, {"@12", "/"},
        {"@13", "*"}, {"@14", QString(QChar(0x4e00))}, {"@15", "+"}, {"@16", "."}, {"@17", "Left"},
        {"@18", "Right"}, {"@19", "Up"}, {"@20", "Down"}, {"@27", "Mute"}, {"@31", "Volume up"},
        {"@32", "Volume down"}};
    return titles.value(name);
}

void QMultifunKeyButton::PaintAssignment(QPainter &p)
{
    const int w = width(), h = height();
    if (BorderMode) {
        if (DisplayType == 0)
            return;
        QColor colour(Qt::black);
        if (PictureMode)
            colour = QColor(255, 0, 25, 255);
        else if (DisplayType == 1)
            colour = QColor(35, 100, 239, 255);
        else if (DisplayType == 2)
            colour = QColor(51, 216, 48, 255);
        else if (DisplayType == 3)
            colour = QColor(255, 95, 21, 255);
        else if (DisplayType == 4)
            colour = QColor(24, 132, 248, 255);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colour, 2));
        p.drawRoundedRect(QRect(1, 1, w - 2, h - 2), 3, 3);
        return;
    }
    p.setPen(QColor(255, 0, 255, 255));
    if (PictureMode)
        return;
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font(QStringLiteral("Arial Black"), 12, 1);
    const int length = text().size();
    if (length == 2)
        font.setPointSize(8);
    else if (length > 2)
        font.setPointSize(6);
    switch (DisplayType) {
    case 1: p.setPen(QColor(0, 0, 255, 255)); break;
    case 2: p.setPen(QColor(51, 216, 48, 255)); font = QFont(QStringLiteral("Arial"), 9, 75); break;
    case 3: p.setPen(QColor(255, 95, 21, 255)); font = QFont(QStringLiteral("Arial"), 9, 75); break;
    case 4: p.setPen(QColor(255, 255, 255, 255)); font = QFont(QStringLiteral("Arial"), 9, 75); break;
    default: break;
    }
    p.setFont(font);
    p.drawText(rect(), Qt::AlignCenter, text());
}

void QMultifunKeyButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (const QMultifunKeyBoard *board = QMultifunKeyBoard::instance())
        if (board == parentWidget())
            board->PaintBackgroundUnder(p, geometry()); // the key is opaque over the picture
    const uchar page = BoardPage();
    if (page == 1 || page == 2) {
        if (R + G + B != 0) {
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(R, G, B, A));
            p.drawRoundedRect(rect(), 5, 5);
        }
        return;
    }
    if (page != 0)
        return;
    auto hoverFill = [&] {
        if (!Hover)
            return;
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(17, 184, 255, 150));
        p.drawRoundedRect(rect(), 5, 5);
    };
    if (!Hidden) {
        hoverFill();
        PaintAssignment(p);
        return;
    }
    const QString name = objectName();
    QString icon = QStringLiteral("Help.png");
    if (name == QLatin1String("@27"))
        icon = QStringLiteral("Mute.png");
    else if (name == QLatin1String("@31") || name == QLatin1String("@38"))
        icon = QStringLiteral("Up.png");
    else if (name == QLatin1String("@32") || name == QLatin1String("@39"))
        icon = QStringLiteral("Down.png");
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawPixmap(QRect(2, 2, 36, 36), QPixmap(QStringLiteral(":/new/prefix1/Imges/QLStyleKeybordTabWidget/") + icon));
    PaintAssignment(p);
    hoverFill();
}

void QMultifunKeyButton::enterEvent(QEvent *)
{
    if (BoardPage() == 0 && Record) {
        QString title = objectName(), body;
        if (Record->type == 3) {
            // The name is substituted as plain text: a "%" in it is never read as a directive.
            body = GetLangText(5);
            const int at = body.indexOf(QLatin1String("%s"));
            if (at >= 0)
                body.replace(at, 2, Record->LeftValue);
        } else {
            body = Record->LeftValue;
            if (Record->KeyButtonName.contains(QLatin1Char('@')))
                title = PopupTitle(Record->KeyButtonName);
        }
        if (QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance())
            page->ShowKeyInfoPopup(title, body);
    }
    Hover = 1;
    update();
}

void QMultifunKeyButton::leaveEvent(QEvent *)
{
    if (QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance())
        page->HidePopup();
    Hover = 0;
    update();
}

void QMultifunKeyButton::mousePressEvent(QMouseEvent *event)
{
    QMultifunKeyBoard *board = QMultifunKeyBoard::instance();
    QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
    const QLightConfigWIdget *light = QLightConfigWIdget::instance();
    const uchar current = BoardPage();
    const bool painting = current == 1 && !Hidden && light && light->CurrentEffectFlag() == 97 && page
                          && page->IsDisplayOn();
    bool changed = false;
    if (event->button() == Qt::RightButton && current == 0) {
        setText(DefaultText);
        PictureMode = 0;
        DisplayType = 0;
        BorderMode = m_layoutBorder;
        if (Record) {
            // The key lets go of the record before its table releases it.
            _KeyValueInfo *record = Record;
            Record = nullptr;
            if (board)
                board->RemoveKeyValue(static_cast<uchar>(page ? page->LevelComboIndex() : 0), record);
        }
    } else if (event->button() == Qt::RightButton && painting) {
        if (R + G + B > 5) {
            R = G = B = 0;
            changed = true;
        }
    } else if (event->button() == Qt::LeftButton && painting && board) {
        if (R != board->LightR || G != board->LightG || B != board->LightB) {
            R = board->LightR;
            G = board->LightG;
            B = board->LightB;
            changed = true;
        }
    }
    update();
    if (changed)
        Q_EMIT DiyColorChange(this);
}
