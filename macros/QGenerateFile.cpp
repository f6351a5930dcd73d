#include "macros/QGenerateFile.h"
#include "app/NestedWait.h"

#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "macros/QJsonConfing.h"
#include "macros/QKeyHook.h"
#include "widgets/AppFont.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QColor kBlueBar(0, 169, 224);
const QString kImgDir = QStringLiteral(":/new/prefix1/Imges/QUORIX_IMGS/MoDefine/");

QPushButton *ModeButton(QWidget *parent, const char *name, const QString &picture)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setCheckable(true);
    b->setMaximumSize(80, 80);
    b->setMinimumSize(80, 80);
    b->setIcon(QIcon(kImgDir + picture));
    b->setIconSize(QSize(56, 56));
    b->setStyleSheet(QStringLiteral(
        "QPushButton{background-color:rgb(45,45,45);border-radius:15px;}"
        "QPushButton:hover{background-color:rgb(48,82,132);}"
        "QPushButton:checked{border:3px solid rgb(48,82,132);}"));
    return b;
}
} // namespace

QGenerateFile::QGenerateFile(QWidget *parent) : QDialog(parent)
{
    setupUi();
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    installEventFilter(this);
    lineEdit->installEventFilter(this);

    QKeyHook *hook = QKeyHook::Instance();
    m_oldBlock = hook->KeyBlock();
    m_hooked = hook->InstallHook();
    hook->SetKeyBlock(0);

    m_blink.setInterval(600);
    connect(ButRunOne, &QPushButton::clicked, this, &QGenerateFile::on_butcliked);
    connect(But_Othr, &QPushButton::clicked, this, &QGenerateFile::on_butcliked);
    connect(ButRePress, &QPushButton::clicked, this, &QGenerateFile::on_butcliked);
    connect(&m_blink, &QTimer::timeout, this, &QGenerateFile::on_timeout);
    connect(hook, &QKeyHook::HookKeyCodeValue, this, &QGenerateFile::on_HookKeyCodeValue);
    if (MainWidget *w = MainWidget::instance())
        connect(w, &MainWidget::LangualChange, this, &QGenerateFile::on_LanguageChange);
    connect(lineEdit, &QLineEdit::cursorPositionChanged, this, &QGenerateFile::on_lineEdit_cursorPositionChanged);
    on_lineEdit_cursorPositionChanged(0, 0);
}

QGenerateFile::~QGenerateFile()
{
    QKeyHook *hook = QKeyHook::Instance();
    // A recording that held the hook before keeps it, and its blocking.
    hook->SetKeyBlock(m_oldBlock);
    if (m_hooked)
        hook->UnHook();
}

void QGenerateFile::setupUi()
{
    setObjectName(QStringLiteral("QGenerateFile"));
    resize(904, 551);
    auto *outer = new QGridLayout(this);
    InerWidget = new QWidget(this);
    InerWidget->setObjectName(QStringLiteral("InerWidget"));
    InerWidget->setAttribute(Qt::WA_StyledBackground);
    InerWidget->setStyleSheet(QStringLiteral(
        "QWidget#InerWidget{background-color:rgb(11,12,13);border-radius:10px;}"
        "QLabel{color:white;}"));
    outer->addWidget(InerWidget, 0, 0, Qt::AlignCenter);

    auto *v = new QVBoxLayout(InerWidget);
    v->setContentsMargins(40, 30, 40, 30);
    v->setSpacing(20);
    label_2 = new QLabel(QStringLiteral("选择创建类型"), InerWidget);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setAlignment(Qt::AlignCenter);
    label_2->setFont(LoadAppFont(25));
    v->addWidget(label_2);

    auto *modes = new QHBoxLayout;
    auto addMode = [&](QPushButton *button, QLabel *text) {
        auto *col = new QVBoxLayout;
        col->addWidget(button, 0, Qt::AlignHCenter);
        text->setAlignment(Qt::AlignCenter);
        text->setFont(LoadAppFont(12));
        col->addWidget(text);
        modes->addLayout(col);
    };
    ButRePress = ModeButton(InerWidget, "ButRePress", QStringLiteral("OtherButton.png"));
    label_4 = new QLabel(QStringLiteral("按住时重复，松开停止"), InerWidget);
    label_4->setObjectName(QStringLiteral("label_4"));
    But_Othr = ModeButton(InerWidget, "But_Othr", QStringLiteral("PressButton.png"));
    label_5 = new QLabel(QStringLiteral("直到按下任何其他按键"), InerWidget);
    label_5->setObjectName(QStringLiteral("label_5"));
    ButRunOne = ModeButton(InerWidget, "ButRunOne", QStringLiteral("OneButton.png"));
    label_6 = new QLabel(QStringLiteral("循环重复次数"), InerWidget);
    label_6->setObjectName(QStringLiteral("label_6"));
    ButRunOne->setChecked(true);
    addMode(ButRePress, label_4);
    addMode(But_Othr, label_5);
    addMode(ButRunOne, label_6);
    v->addLayout(modes);

    auto *nameRow = new QHBoxLayout;
    pushButton_4 = new QPushButton(InerWidget);
    pushButton_4->setObjectName(QStringLiteral("pushButton_4"));
    pushButton_4->setFlat(true);
    pushButton_4->setFocusPolicy(Qt::NoFocus);
    pushButton_4->setIcon(QIcon(kImgDir + QStringLiteral("SetName.png")));
    lineEdit = new QLineEdit(InerWidget);
    lineEdit->setObjectName(QStringLiteral("lineEdit"));
    lineEdit->setMaxLength(30);
    lineEdit->setAlignment(Qt::AlignCenter);
    lineEdit->setContextMenuPolicy(Qt::NoContextMenu);
    label = new QLabel(QStringLiteral(" "), InerWidget);
    label->setObjectName(QStringLiteral("label"));
    label->setFont(QFont(QStringLiteral("Arial Black")));
    nameRow->addWidget(pushButton_4);
    nameRow->addWidget(lineEdit, 1);
    nameRow->addWidget(label);
    v->addLayout(nameRow);

    label_7 = new QLabel(QStringLiteral("   按下 Esc 退出"), InerWidget);
    label_7->setObjectName(QStringLiteral("label_7"));
    label_7->setAlignment(Qt::AlignCenter);
    label_7->setFont(LoadAppFont(20));
    v->addWidget(label_7);
}

