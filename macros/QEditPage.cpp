#include "macros/QEditPage.h"

#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QJsonConfing.h"
#include "widgets/AppFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

QEditPage *QEditPage::s_instance = nullptr;

namespace {
bool g_editTimeActive = false;
const QColor kBlueBar(0, 169, 224);
const QString kImgDir = QStringLiteral(":/new/prefix1/Imges/QUORIX_IMGS/MoDefine/");
// The one product whose devices cannot play delays under 10 ms.
const QString kTenMsProduct = QStringLiteral("QX3");

QRadioButton *ModeTile(QWidget *parent, const char *name, const QString &picture)
{
    auto *b = new QRadioButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setStyleSheet(QStringLiteral(
        "QRadioButton{background-color:rgb(45,45,45);border-radius:10px;padding:6px;}"
        "QRadioButton:checked{background-color:#305284;}"
        "QRadioButton::indicator{width:40px;height:40px;image:url(%1);}").arg(kImgDir + picture));
    return b;
}
} // namespace

bool IsEditTimeActive()
{
    return g_editTimeActive;
}

QEditPage::QEditPage(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
    setupUi();
    m_runGroup = new QButtonGroup(this);
    m_runGroup->setExclusive(true);
    m_runGroup->addButton(RunNumBut, 0);
    m_runGroup->addButton(Run_KeyRelese, 1);
    m_runGroup->addButton(RunKeyDown, 2);

    connect(EditValueWidget, &QEditMacroPage_Iner::setdatatendency, this,
            static_cast<void (QEditPage::*)(bool)>(&QEditPage::on_setdatatendency));
    connect(EditValueWidget, &QEditMacroPage_Iner::setYPos, this, &QEditPage::on_setScrollBarValue);
    connect(EditValueWidget, &QEditMacroPage_Iner::setYMaxPos, this, &QEditPage::on_setScrollBarMaxValue);
    connect(ExitButton, &QPushButton::clicked, this, &QEditPage::on_ExitButton);
    connect(ButSeven, &QPushButton::clicked, this, &QEditPage::on_ExitButton);
    connect(this, &QEditPage::ClearitemsAll, EditValueWidget, &QEditMacroPage_Iner::on_ClearitemsAll);
    connect(m_runGroup, static_cast<void (QButtonGroup::*)(QAbstractButton *)>(&QButtonGroup::buttonClicked), this,
            &QEditPage::on_RunButtonCliced);
    connect(ButEditTime, &QRadioButton::clicked, this, &QEditPage::on_ButEditTime_clicked);
    connect(ButTool, &QCheckBox::clicked, this, &QEditPage::on_ButTool_clicked);
    connect(ButSeSet, &QPushButton::clicked, this, &QEditPage::on_ButSeSet_clicked);
    connect(RunModelNumbel, &QLineEdit::textChanged, this, &QEditPage::on_RunModelNumbel_textChanged);
    connect(ButCheckSleep, &QCheckBox::clicked, this, &QEditPage::on_ButCheckSleep_clicked);

    ButTool->installEventFilter(this);
    EditStudionTime->installEventFilter(this);
    RunModelNumbel->installEventFilter(this);
}

QEditPage::~QEditPage()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QEditPage *QEditPage::Instance()
{
    return s_instance;
}

