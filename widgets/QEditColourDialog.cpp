#include "widgets/QEditColourDialog.h"
#include "widgets/AppFont.h"
#include "widgets/QGradientRampEditWidget.h"

#include <QButtonGroup>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

const char *const kRampDisabled =
    "#GradientRampEdit:disabled{background-color: qlineargradient(spread:pad, x1:0.7, y1:-0.5, x2:0, y2:0.6, "
    "stop:0 rgba(255,0,0,100), stop:0.433333 rgba(200,0,0,100), stop:0.833333 rgba(50,0,0,100), stop:1 rgba(10,0,0, 100));"
    "border-radius:10px;}";

const char *const kStrip =
    "#StrawColourLabel{background-color: qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0, "
    "stop:0 rgba(255,0,0,255), stop:0.125 rgba(255,72,0,255), stop:0.250 rgba(255,248,0,255), "
    "stop:0.375 rgba(0,255,40,255), stop:0.500 rgba(0,228,255,255), stop:0.625 rgba(28,0,255,255), "
    "stop:0.850 rgba(255,0,215,255), stop:0.98 rgba(255,0,0,255));border-radius:2px;max-width:15px;}"
    "#StrawColourLabel:disabled{background-color: qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0, "
    "stop:0 rgba(255,0,0,50), stop:0.125 rgba(255,72,0,50), stop:0.250 rgba(255,248,0,50), "
    "stop:0.375 rgba(0,255,40,50), stop:0.500 rgba(0,228,255,50), stop:0.625 rgba(28,0,255,50), "
    "stop:0.850 rgba(255,0,215,50), stop:0.98 rgba(255,0,0,50));border-radius:2px;max-width:15px;}";

QString swatchStyle(const QString &colour)
{
    return QStringLiteral("QRadioButton::indicator{border:none;min-width:18px;min-height:18px;"
                          "background-color:%1;border-radius:4px;}")
        .arg(colour);
}

// Single precision, truncated toward zero, never above 255.
int shade(uchar channel, float factor)
{
    const int v = int(float(channel) * factor);
    return v > 255 ? 255 : v;
}

} // namespace

QEditColourDialog::QEditColourDialog(QWidget *parent) : QWidget(parent)
{
    m_slideOut = new QPropertyAnimation(this, "geometry", this);
    m_presetGroup = new QButtonGroup(this);
    m_presetGroup->setExclusive(true);
    setupUi();

    const auto fields = {RedLable, GreenLable, BlueLable};
    for (QLineEdit *edit : fields)
        edit->setContextMenuPolicy(Qt::NoContextMenu);
    label->hide();
    connect(StrawColourLabel, &QGradientRampEditWidget::LeftClick, this, &QEditColourDialog::on_StrawColourLabelClick);
    connect(GradientRampEdit, &QGradientRampEditWidget::LeftClick, this, &QEditColourDialog::on_GradientRampEditClick);

    static const QColor presets[7] = {{255, 0, 0},   {255, 114, 0}, {255, 240, 5}, {0, 215, 15},
                                      {238, 0, 241}, {255, 0, 138}, {0, 0, 255}};
    // Ids follow the swatches' names, 0 for BiyColor_1 up to 6 for BiyColor_7.
    for (int i = 0; i < 7; ++i) {
        m_presetColours.insert(BiyColor[i], presets[i]);
        m_presetGroup->addButton(BiyColor[i], i);
    }
    m_currentPreset = BiyColor[0];

    m_overlay = new QWidget(this);
    m_overlay->setObjectName(QStringLiteral("DisableOverlay"));
    m_overlay->setAttribute(Qt::WA_StyledBackground);
    m_overlay->setStyleSheet(QStringLiteral("background-color: rgba(10,11, 10,100); border-radius:5px;"));
    m_overlay->hide();

    connect(m_presetGroup, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &QEditColourDialog::on_GroupCheck);
    GradientRampEdit->SetMarkerVisible(false);
    StrawColourLabel->SetCentreHorizontally(true);

    const QFont small = LoadAppFont(10);
    const auto smallText = {static_cast<QWidget *>(RedLable), static_cast<QWidget *>(GreenLable),
                            static_cast<QWidget *>(BlueLable), static_cast<QWidget *>(Label_RGB),
                            static_cast<QWidget *>(HexLable), static_cast<QWidget *>(label_Hex)};
    for (QWidget *w : smallText)
        w->setFont(small);
    for (QLineEdit *edit : fields) {
        connect(edit, &QLineEdit::returnPressed, this, &QEditColourDialog::on_ColoreditingFinished);
        edit->setValidator(new QIntValidator(0, 255, edit));
    }
}

