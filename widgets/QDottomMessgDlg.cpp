#include "widgets/QDottomMessgDlg.h"
#include "app/DelayMs.h"
#include "app/QXM_Process.h"
#include "widgets/QDottom_Inerwidget.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>

uchar QDottomMessgDlg::s_lastResult = 0;

QDottomMessgDlg::QDottomMessgDlg(QWidget *parent, const QColor &colour, const QString &text, bool yesOnly, int width)
    : QDialog(parent)
{
    // A strip that times out must not leave an earlier Yes behind for its caller to read.
    s_lastResult = 0;

    setupUi();
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("#Dottom_Inerwidget{background-color: rgb(%1, %2, %3);"
                                 "border-bottom-right-radius:10px;border-top-right-radius:10px}")
                      .arg(colour.red())
                      .arg(colour.green())
                      .arg(colour.blue()));

    connect(this, &QDottomMessgDlg::Starte_Animat, Dottom_Inerwidget, &QDottom_Inerwidget::on_Starte_Animat);
    connect(this, &QDottomMessgDlg::Stop_Animat, Dottom_Inerwidget, &QDottom_Inerwidget::on_Stop_Animat);
    connect(Dottom_Inerwidget, &QDottom_Inerwidget::end_Animat, this, &QDottomMessgDlg::on_end_Animat);
    connect(But_Yes, &QPushButton::clicked, this, &QDottomMessgDlg::on_But_Yes_clicked);
    connect(But_Cancel, &QPushButton::clicked, this, &QDottomMessgDlg::on_But_Cancel_clicked);

    Messgeinfo->setText(text);
    But_Yes->setText(GetLangText(1));
    But_Cancel->setText(GetLangText(2));
    if (yesOnly) {
        But_Cancel->hide();
        But_Yes->setText(GetLangText(133));
    }

    Dottom_Inerwidget->move(Dottom_Inerwidget->x(), height());
    resize(width, 110);

    auto *slideIn = new QPropertyAnimation(Dottom_Inerwidget, "geometry", this);
    slideIn->setDuration(180);
    slideIn->setStartValue(QRect(10, height(), width, 0));
    slideIn->setEndValue(QRect(10, 0, width, 110));
    slideIn->start(QAbstractAnimation::DeleteWhenStopped);

    QApplication::beep();
    DelayMs(600);
    Q_EMIT Starte_Animat();
}

uchar QDottomMessgDlg::LastResult()
{
    return s_lastResult;
}

void QDottomMessgDlg::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QDottomMessgDlg"));
    resize(946, 110);
    setMinimumHeight(110);
    setMaximumHeight(110);
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    Dottom_Inerwidget = new QDottom_Inerwidget(this);
    Dottom_Inerwidget->setObjectName(QStringLiteral("Dottom_Inerwidget"));
    Dottom_Inerwidget->setMinimumSize(0, 0);
    Dottom_Inerwidget->setStyleSheet(QStringLiteral(
        "QPushButton{color: rgb(255, 255, 255);background-color: rgba(0, 0, 0, 0);border: none;font: 75 18pt \"黑体\";}"
        "QPushButton:hover{color: rgb(230, 230, 230);font: 75 22pt \"黑体\";}"
        "QLabel{color: rgb(255, 255, 255);font: 15pt \"黑体\";}"));
    horizontalLayout = new QHBoxLayout(Dottom_Inerwidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    const QMargins defaults = horizontalLayout->contentsMargins();
    horizontalLayout->setContentsMargins(defaults.left(), 1, defaults.right(), 1);
    Messgeinfo = new QLabel(Dottom_Inerwidget);
    Messgeinfo->setObjectName(QStringLiteral("Messgeinfo"));
    Messgeinfo->setFixedHeight(90);
    Messgeinfo->setAlignment(Qt::AlignCenter);
    // A long message wraps inside the strip; unwrapped, its width would widen the strip past
    // the main window and push the buttons aside.
    Messgeinfo->setWordWrap(true);
    horizontalLayout->addWidget(Messgeinfo, 15);
    But_Cancel = new QPushButton(Dottom_Inerwidget);
    But_Cancel->setObjectName(QStringLiteral("But_Cancel"));
    But_Cancel->setMinimumWidth(100);
    horizontalLayout->addWidget(But_Cancel, 1);
    But_Yes = new QPushButton(Dottom_Inerwidget);
    But_Yes->setObjectName(QStringLiteral("But_Yes"));
    But_Yes->setMinimumWidth(100);
    horizontalLayout->addWidget(But_Yes, 1);
    gridLayout->addWidget(Dottom_Inerwidget, 0, 0, 1, 1);
    // Keys reach the dialog itself, which answers Return and Enter with Yes and swallows the
    // rest; a focused or default button would otherwise turn Return into its own click.
    for (QPushButton *button : {But_Cancel, But_Yes}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }
    setWindowTitle(QStringLiteral("Dialog"));
}

void QDottomMessgDlg::answer(uchar result)
{
    if (m_answered)
        return;
    m_answered = true;
    s_lastResult = result;
    Q_EMIT Stop_Animat();
    onShakeWindow();
    close();
}

void QDottomMessgDlg::on_But_Yes_clicked()
{
    answer(1);
}

void QDottomMessgDlg::on_But_Cancel_clicked()
{
    answer(0);
}

void QDottomMessgDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        answer(1);
    // Every key is taken here: Escape in particular does not close the strip.
    event->accept();
}

void QDottomMessgDlg::on_end_Animat()
{
    if (m_answered)
        return;
    m_answered = true;
    Q_EMIT Stop_Animat();
    close();
}

void QDottomMessgDlg::onShakeWindow()
{
    auto *wipe = new QPropertyAnimation(Dottom_Inerwidget, "geometry", this);
    wipe->setDuration(200);
    const QRect from = Dottom_Inerwidget->geometry();
    QRect to = from;
    to.setTop(height() + 10);
    wipe->setStartValue(from);
    wipe->setEndValue(to);
    wipe->start(QAbstractAnimation::DeleteWhenStopped);
    DelayMs(300);
}