void QEditPage::setupUi()
{
    setObjectName(QStringLiteral("QEditPage"));
    setStyleSheet(QStringLiteral("QEditPage{background-color:#010203;} QLabel,QRadioButton,QCheckBox{color:white;}"));
    setAttribute(Qt::WA_StyledBackground);
    auto *v = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    PeojectNeme = new QLabel(QStringLiteral("Object"), this);
    PeojectNeme->setObjectName(QStringLiteral("PeojectNeme"));
    PeojectNeme->setFont(LoadAppFont(25));
    ButTool = new QCheckBox(this);
    ButTool->setObjectName(QStringLiteral("ButTool"));
    ButTool->setCheckable(true);
    ButTool->setFont(LoadAppFont(18));
    ButTool->setStyleSheet(QStringLiteral("QCheckBox::indicator:unchecked{image:url(%1MouchStarte.png);}"
                                          "QCheckBox::indicator:checked{image:url(%1MouchStop.png);}").arg(kImgDir));
    ExitButton = new QPushButton(this);
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    ExitButton->setFixedSize(32, 32);
    ExitButton->setStyleSheet(QStringLiteral("QPushButton{border-image:url(:/new/prefix1/Imges/HID_API/exit_nv.png);}"
                                             "QPushButton:hover{border-image:url(:/new/prefix1/Imges/HID_API/exit_hv.png);}"));
    top->addWidget(PeojectNeme, 1);
    top->addWidget(ButTool);
    top->addWidget(ExitButton);
    v->addLayout(top);

    auto *body = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto modeRow = [&](QRadioButton *b, QLabel *text) {
        auto *row = new QHBoxLayout;
        text->setFont(LoadAppFont(12));
        row->addWidget(b);
        row->addWidget(text, 1);
        left->addLayout(row);
    };
    Run_KeyRelese = ModeTile(this, "Run_KeyRelese", QStringLiteral("OtherButton.png"));
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    RunKeyDown = ModeTile(this, "RunKeyDown", QStringLiteral("PressButton.png"));
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    RunNumBut = ModeTile(this, "RunNumBut", QStringLiteral("OneButton.png"));
    label_3 = new QLabel(this);
    label_3->setObjectName(QStringLiteral("label_3"));
    modeRow(Run_KeyRelese, label);
    modeRow(RunKeyDown, label_2);
    modeRow(RunNumBut, label_3);
    auto *countRow = new QHBoxLayout;
    RunModelNumbel = new QLineEdit(QStringLiteral("1"), this);
    RunModelNumbel->setObjectName(QStringLiteral("RunModelNumbel"));
    RunModelNumbel->setValidator(new QIntValidator(1, 99, RunModelNumbel));
    RunModelNumbel->setContextMenuPolicy(Qt::NoContextMenu);
    RunModelNumbel->setFont(LoadAppFont(10));
    RunModelNumbel->setMaximumWidth(60);
    label_4 = new QLabel(this);
    label_4->setObjectName(QStringLiteral("label_4"));
    label_4->setFont(LoadAppFont(12));
    countRow->addWidget(RunModelNumbel);
    countRow->addWidget(label_4, 1);
    left->addLayout(countRow);
    left->addStretch(1);

    auto *delayRow = new QHBoxLayout;
    ButCheckSleep = new QCheckBox(this);
    ButCheckSleep->setObjectName(QStringLiteral("ButCheckSleep"));
    ButCheckSleep->setChecked(true);
    ButCheckSleep->setFont(LoadAppFont(12));
    ButCheckSleep->setStyleSheet(QStringLiteral("QCheckBox::indicator:unchecked{image:url(%1MuchouCheck.png);}"
                                                "QCheckBox::indicator:checked{image:url(%1MuchoCheck.png);}").arg(kImgDir));
    EditStudionTime = new QLineEdit(QStringLiteral("50"), this);
    EditStudionTime->setObjectName(QStringLiteral("EditStudionTime"));
    EditStudionTime->setValidator(new QIntValidator(1, 999, EditStudionTime));
    EditStudionTime->setContextMenuPolicy(Qt::NoContextMenu);
    EditStudionTime->setFont(LoadAppFont(12));
    EditStudionTime->setMaximumWidth(60);
    label_Ms = new QLabel(QStringLiteral("ms"), this);
    label_Ms->setObjectName(QStringLiteral("label_Ms"));
    label_Ms->setFont(LoadAppFont(12));
    delayRow->addWidget(ButCheckSleep);
    delayRow->addWidget(EditStudionTime);
    delayRow->addWidget(label_Ms);
    left->addLayout(delayRow);
    ButEditTime = new QRadioButton(this);
    ButEditTime->setObjectName(QStringLiteral("ButEditTime"));
    ButEditTime->setAutoExclusive(false);
    ButEditTime->setFont(LoadAppFont(15));
    left->addWidget(ButEditTime);
    body->addLayout(left);

    scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setMinimumHeight(0);
    // The rows wrap at the visible width, so nothing lies to the right to scroll to; the
    // vertical bar stays, so that its coming and going cannot change that width.
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scrollArea->verticalScrollBar()->setPageStep(5);
    EditValueWidget = new QEditMacroPage_Iner;
    EditValueWidget->setObjectName(QStringLiteral("EditValueWidget"));
    scrollArea->setWidget(EditValueWidget);
    // The visible width changes with the texts beside it too, not only with the page's size.
    scrollArea->viewport()->installEventFilter(this);
    body->addWidget(scrollArea, 1);
    v->addLayout(body, 1);

    auto *bottom = new QHBoxLayout;
    ButSeSet = new QPushButton(this);
    ButSeSet->setObjectName(QStringLiteral("ButSeSet"));
    ButSeSet->setFont(LoadAppFont(18));
    ButSeven = new QPushButton(this);
    ButSeven->setObjectName(QStringLiteral("ButSeven"));
    ButSeven->setFont(LoadAppFont(18));
    ButSeven->setEnabled(false);
    bottom->addStretch(1);
    bottom->addWidget(ButSeSet);
    bottom->addWidget(ButSeven);
    v->addLayout(bottom);
}