QEditColourDialog::~QEditColourDialog() = default;

void QEditColourDialog::setupUi()
{
    setObjectName(QStringLiteral("QEditColourDialog"));
    setWindowTitle(QStringLiteral("Form"));
    resize(266, 263);
    setMaximumHeight(270);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral(
        "#QEditColourDialog{background-color:#131213;}"
        "#RedLable,#GreenLable,#BlueLable,#HexLable{border:1px solid #292929;border-radius:4px;color:#ffffff;"
        "background-color:#292929;}"
        "#RedLable:disabled,#GreenLable:disabled,#BlueLable:disabled,#HexLable:disabled{color:rgb(110,110,110);}"));

    auto *verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(3);
    verticalLayout->setContentsMargins(3, 2, 3, 1);

    auto *rampRow = new QHBoxLayout();
    GradientRampEdit = new QGradientRampEditWidget(this);
    GradientRampEdit->setObjectName(QStringLiteral("GradientRampEdit"));
    GradientRampEdit->setMaximumHeight(130);
    GradientRampEdit->setCursor(Qt::PointingHandCursor);
    // The form's own ramp: fixed shades of red.
    GradientRampEdit->setStyleSheet(QStringLiteral(
        "#GradientRampEdit{background-color: qlineargradient(spread:pad, x1:0.7, y1:-0.5, x2:0, y2:0.6, "
        "stop:0 rgba(255,0,0,255), stop:0.433333 rgba(200,0,0,255), stop:0.833333 rgba(50,0,0,255), stop:1 rgba(10,0,0, 255));"
        "border-radius:10px;}") + QLatin1String(kRampDisabled));
    rampRow->addWidget(GradientRampEdit);
    StrawColourLabel = new QGradientRampEditWidget(this);
    StrawColourLabel->setObjectName(QStringLiteral("StrawColourLabel"));
    StrawColourLabel->setMaximumSize(15, 130);
    StrawColourLabel->setCursor(Qt::PointingHandCursor);
    StrawColourLabel->setStyleSheet(QLatin1String(kStrip));
    rampRow->addWidget(StrawColourLabel);
    verticalLayout->addLayout(rampRow, 5);

    auto *swatchRow = new QHBoxLayout();
    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setStyleSheet(QStringLiteral("#widget:disabled{background-color:rgb(58, 58, 58);}"));
    auto *presetRow = new QHBoxLayout(widget);
    presetRow->setSpacing(2);
    presetRow->setContentsMargins(5, 1, 1, 1);
    static const char *const formColours[7] = {"rgb(255, 0, 0)", "#FF7200", "#FFF005", "#00D70F",
                                               "#EE00F1",        "#FF008A", "#0000ff"};
    for (int i = 0; i < 7; ++i) {
        BiyColor[i] = new QRadioButton(widget);
        BiyColor[i]->setObjectName(QStringLiteral("BiyColor_%1").arg(i + 1));
        BiyColor[i]->setMaximumSize(25, 25);
        BiyColor[i]->setFocusPolicy(Qt::NoFocus);
        BiyColor[i]->setCursor(Qt::PointingHandCursor);
        BiyColor[i]->setStyleSheet(swatchStyle(QLatin1String(formColours[i])));
        presetRow->addWidget(BiyColor[i]);
    }
    BiyColor[0]->setChecked(true);
    swatchRow->addWidget(widget);
    swatchRow->addStretch();
    CurrntColourLabel = new QRadioButton(this);
    CurrntColourLabel->setObjectName(QStringLiteral("CurrntColourLabel"));
    CurrntColourLabel->setMaximumSize(25, 25);
    CurrntColourLabel->setCursor(Qt::PointingHandCursor);
    CurrntColourLabel->setStyleSheet(swatchStyle(QStringLiteral("#FF008A")));
    swatchRow->addWidget(CurrntColourLabel);
    MColorButton = new QPushButton(this);
    MColorButton->setObjectName(QStringLiteral("MColorButton"));
    MColorButton->setMaximumSize(25, 25);
    MColorButton->setCheckable(true);
    MColorButton->setChecked(false);
    MColorButton->setCursor(Qt::PointingHandCursor);
    MColorButton->setStyleSheet(QStringLiteral(
        "QPushButton{border-radius:3px;min-width:20px;min-height:20px;"
        "image:url(:/new/prefix1/Imges/icons8_rgb_circle_3_30px.png);}"
        "QPushButton:checked{image:url(:/new/prefix1/Imges/icons8_rgb_circle_2_30px.png);}"
        "QPushButton:disabled{image:url(:/new/prefix1/Imges/icons8_rgb_Stop30px.png);}"
        "QPushButton:hover{background-color:rgb(35, 149, 255);}"));
    swatchRow->addWidget(MColorButton);
    verticalLayout->addLayout(swatchRow);

    line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setMaximumHeight(1);
    line->setStyleSheet(QStringLiteral("#line{background-color:rgb(117, 117, 117);}"
                                       "#line:disabled{background-color:transparent;}"));
    verticalLayout->addWidget(line);

    auto *hexCaptionRow = new QHBoxLayout();
    label_Hex = new QLabel(QStringLiteral("HEX"), this);
    label_Hex->setObjectName(QStringLiteral("label_Hex"));
    label_Hex->setStyleSheet(QStringLiteral("color:rgb(150, 150, 150);"));
    hexCaptionRow->addWidget(label_Hex);
    hexCaptionRow->addStretch();
    verticalLayout->addLayout(hexCaptionRow);

    auto *hexRow = new QHBoxLayout();
    hexRow->setSpacing(10);
    hexRow->setContentsMargins(0, 0, 20, 0);
    HexLable = new QLabel(QStringLiteral("#FF0000"), this);
    HexLable->setObjectName(QStringLiteral("HexLable"));
    HexLable->setMinimumSize(70, 21);
    HexLable->setMaximumHeight(21);
    HexLable->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hexRow->addWidget(HexLable);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setMinimumSize(20, 20);
    label->setMaximumSize(25, 25);
    label->setStyleSheet(QStringLiteral("image:url(:/new/prefix1/Imges/QUORIX_IMGS/straw.png);"));
    hexRow->addWidget(label);
    verticalLayout->addLayout(hexRow);

    auto *rgbCaptionRow = new QHBoxLayout();
    Label_RGB = new QLabel(QStringLiteral("RGB"), this);
    Label_RGB->setObjectName(QStringLiteral("Label_RGB"));
    Label_RGB->setStyleSheet(QStringLiteral("color:rgb(150, 150, 150);"));
    rgbCaptionRow->addWidget(Label_RGB);
    rgbCaptionRow->addStretch();
    verticalLayout->addLayout(rgbCaptionRow);

    auto *fieldRow = new QHBoxLayout();
    RedLable = new QLineEdit(QStringLiteral("255"), this);
    RedLable->setObjectName(QStringLiteral("RedLable"));
    RedLable->setMinimumSize(41, 21);
    GreenLable = new QLineEdit(QStringLiteral("0"), this);
    GreenLable->setObjectName(QStringLiteral("GreenLable"));
    GreenLable->setFixedSize(41, 21);
    BlueLable = new QLineEdit(QStringLiteral("0"), this);
    BlueLable->setObjectName(QStringLiteral("BlueLable"));
    BlueLable->setMinimumSize(41, 21);
    for (QLineEdit *edit : {RedLable, GreenLable, BlueLable}) {
        edit->setAlignment(Qt::AlignCenter);
        fieldRow->addWidget(edit);
    }
    fieldRow->addItem(new QSpacerItem(224, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(fieldRow);

    connect(MColorButton, &QPushButton::clicked, this, &QEditColourDialog::on_MColorButton_clicked);
}

QString QEditColourDialog::RampStyleFor(uchar r, uchar g, uchar b)
{
    const QString enabled = QStringLiteral(
        "#GradientRampEdit{background-color: qlineargradient(spread:pad, x1:0.7, y1:-0.5, x2:0, y2:0.6, "
        "stop:0 rgba(%1,%2,%3,255), stop:0.433333 rgba(%4,%5,%6,255), stop:0.833333 rgba(%7,%8,%9,255), "
        "stop:1 rgba(%10,%11,%12, 255));border-radius:10px;}")
        .arg(r).arg(g).arg(b)
        .arg(shade(r, 0.8f)).arg(shade(g, 0.8f)).arg(shade(b, 0.8f))
        .arg(shade(r, 0.3f)).arg(shade(g, 0.3f)).arg(shade(b, 0.3f))
        .arg(shade(r, 0.1f)).arg(shade(g, 0.1f)).arg(shade(b, 0.1f));
    return enabled + QLatin1String(kRampDisabled);
}

bool QEditColourDialog::GrabScreenColour(const QWidget *source, uchar &R, uchar &G, uchar &B)
{
    // The pixel is read back from our own window rather than the desktop, so it is what the
    // gradient paints there on any window system (a desktop grab fails on Wayland).
    if (!source)
        return false;
    QWidget *top = source->window();
    const QPoint at = top->mapFromGlobal(QCursor::pos());
    if (!top->rect().contains(at))
        return false;
    const QPixmap pixmap = top->grab(QRect(at, QSize(1, 1)));
    if (pixmap.isNull())
        return false;
    const QImage image = pixmap.toImage();
    if (image.isNull() || !image.valid(0, 0))
        return false;
    const QColor c = image.pixelColor(0, 0);
    R = uchar(c.red());
    G = uchar(c.green());
    B = uchar(c.blue());
    return true;
}

void QEditColourDialog::showColour(bool rewriteFields)
{
    HexLable->setText(QString::asprintf("#%02X%02X%02X", m_R, m_G, m_B));
    if (rewriteFields) {
        RedLable->setText(QString::number(m_R));
        GreenLable->setText(QString::number(m_G));
        BlueLable->setText(QString::number(m_B));
    }
    CurrntColourLabel->setStyleSheet(QString::asprintf(
        "QRadioButton::indicator{border:none;min-width:18px;min-height:18px;background-color:rgb(%d, %d, %d);"
        "border-radius:4px;}",
        m_R, m_G, m_B));
}

void QEditColourDialog::SetColour(uchar R, uchar G, uchar B)
{
    m_R = R;
    m_G = G;
    m_B = B;
    showColour(true);
}

void QEditColourDialog::SetEditEnabled(bool enabled)
{
    m_overlay->setVisible(!enabled);
    m_overlay->resize(size());
    if (!enabled)
        m_overlay->raise();
    const QList<QWidget *> editing = {GradientRampEdit, StrawColourLabel, CurrntColourLabel, HexLable,
                                      RedLable,         GreenLable,       BlueLable,         line,
                                      widget};
    for (QWidget *w : editing)
        w->setEnabled(enabled);
    for (QRadioButton *preset : BiyColor)
        preset->setEnabled(enabled);
}

bool QEditColourDialog::IsGradientRampEnabled() const
{
    return GradientRampEdit->isEnabled();
}

QString QEditColourDialog::HexText() const
{
    return HexLable->text();
}

bool QEditColourDialog::IsMColorButtonEnabled() const
{
    return MColorButton->isEnabled();
}

void QEditColourDialog::SetMColorButtonEnabled(bool enabled)
{
    MColorButton->setEnabled(enabled);
}

bool QEditColourDialog::IsMColorButtonChecked() const
{
    return MColorButton->isChecked();
}

void QEditColourDialog::SetMColorButtonChecked(bool checked)
{
    MColorButton->setChecked(checked);
}

void QEditColourDialog::on_StrawColourLabelClick()
{
    uchar r = 0, g = 0, b = 0;
    if (!GrabScreenColour(StrawColourLabel, r, g, b))
        return;
    GradientRampEdit->setStyleSheet(RampStyleFor(r, g, b));
}

void QEditColourDialog::on_GradientRampEditClick()
{
    uchar r = 0, g = 0, b = 0;
    if (!GrabScreenColour(GradientRampEdit, r, g, b))
        return;
    m_R = r;
    m_G = g;
    m_B = b;
    showColour(true);
    Q_EMIT ChickColorChange(m_R, m_G, m_B);
}

void QEditColourDialog::on_ButClose_clicked()
{
    m_slideOut->stop();
    m_slideOut->setDuration(300);
    m_slideOut->setLoopCount(1);
    m_slideOut->setStartValue(geometry());
    m_slideOut->setEndValue(QRect(geometry().topLeft(), QSize(261, 0)));
    m_slideOut->start();
}

void QEditColourDialog::on_GroupCheck(QAbstractButton *objButton)
{
    m_currentPreset = objButton;
    const auto it = m_presetColours.constFind(objButton);
    if (it == m_presetColours.constEnd())
        return;
    m_R = uchar(it->red());
    m_G = uchar(it->green());
    m_B = uchar(it->blue());
    showColour(true);
    Q_EMIT ChickColorChange(m_R, m_G, m_B);
}

void QEditColourDialog::on_MColorButton_clicked(bool checked)
{
    Q_EMIT MoreColorChange(checked);
}

void QEditColourDialog::on_ColoreditingFinished()
{
    // The other two fields may still hold an unfinished entry (empty, or "256" that the
    // validator lets stand while typing): clamp, and show what was taken.
    auto channel = [](const QLineEdit *edit) { return uchar(qBound(0, edit->text().toInt(nullptr, 10), 255)); };
    m_R = channel(RedLable);
    m_G = channel(GreenLable);
    m_B = channel(BlueLable);
    showColour(true);
    Q_EMIT ChickColorChange(m_R, m_G, m_B);
}
