#include "app/QTitleWin.h"
#include "app/MainWidget.h"
#include "app/QLeftMenuPop.h"
#include "lighting/QBaseEffctThread.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QPointer>

QTitleWin *QTitleWin::s_instance = nullptr;

namespace {
QString imagePath(const char *name)
{
    return QStringLiteral(":/new/prefix1/Imges/") + QLatin1String(name);
}

// A borderless 25-30 px title button drawn only by its images.
QString buttonStyle(const char *normal, const char *hovered, const QStringList &hoverStates)
{
    QString sheet = QStringLiteral("QPushButton{border:none;min-width:25px;min-height:25px;max-width:30px;max-height:30px;"
                                   "image:url(%1);}")
                        .arg(imagePath(normal));
    for (const QString &state : hoverStates)
        sheet += QStringLiteral("QPushButton:%1{image:url(%2);}").arg(state, imagePath(hovered));
    return sheet;
}

// Buttons and drags do nothing while the navigation pop-up is open.
bool navigationOpen()
{
    return QLeftMenuPop::Instance() != nullptr;
}
} // namespace

QTitleWin::QTitleWin(QWidget *parent)
    : QWidget(parent)
{
    setupUi();
    for (QWidget *w : {static_cast<QWidget *>(But_Set), static_cast<QWidget *>(But_Hide2),
                       static_cast<QWidget *>(But_Max_noma), static_cast<QWidget *>(But_Close2), widgetTitle})
        w->installEventFilter(this);
    s_instance = this;
    But_Set->hide();
    label_Title->setText(QString());
    But_Max_noma->hide();

    connect(But_Close2, &QPushButton::clicked, this, &QTitleWin::on_But_Close2_clicked);
    connect(But_Hide2, &QPushButton::clicked, this, &QTitleWin::on_But_Hide2_clicked);
    connect(But_Max_noma, &QPushButton::clicked, this, &QTitleWin::on_But_Max_noma_clicked);
    connect(But_Set, &QPushButton::clicked, this, &QTitleWin::on_But_Set_clicked);
    connect(Titleicon, &QPushButton::clicked, this, &QTitleWin::on_Titleicon_clicked);
}

QTitleWin::~QTitleWin()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QTitleWin *QTitleWin::Instance()
{
    return s_instance;
}