// ---- opening, loading and saving ----------------------------------------------------------

void QEditPage::SetMacroName(const QString &name)
{
    ButTool->setChecked(false);
    PeojectNeme->setText(name);
}

void QEditPage::SetRunMode(int mode, int count)
{
    switch (mode) {
    case 1:
        RunNumBut->setChecked(true);
        RunModelNumbel->setText(QString::number(count));
        break;
    case 2:
        RunKeyDown->setChecked(true);
        break;
    case 4:
        Run_KeyRelese->setChecked(true);
        break;
    default:
        return;
    }
    m_runMode = mode;
}

bool QEditPage::LoadMacro(QVector<uchar> image, int mode, int count)
{
    if (image.isEmpty())
        return false;
    const int n = image.at(0);
    if (1 + n > image.size())
        return false;
    if (BytesToName(image.mid(1, n)) != PeojectNeme->text())
        return false;
    QByteArray records(reinterpret_cast<const char *>(image.constData()) + 1 + n, image.size() - 1 - n);
    EditValueWidget->ClearRows();
    EditValueWidget->LoadMacroBuffer(records);
    ButSeven->setEnabled(false);
    SetRunMode(mode, count);
    return true;
}

bool QEditPage::SaveMacro()
{
    const QString name = PeojectNeme->text();
    const QByteArray records = EditValueWidget->EncodeMacro();
    const QVector<uchar> nameBytes = NameBytes(name);
    if (nameBytes.size() > 255)
        return false;
    // The devices take at most one buffer's worth: a macro that does not fit is not written.
    if (1 + nameBytes.size() + records.size() > QJsonConfing::kMaxImageBytes)
        return false;
    const QString hex = QJsonConfing::ImageToHex(QJsonConfing::MacroImage(name, records));
    bool ok = false;
    int count = RunModelNumbel->text().toInt(&ok);
    if (!ok || count == 0) {
        count = 1;
        RunModelNumbel->setText(QStringLiteral("1"));
    }
    if (!QJsonConfing().WriteMacroFile(name, hex, m_runMode, count))
        return false;
    m_changed = false;
    return true;
}

void QEditPage::ResetPage()
{
    if (ButEditTime->isChecked()) {
        g_editTimeActive = false;
        EditValueWidget->ShowDelayItems(false);
        ButEditTime->setChecked(false);
        ButEditTime->setText(GetLangText(106));
    }
    m_changed = false;
    EditValueWidget->ClearRows();
    PeojectNeme->setText(QStringLiteral("Object"));
    ButSeven->setEnabled(false);
    EditValueWidget->StopHooks();
    ResetRecordButton();
    scrollArea->verticalScrollBar()->setValue(0);
    scrollArea->verticalScrollBar()->setMaximum(height());
}

