#include "firmware/QUpdataDlg.h"
#include "app/NestedWait.h"

#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "firmware/Q_ZY_FW_Updata.h"
#include "widgets/AppFont.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <cmath>

namespace {
QUpdataDlg *s_dialog = nullptr;

// Half the size difference, halves rounded away from zero (the offset may be negative).
QPoint CentredOffset(const QSize &outer, const QSize &inner)
{
    return QPoint(int(std::lround((outer.width() - inner.width()) / 2.0)),
                  int(std::lround((outer.height() - inner.height()) / 2.0)));
}
}

QUpdataDlg *QUpdataDlg::Instance()
{
    if (!s_dialog)
        s_dialog = new QUpdataDlg;
    return s_dialog;
}

QUpdataDlg *QUpdataDlg::ExistingInstance()
{
    return s_dialog;
}

QUpdataDlg::QUpdataDlg() : QDialog(nullptr)
{
    setupUi();
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    connect(pushButton, &QPushButton::clicked, this, &QUpdataDlg::on_pushButton_clicked);
}

void QUpdataDlg::setupUi()
{
    setObjectName(QStringLiteral("QUpdataDlg"));
    setWindowTitle(QStringLiteral("Dialog"));
    resize(1089, 859);
    verticalLayout = new QVBoxLayout(this);
    m_inerWidget = new QWidget(this);
    m_inerWidget->setObjectName(QStringLiteral("m_inerWidget"));
    m_inerWidget->setAttribute(Qt::WA_StyledBackground);
    m_inerWidget->setStyleSheet(QStringLiteral("#m_inerWidget{border-radius:10px;background:rgb(0, 1, 2);}"));
    verticalLayout->addWidget(m_inerWidget);
    innerLayout = new QVBoxLayout(m_inerWidget);
    innerLayout->setContentsMargins(40, 40, 40, 40);

    ImgLabel = new QLabel(m_inerWidget);
    ImgLabel->setObjectName(QStringLiteral("ImgLabel"));
    ImgLabel->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    innerLayout->addWidget(ImgLabel, 4);

    ProductName = new QPushButton(QStringLiteral("66"), m_inerWidget);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setFont(LoadAppFont(35));
    ProductName->setStyleSheet(QStringLiteral("QPushButton{color:white;background:rgb(19, 18, 19);border-radius:10px;"
                                              "border:1px solid transparent;}"));
    auto *productRow = new QHBoxLayout;
    productRow->addStretch(1);
    productRow->addWidget(ProductName);
    productRow->addStretch(1);
    innerLayout->addLayout(productRow);

    progressBar = new QProgressBar(m_inerWidget);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setFixedHeight(15);
    progressBar->setRange(0, 100);
    progressBar->setAlignment(Qt::AlignCenter);
    progressBar->setFont(LoadAppFont(15));
    progressBar->setStyleSheet(QStringLiteral("QProgressBar{color:white;background:transparent;border-radius:5px;}"
                                              "QProgressBar::chunk{border-radius:3px;background:#305284;}"));
    innerLayout->addWidget(progressBar);

    InfoText = new QLabel(m_inerWidget);
    InfoText->setObjectName(QStringLiteral("InfoText"));
    InfoText->setWordWrap(true);
    InfoText->setAlignment(Qt::AlignCenter);
    InfoText->setFont(LoadAppFont(15));
    InfoText->setStyleSheet(QStringLiteral("color:white;"));
    innerLayout->addWidget(InfoText);

    pushButton = new QPushButton(QStringLiteral("好的"), m_inerWidget);
    pushButton->setObjectName(QStringLiteral("pushButton"));
    pushButton->setMinimumHeight(50);
    pushButton->setFont(LoadAppFont(15));
    pushButton->setStyleSheet(QStringLiteral("QPushButton{color:rgb(235, 235, 235);background:#305284;border-radius:5px;"
                                             "padding-left:7px;padding-right:7px;}"
                                             "QPushButton:hover{background:#35678f;}"));
    auto *okRow = new QHBoxLayout;
    okRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    okRow->addWidget(pushButton);
    okRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    okRow->setStretch(0, 2);
    okRow->setStretch(1, 3);
    okRow->setStretch(2, 2);
    innerLayout->addLayout(okRow);
}

void QUpdataDlg::SetProductImage(const QImage &image)
{
    ImgLabel->setPixmap(QPixmap::fromImage(image));
}

void QUpdataDlg::SetButtonText(const QString &text)
{
    ProductName->setText(text);
}

void QUpdataDlg::SetButtonVersion(const QString &version)
{
    ProductName->setText(ProductName->text().split(QLatin1Char('V')).first() + version);
}

QString QUpdataDlg::ButtonText() const
{
    return ProductName->text();
}

QString QUpdataDlg::MessageText() const
{
    return InfoText->text();
}

int QUpdataDlg::Progress() const
{
    return progressBar->value();
}

bool QUpdataDlg::IsOkShown() const
{
    return !pushButton->isHidden();
}

QScreen *QUpdataDlg::ScreenAtCursor()
{
    const QPoint at = QCursor::pos();
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->geometry().contains(at))
            return screen;
    return nullptr;
}

void QUpdataDlg::on_DispText(QString text)
{
    InfoText->setText(text);
}

void QUpdataDlg::on_DispStup(int stup)
{
    progressBar->setValue(stup);
    if (stup % 10 == 0)
        WriteLogLine(QString::asprintf("updata: %d", stup));
}

void QUpdataDlg::on_pop()
{
    // A dialog already on screen keeps its one modal loop.
    if (isVisible())
        return;
    m_wait.reset(new NestedWait::Scope);
    exec();
    m_wait.reset();
}

void QUpdataDlg::on_hide()
{
    hide();
    // Only an updater that exists is asked to quit: making one here would load the library.
    if (Q_ZY_FW_Updata *zy = Q_ZY_FW_Updata::ExistingInstance())
        zy->quit();
}

void QUpdataDlg::on_Hidebutton()
{
    m_wait.reset(); // the update has ended: nothing it held is held any more
    if (NestedWait::EndRequested()) {
        // The program's end waited for the update (a firmware write is never cut short); it
        // follows now, without asking for OK.
        hide();
        return;
    }
    pushButton->show();
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    if (QScreen *screen = ScreenAtCursor()) {
        const QRect area = screen->geometry();
        main->move(area.topLeft() + CentredOffset(area.size(), main->size()));
    }
    CentreOnMainWindow();
}

void QUpdataDlg::on_pushButton_clicked()
{
    // The devices that came back from their updates are listed once this dialog's wait is over:
    // their versions are checked after them.
    if (HID_API *hid = HID_API::instance())
        NestedWait::AfterWaits(hid, [hid] { hid->on_CheckHidDeviceVersions(false); });
    if (MainWidget *main = MainWidget::instance())
        main->HideMaskGray();
    hide();
}

void QUpdataDlg::CentreOnMainWindow()
{
    if (MainWidget *main = MainWidget::instance())
        move(main->pos() + CentredOffset(main->size(), size()));
}

void QUpdataDlg::showEvent(QShowEvent *event)
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowMaskGray(false, false);
    CentreOnMainWindow();
    progressBar->setValue(0);
    progressBar->show();
    InfoText->setText(QStringLiteral("Load upf File"));
    pushButton->hide();
    pushButton->setText(GetLangText(133));
    InfoText->setText(GetLangText(414));
    QDialog::showEvent(event);
}

void SetUpdateDialogProduct(const QString &text)
{
    QUpdataDlg::Instance()->SetButtonText(text);
}