void QTitleWin::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QTitleWin"));
    resize(759, 77);
    horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(1);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);

    widgetTitle = new QWidget(this);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    widgetTitle->setAttribute(Qt::WA_StyledBackground);
    widgetTitle->setStyleSheet(QStringLiteral("#widgetTitle{border-top-left-radius:10px;border-top-right-radius:10px;}"
                                              "#widgetTitle:disabled{background-color: rgb(31, 31, 32);}"));
    horizontalLayout_4 = new QHBoxLayout(widgetTitle);
    horizontalLayout_4->setObjectName(QStringLiteral("horizontalLayout_4"));
    const QMargins defaults = horizontalLayout_4->contentsMargins();
    horizontalLayout_4->setContentsMargins(1, 1, 1, defaults.bottom());

    horizontalLayout_3 = new QHBoxLayout;
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    horizontalLayout_3->setSpacing(6);
    horizontalLayout_3->setContentsMargins(30, 20, 0, 0);
    Titleicon = new QPushButton(widgetTitle);
    Titleicon->setObjectName(QStringLiteral("Titleicon"));
    Titleicon->setFocusPolicy(Qt::NoFocus);
    Titleicon->setIconSize(QSize(16, 16));
    Titleicon->setStyleSheet(QStringLiteral("QPushButton{border:none;image:url(%1);min-width:30px;min-height:30px;max-width:30px;max-height:30px;}"
                                            "QPushButton:hover{min-width:50px;min-height:50px;max-width:50px;max-height:50px;}")
                                 .arg(imagePath("QUORIX_IMGS/Layer.png")));
    horizontalLayout_3->addWidget(Titleicon, 2);
    label_Title = new QLabel(widgetTitle);
    label_Title->setObjectName(QStringLiteral("label_Title"));
    label_Title->setStyleSheet(QStringLiteral("QLabel{color: rgb(181, 181, 181);font: 87 8pt \"Arial Black\";}"
                                              "QLabel:hover{color: rgb(255, 5, 5);}"
                                              "QLabel:disabled{color: #101010;}"));
    label_Title->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    horizontalLayout_3->addWidget(label_Title, 18);
    horizontalLayout_4->addLayout(horizontalLayout_3);

    horizontalLayout_2 = new QHBoxLayout;
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->setContentsMargins(0, 20, 30, 0);
    const QStringList pressed{QStringLiteral("hover"), QStringLiteral("pressed")};
    But_Set = new QPushButton(widgetTitle);
    But_Set->setObjectName(QStringLiteral("But_Set"));
    But_Set->setCheckable(true);
    But_Set->setStyleSheet(buttonStyle("Title/set_nv.png", "Title/set_hv.png",
                                       {QStringLiteral("hover"), QStringLiteral("pressed"), QStringLiteral("checked")}));
    horizontalLayout_2->addWidget(But_Set);
    But_Hide2 = new QPushButton(widgetTitle);
    But_Hide2->setObjectName(QStringLiteral("But_Hide2"));
    But_Hide2->setFocusPolicy(Qt::NoFocus);
    But_Hide2->setStyleSheet(buttonStyle("Title/min_nv.png", "Title/min_hv.png", pressed));
    horizontalLayout_2->addWidget(But_Hide2);
    But_Max_noma = new QPushButton(widgetTitle);
    But_Max_noma->setObjectName(QStringLiteral("But_Max_noma"));
    But_Max_noma->setFocusPolicy(Qt::NoFocus);
    But_Max_noma->setCheckable(true);
    But_Max_noma->setChecked(false);
    But_Max_noma->setStyleSheet(QStringLiteral("QPushButton{border:none;min-width:25px;min-height:25px;max-width:30px;max-height:30px;}"
                                               "QPushButton:checked{image:url(%1);}QPushButton:checked:hover{image:url(%2);}"
                                               "QPushButton:!checked{image:url(%3);}QPushButton:!checked:hover{image:url(%4);}")
                                    .arg(imagePath("Title/max_nv.png"), imagePath("Title/max_hv.png"),
                                         imagePath("Title/norm_nv.png"), imagePath("Title/norm_hv.png")));
    horizontalLayout_2->addWidget(But_Max_noma);
    But_Close2 = new QPushButton(widgetTitle);
    But_Close2->setObjectName(QStringLiteral("But_Close2"));
    But_Close2->setFocusPolicy(Qt::NoFocus);
    But_Close2->setStyleSheet(buttonStyle("Title/Delete_nv.png", "Title/Delete_hv.png", pressed));
    horizontalLayout_2->addWidget(But_Close2);
    horizontalLayout_4->addLayout(horizontalLayout_2);

    horizontalLayout->addWidget(widgetTitle);
    setWindowTitle(QStringLiteral("Form"));
}

void QTitleWin::SetMenuButtonHidden(bool hidden)
{
    Titleicon->setHidden(hidden);
}

void QTitleWin::on_KeyPictue_clicked()
{
}

void QTitleWin::on_USB_Communication(bool)
{
}

void QTitleWin::on_But_Close2_clicked()
{
    if (navigationOpen())
        return;
    QBaseEffctThread::instance()->On_StopThread();
    Q_EMIT _quit();
}

void QTitleWin::on_But_Hide2_clicked()
{
    if (navigationOpen())
        return;
    Q_EMIT _min();
}

void QTitleWin::on_But_Max_noma_clicked(bool checked)
{
    if (navigationOpen())
        return;
    Q_EMIT _Resize(checked);
}

void QTitleWin::on_But_Set_clicked(bool checked)
{
    if (navigationOpen())
        return;
    if (MainWidget *main = MainWidget::instance())
        main->ShowPageMask();
    if (checked)
        Q_EMIT _PushGlobal();
    else
        Q_EMIT _RollBackPage();
}

void QTitleWin::on_Titleicon_clicked()
{
    if (navigationOpen())
        return;
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    // Held weakly: the pop-up is a child of the main window, which may go while it runs modally.
    QPointer<QLeftMenuPop> menu = new QLeftMenuPop(main);
    menu->Animationgeometry_show();
    delete menu.data();
}

bool QTitleWin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widgetTitle && !navigationOpen())
        dragArea(watched, event);
    return QWidget::eventFilter(watched, event);
}

bool QTitleWin::dragArea(QObject *, QEvent *event)
{
    QWidget *win = window();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        if (win->isMaximized()) {
            m_dragging = false;
            break;
        }
        m_dragging = true;
        m_pressCursor = mouse->globalPos();
        m_pressWindowTopLeft = win->frameGeometry().topLeft();
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            win->move(m_pressWindowTopLeft + (mouse->globalPos() - m_pressCursor));
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_dragging = false;
        break;
    default:
        break;
    }
    return false;
}