QVector<uchar> QEditPage::NameBytes(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    return QVector<uchar>(utf8.cbegin(), utf8.cend());
}

QString QEditPage::BytesToName(const QVector<uchar> &bytes)
{
    int end = bytes.indexOf(0);
    if (end < 0)
        end = bytes.size();
    return QString::fromUtf8(reinterpret_cast<const char *>(bytes.constData()), end);
}

QString QEditPage::MacroName() const
{
    return PeojectNeme->text();
}

QByteArray QEditPage::MacroEvents() const
{
    return EditValueWidget->EncodeMacro();
}

// ---- buttons --------------------------------------------------------------------------------

bool QEditPage::IsRecordButtonHovered() const
{
    // Enter and Leave alone are not enough: the keyboard grab of a recording can take the Enter
    // away while the pointer stays on the button, and the click there must still end the
    // recording.
    return m_recordHover
        || (ButTool->isVisible() && ButTool->rect().contains(ButTool->mapFromGlobal(QCursor::pos())));
}

bool QEditPage::IsRecordOptionChecked() const
{
    return ButEditTime->isChecked();
}

bool QEditPage::IsRecordButtonChecked() const
{
    return ButTool->isChecked();
}

void QEditPage::SetRecordButtonChecked(bool checked)
{
    ButTool->setChecked(checked);
}

void QEditPage::ResetRecordButton()
{
    ButTool->setChecked(false);
    ButTool->setText(GetLangText(360));
    ButEditTime->setEnabled(true);
    update();
}

void QEditPage::RefreshLangual()
{
    ExitButton->setToolTip(GetLangText(74));
    label->setText(GetLangText(9));
    label_2->setText(GetLangText(8));
    label_3->setText(GetLangText(352));
    label_4->setText(GetLangText(353));
    // As wide as its wider text: turning into Stop must not move it from under the pointer.
    int recordWidth = 0;
    for (int id : {360, 361}) {
        ButTool->setText(GetLangText(id));
        recordWidth = qMax(recordWidth, ButTool->sizeHint().width());
    }
    ButTool->setFixedWidth(recordWidth);
    ButTool->setText(GetLangText(ButTool->isChecked() ? 361 : 360));
    ButEditTime->setText(GetLangText(ButEditTime->isChecked() ? 294 : 106));
    ButCheckSleep->setText(GetLangText(354));
    ButCheckSleep->setToolTip(GetLangText(354) + QStringLiteral("(standard delay format,sdf)"));
    ButSeSet->setText(GetLangText(111));
    ButSeven->setText(GetLangText(112));
}

void QEditPage::MarkChanged()
{
    m_changed = true;
    ButSeSet->setEnabled(true);
    ButSeven->setEnabled(true);
}

void QEditPage::on_setdatatendency(bool value)
{
    m_changed = value;
    ButSeSet->setEnabled(true);
    ButSeven->setEnabled(true);
}

void QEditPage::on_setdatatendency()
{
    on_setdatatendency(true);
}

void QEditPage::on_setScrollBarValue(int v)
{
    scrollArea->verticalScrollBar()->setValue(v);
}

void QEditPage::on_setScrollBarMaxValue(int m)
{
    scrollArea->verticalScrollBar()->setMaximum(m < height() ? height() : m);
}

void QEditPage::on_ExitButton()
{
    if (sender() != ExitButton && sender() != ButSeven)
        return;
    const QString name = PeojectNeme->text();
    MainWidget *w = MainWidget::instance();
    if (m_changed) {
        const bool existed = QJsonConfing().MacroFileExists(name);
        const bool saved = SaveMacro();
        if (w) {
            if (saved)
                w->ShowBottomTip(GetLangText(295), name + QStringLiteral(".bin ") + GetLangText(296));
            else
                w->ShowBottomTip(GetLangText(295), GetLangText(297));
        }
        // The device pages resend a macro only when the file they know has new content.
        if (existed && saved)
            Q_EMIT MacroFileChangge(name);
    }
    ResetPage();
    if (w && w->DevicePageKind() == 2)
        if (QLStyleKeybordTabWidget *keys = QLStyleKeybordTabWidget::instance())
            keys->ShowLightingTabItems();
    Q_EMIT quitPage();
}