bool QGenerateFile::GetResult(QString *name, int *mode)
{
    NestedWait::Scope wait;
    int result = NestedWait::ExecDialog(*this); // Rejected once the program's end is asked
    if (wait.DeviceWent())
        result = QDialog::Rejected; // the name was given for a device that has gone
    const QString text = lineEdit->text();
    if (name)
        *name = text;
    if (mode)
        *mode = 1;
    // Only the Enter path accepts; every other way out leaves with nothing.
    if (result != QDialog::Accepted || text.isEmpty())
        return false;
    if (mode)
        *mode = ButRunOne->isChecked() ? 1 : But_Othr->isChecked() ? 2 : ButRePress->isChecked() ? 4 : 1;
    return true;
}

void QGenerateFile::RefreshLangual()
{
    lineEdit->setPlaceholderText(GetLangText(303));
    on_LanguageChange();
}

int QGenerateFile::CheckName(const QString &name)
{
    if (name.size() > 10)
        return 108;
    // The name becomes a file name: nothing that leaves the macro folder, that no file can carry
    // or that no list would show.
    if (!QJsonConfing::IsMacroName(name) || name.contains(QLatin1String("..")))
        return 108;
    if (QJsonConfing().MacroFileExists(name))
        return 140;
    if (name.toUtf8().size() >= 255)
        return 108;
    return 0;
}

void QGenerateFile::AcceptName()
{
    const QString name = lineEdit->text();
    if (name.isEmpty()) {
        reject();
        return;
    }
    const int refusal = CheckName(name);
    if (refusal) {
        if (MainWidget *w = MainWidget::instance())
            w->ShowMessage(kBlueBar, GetLangText(uint(refusal)), true);
        return;
    }
    Q_EMIT GenerFile(name);
    accept();
}

void QGenerateFile::done(int result)
{
    // The opening wait runs inside show(), before exec() has a loop to leave: an end asked for
    // there would hide the dialog and leave that loop running with nothing to end it.
    if (m_opening) {
        m_endAsked = true;
        m_endResult = result;
        return;
    }
    QDialog::done(result);
}

void QGenerateFile::reject()
{
    lineEdit->clear();
    QDialog::reject();
}

void QGenerateFile::on_butcliked()
{
    for (QPushButton *b : {ButRunOne, But_Othr, ButRePress})
        b->setChecked(false);
    if (auto *b = qobject_cast<QPushButton *>(sender()))
        b->setChecked(true);
}

void QGenerateFile::on_timeout()
{
    m_underline = !m_underline;
    lineEdit->setStyleSheet(m_underline
        ? QStringLiteral("QLineEdit{color:grey;background:transparent;border:none;border-bottom:2px solid rgb(111,112,113);}")
        : QStringLiteral("QLineEdit{color:grey;background:transparent;border:none;border-bottom:2px solid transparent;}"));
}

void QGenerateFile::on_HookKeyCodeValue(bool, uint Keycode, uint)
{
    if (Keycode == 27 && isVisible())
        reject();
}

void QGenerateFile::on_LanguageChange()
{
    label_2->setText(GetLangText(350));
    label_7->setText(GetLangText(351));
    label_4->setText(GetLangText(9));
    label_5->setText(GetLangText(8));
    label_6->setText(GetLangText(7));
}

void QGenerateFile::on_lineEdit_cursorPositionChanged(int, int newPos)
{
    if (newPos < 1) {
        lineEdit->setStyleSheet(QStringLiteral("QLineEdit{color:grey;background:transparent;border:none;}"));
        label->setText(QStringLiteral(" "));
        m_blink.start();
    } else {
        lineEdit->setStyleSheet(QStringLiteral("QLineEdit{color:white;background:transparent;border:none;}"));
        label->setText(GetLangText(107));
        m_blink.stop();
    }
}

bool QGenerateFile::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AcceptName();
            return true;
        }
    } else if (watched == this && event->type() == QEvent::MouseButtonPress) {
        lineEdit->clearFocus();
        m_blink.start();
    }
    return QDialog::eventFilter(watched, event);
}

void QGenerateFile::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (MainWidget *w = MainWidget::instance())
        setGeometry(w->geometry());
    RefreshLangual();
    m_blink.start();
    m_opening = true;
    DelayMs(200);
    m_opening = false;
    if (m_endAsked) {
        // Ended while waiting (Esc through the hook, a name at once): exec() has its loop now.
        m_endAsked = false;
        const int result = m_endResult;
        QTimer::singleShot(0, this, [this, result] { done(result); });
        return;
    }
    if (!isVisible())
        return;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(this, &press);
    lineEdit->setFocus();
}