void QEditPage::on_RunButtonCliced(QAbstractButton *button)
{
    if (button == RunNumBut) {
        m_runMode = 1;
        RunModelNumbel->setText(QStringLiteral("1"));
    } else if (button == RunKeyDown) {
        m_runMode = 2;
    } else if (button == Run_KeyRelese) {
        m_runMode = 4;
    }
    MarkChanged();
}

void QEditPage::on_ButEditTime_clicked(bool checked)
{
    g_editTimeActive = checked;
    EditValueWidget->ShowDelayItems(checked);
    ButEditTime->setText(GetLangText(checked ? 294 : 106));
}

void QEditPage::on_ButTool_clicked(bool checked)
{
    if (checked) {
        ButEditTime->setChecked(false);
        g_editTimeActive = false;
        EditValueWidget->ShowDelayItems(false);
        ButEditTime->setText(GetLangText(106));
        ButEditTime->setEnabled(false);
        // Without a capture the list resets the record button itself.
        if (EditValueWidget->StartHooks())
            ButTool->setText(GetLangText(361));
    } else {
        ButEditTime->setEnabled(true);
        ButEditTime->show();
        EditValueWidget->StopHooks();
        ButTool->setText(GetLangText(360));
    }
}

void QEditPage::on_ButSeSet_clicked()
{
    MainWidget *w = MainWidget::instance();
    if (!w)
        return;
    if (ButEditTime->isChecked()) {
        w->ShowMessage(kBlueBar, GetLangText(118), true);
        return;
    }
    w->SetFormWidgetEnabled(false);
    if (w->ShowMessage(kBlueBar, GetLangText(334), false) != 1) {
        w->SetFormWidgetEnabled(true);
        return;
    }
    Q_EMIT ClearitemsAll();
    SaveMacro();
    w->SetFormWidgetEnabled(true);
    ButSeven->setEnabled(false);
}

void QEditPage::on_RunModelNumbel_textChanged(const QString &)
{
    MarkChanged();
}

void QEditPage::on_ButCheckSleep_clicked(bool checked)
{
    EditStudionTime->setVisible(checked);
    label_Ms->setVisible(checked);
    EditValueWidget->on_ActivatestudionTime(checked);
    if (checked)
        EditValueWidget->on_ResetStudionTimeValue(short(EditStudionTime->text().toUShort()));
}

void QEditPage::ApplyStandardDelay()
{
    const uint v = EditStudionTime->text().toUInt();
    const MainWidget *w = MainWidget::instance();
    const uint minimum = (w && w->CurrentProductName() == kTenMsProduct) ? 10 : 1;
    if (v < minimum)
        EditStudionTime->setText(QString::number(minimum));
    else if (v > 999)
        EditStudionTime->setText(QStringLiteral("999"));
    EditValueWidget->on_ResetStudionTimeValue(short(EditStudionTime->text().toUShort()));
}

bool QEditPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ButTool) {
        if (event->type() == QEvent::Enter)
            m_recordHover = true;
        else if (event->type() == QEvent::Leave)
            m_recordHover = false;
    } else if (watched == scrollArea->viewport() && event->type() == QEvent::Resize) {
        FitEventListWidth();
    } else if (watched == EditStudionTime && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            ApplyStandardDelay();
    } else if (watched == RunModelNumbel && event->type() == QEvent::FocusOut) {
        if (RunModelNumbel->text().toInt() == 0)
            RunModelNumbel->setText(QStringLiteral("1"));
    }
    return QWidget::eventFilter(watched, event);
}

void QEditPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    RefreshLangual();
}

void QEditPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FitEventListWidth();
}

void QEditPage::FitEventListWidth()
{
    const QWidget *view = scrollArea->viewport();
    EditValueWidget->resize(view->width(), qMax(EditValueWidget->height(), view->height()));
}
