#include "app/InerWidget.h"
#include "app/AppDirPath.h"
#include "app/CheckedSave.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/ProgramVersion.h"
#include "app/DownloadPercent.h"
#include "app/QXM_Process.h"
#include "app/SetAutoStart.h"
#include "device/HID_API.h"
#include "firmware/DownTask.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "platform/DesktopLauncher.h"
#include "widgets/AppFont.h"
#include "widgets/QMaskGrayLabel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

const char *const InerWidget::MakerWebSite = "https://www.quorix-hub.example/";

namespace {

QLabel *newLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QComboBox *newCombo(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setMinimumSize(150, 35);
    c->setMaximumWidth(130);
    return c;
}

QLabel *newBar(QWidget *parent, const char *name)
{
    QLabel *bar = newLabel(parent, name);
    bar->setFixedSize(5, 25);
    bar->setStyleSheet(QStringLiteral("background-color: rgb(48, 82, 132); border-radius: 2px;"));
    return bar;
}

// The catalogue is a few KB; a server sending more than this is not sending a catalogue.
constexpr qint64 CatalogueMaxBytes = 4 * 1024 * 1024;

// An installer of the program with its libraries is some tens of MB; this leaves it room to grow,
// while a server sending without end cannot fill the disk through a temporary file nobody sees.
constexpr qint64 InstallerMaxBytes = 512 * 1024 * 1024;

// The owner of records whose page went while their download ran.
const char kAbandoned = 0;

// Frees the abandoned records of a returned batch and clears their slots, so that no other
// receiver of the batch reads them.
void FreeAbandonedTasks(DownTask **ptrs, int count)
{
    for (int i = 0; ptrs && i < count; ++i)
        if (ptrs[i] && ptrs[i]->owner == &kAbandoned)
            DeleteDownTasks(&ptrs[i], 1);
}
} // namespace

InerWidget::InerWidget(QWidget *parent) : QWidget(parent)
{
    setupUi();
    ButCheckUpda->setToolTip(GetLangText(314));
    Currn_Langue->addItem(QStringLiteral("中文简体"));
    Currn_Langue->addItem(QStringLiteral("English"));
    applyStyle();
    connectForm();
    connect(QDownTaskManage::Instance(), &QDownTaskManage::CurrTaskDownLoadProgress, this,
            &InerWidget::on_Signal_DownLoadProgress);
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::CheckVersionsStatic, this, &InerWidget::on_CheckVersionsStatic);
    RefreshLangual();
    LoadSystemSettings();
    for (QWidget *w : {static_cast<QWidget *>(UpdataComboBox), static_cast<QWidget *>(label_3),
                       static_cast<QWidget *>(label_6), static_cast<QWidget *>(UpdataComboBox24G),
                       static_cast<QWidget *>(label_7), static_cast<QWidget *>(label_9)})
        w->hide();
}

InerWidget::~InerWidget()
{
    // Records still with the download manager stay allocated: it writes into them when their
    // transfer ends. They are freed when their batch comes back.
    if (!m_CatalogueTask && !m_InstallerTask)
        return;
    QDownTaskManage *manager = QDownTaskManage::Instance();
    static const QMetaObject::Connection freeing =
        connect(manager, &QDownTaskManage::TaskEnd, manager, &FreeAbandonedTasks);
    Q_UNUSED(freeing)
    if (m_CatalogueTask)
        m_CatalogueTask->owner = &kAbandoned;
    if (m_InstallerTask)
        m_InstallerTask->owner = &kAbandoned;
}

void InerWidget::setupUi()
{
    setObjectName(QStringLiteral("InerWidget"));
    resize(899, 1007);
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(40, 20, 40, 20);
    top->setSpacing(16);

    auto *head = new QHBoxLayout;
    label = newLabel(this, "label");
    label->setMinimumSize(300, 50);
    label->setMaximumWidth(300);
    label->setStyleSheet(QStringLiteral("image: url(:/new/prefix1/Imges/QUORIX_IMGS/tarvenoLog.png);"));
    head->addWidget(label);
    head->addStretch(1);
    widget_2 = new QWidget(this);
    widget_2->setObjectName(QStringLiteral("widget_2"));
    widget_2->setMinimumHeight(50);
    widget_2->setMaximumSize(150, 100);
    auto *web = new QHBoxLayout(widget_2);
    web->setContentsMargins(4, 4, 4, 4);
    label_8 = newLabel(widget_2, "label_8");
    label_8->setFixedSize(40, 40);
    label_8->setStyleSheet(QStringLiteral("image: url(:/new/prefix1/Imges/QLStyleKeybordTabWidget/MFunctionImage/media_computer.png);"));
    But_toWed = new QPushButton(widget_2);
    But_toWed->setObjectName(QStringLiteral("But_toWed"));
    web->addWidget(label_8);
    web->addWidget(But_toWed);
    head->addWidget(widget_2);
    top->addLayout(head);

    gridLayout = new QGridLayout;
    gridLayout->setHorizontalSpacing(12);
    gridLayout->setVerticalSpacing(10);
    label_2 = newBar(this, "label_2");
    label_4 = newBar(this, "label_4");
    label_5 = newBar(this, "label_5");
    BigLabel_1 = newLabel(this, "BigLabel_1");
    BigLabel_1->setText(QStringLiteral("语言设置"));
    Currn_Langue = newCombo(this, "Currn_Langue");
    MinLabel_1 = newLabel(this, "MinLabel_1");
    MinLabel_1->setText(QStringLiteral("切换地区语言设置."));
    BigLabel_2 = newLabel(this, "BigLabel_2");
    BigLabel_2->setText(QStringLiteral("退出设置"));
    CloseComboxTyp = newCombo(this, "CloseComboxTyp");
    MinLabel_2 = newLabel(this, "MinLabel_2");
    MinLabel_2->setText(QStringLiteral("开启后关闭软件将缩小到右下角."));
    BigLabel_3 = newLabel(this, "BigLabel_3");
    BigLabel_3->setText(QStringLiteral("开机自启动"));
    StarteComBox = newCombo(this, "StarteComBox");
    MinLabel_3 = newLabel(this, "MinLabel_3");
    MinLabel_3->setText(QStringLiteral("开机时自动启动"));
    const struct { QLabel *bar; QLabel *title; QComboBox *list; QLabel *hint; } rows[] = {
        {label_2, BigLabel_1, Currn_Langue, MinLabel_1},
        {label_4, BigLabel_2, CloseComboxTyp, MinLabel_2},
        {label_5, BigLabel_3, StarteComBox, MinLabel_3},
    };
    int r = 0;
    for (const auto &row : rows) {
        gridLayout->addWidget(row.bar, r, 0);
        gridLayout->addWidget(row.title, r, 1, 1, 2);
        gridLayout->addWidget(row.list, r + 1, 1);
        gridLayout->addWidget(row.hint, r + 1, 2);
        r += 2;
    }
    gridLayout->setColumnStretch(2, 1);
    top->addLayout(gridLayout);

    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setMinimumHeight(50);
    auto *box = new QGridLayout(widget);
    UpdaLabel = newLabel(widget, "UpdaLabel");
    LabelTime = newLabel(widget, "LabelTime");
    ButCheckUpda = new QPushButton(widget);
    ButCheckUpda->setObjectName(QStringLiteral("ButCheckUpda"));
    ButCheckUpda->setMinimumSize(150, 35);
    ButCheckUpda->setMaximumWidth(300);
    ButCheckUpda->setEnabled(false);
    progressBar = new QProgressBar(widget);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->hide();
    label_10 = newLabel(widget, "label_10");
    label_10->hide();
    label_3 = newLabel(widget, "label_3");
    label_6 = newLabel(widget, "label_6");
    UpdataComboBox = newCombo(widget, "UpdataComboBox");
    label_7 = newLabel(widget, "label_7");
    label_9 = newLabel(widget, "label_9");
    UpdataComboBox24G = newCombo(widget, "UpdataComboBox24G");
    box->addWidget(UpdaLabel, 0, 0);
    box->addWidget(LabelTime, 1, 0);
    box->addWidget(ButCheckUpda, 0, 1, 2, 1);
    box->addWidget(progressBar, 2, 0);
    box->addWidget(label_10, 2, 1);
    box->addWidget(label_3, 3, 0);
    box->addWidget(label_6, 3, 1);
    box->addWidget(UpdataComboBox, 3, 2);
    box->addWidget(label_7, 4, 0);
    box->addWidget(label_9, 4, 1);
    box->addWidget(UpdataComboBox24G, 4, 2);
    box->setColumnStretch(0, 1);
    top->addWidget(widget);
    top->addStretch(1);
}

void InerWidget::applyStyle()
{
    setStyleSheet(QStringLiteral(
        "#BigLabel_1, #BigLabel_2, #BigLabel_3, #UpdaLabel, #LabelTime, #But_toWed, #label_10 { color: white; }"
        "#MinLabel_1, #MinLabel_2, #MinLabel_3 { color: rgb(162, 162, 162); }"
        "#widget_2 { border-radius: 5px; }"
        "#widget_2:hover { background-color: rgba(5, 220, 252, 100); }"
        "#But_toWed { border: none; background: transparent; }"
        "QComboBox { color: #898989; background-color: #161718; border-radius: 8px; min-width: 120px;"
        " min-height: 35px; padding-left: 30px; }"
        "QComboBox::drop-down { border: none; width: 30px; }"
        "QComboBox::down-arrow { image: url(:/new/prefix1/Imges/Arr_Down.png); }"
        "QComboBox::down-arrow:on { image: url(:/new/prefix1/Imges/Arr_Up.png); }"
        "QComboBox::down-arrow:disabled { image: none; }"
        // The open list is dark with light text, as readable as the box (the default light list
        // left the grey text faint).
        "QComboBox QAbstractItemView { color: #d6d6d6; background-color: #161718; outline: none;"
        " selection-color: #ffffff; selection-background-color: #305284; }"
        "QComboBox QAbstractItemView::item { min-height: 50px; }"
        "QComboBox QAbstractItemView::item:hover { background-color: rgba(24, 156, 243, 100); }"
        // This page is itself named "widget" by its holder: "InerWidget" keeps these rules on the
        // version box inside it, away from the web-site button.
        "InerWidget #widget QPushButton { color: rgb(235, 235, 235); background-color: #305284; border-radius: 5px; }"
        "InerWidget #widget QPushButton:disabled { background-color: #333333; }"
        "InerWidget #widget QPushButton:hover { background-color: #35678f; }"));
    for (QWidget *w : {static_cast<QWidget *>(BigLabel_1), static_cast<QWidget *>(BigLabel_2),
                       static_cast<QWidget *>(BigLabel_3), static_cast<QWidget *>(UpdaLabel),
                       static_cast<QWidget *>(LabelTime), static_cast<QWidget *>(Currn_Langue),
                       static_cast<QWidget *>(CloseComboxTyp), static_cast<QWidget *>(StarteComBox),
                       static_cast<QWidget *>(ButCheckUpda), static_cast<QWidget *>(progressBar),
                       static_cast<QWidget *>(label_10)})
        ApplyAppFont(w, 18);
    for (QWidget *w : {static_cast<QWidget *>(MinLabel_1), static_cast<QWidget *>(MinLabel_2),
                       static_cast<QWidget *>(MinLabel_3)})
        ApplyAppFont(w, 20);
    ApplyAppFont(But_toWed, 10);
}

void InerWidget::connectForm()
{
    connect(Currn_Langue, QOverload<int>::of(&QComboBox::activated), this, &InerWidget::on_Currn_Langue_activated);
    connect(CloseComboxTyp, QOverload<int>::of(&QComboBox::activated), this, &InerWidget::on_CloseComboxTyp_activated);
    connect(StarteComBox, QOverload<int>::of(&QComboBox::activated), this, &InerWidget::on_StarteComBox_activated);
    connect(But_toWed, &QPushButton::clicked, this, &InerWidget::on_But_toWed_clicked);
    connect(ButCheckUpda, &QPushButton::clicked, this, &InerWidget::on_ButCheckUpda_clicked);
}

QString InerWidget::InstallerFolder()
{
    return AppDirPath() + QStringLiteral("/Buff/");
}

void InerWidget::RefreshLangual()
{
    BigLabel_1->setText(GetLangText(63));
    BigLabel_2->setText(GetLangText(65));
    BigLabel_3->setText(GetLangText(72));
    MinLabel_1->setText(GetLangText(312));
    MinLabel_2->setText(GetLangText(310));
    MinLabel_3->setText(GetLangText(311));
    {
        std::unique_ptr<QSettings> ini(OpenSysBuildIni());
        UpdaLabel->setText(GetLangText(71) + ini->value(QStringLiteral("Systime/Version")).toString());
        LabelTime->setText(GetLangText(338) + QLatin1Char(':') + ini->value(QStringLiteral("Systime/UpdataTime")).toString());
    }
    But_toWed->setText(GetLangText(315));
    label_6->setText(GetLangText(339));
    label_9->setText(GetLangText(340));
    for (QComboBox *list : {CloseComboxTyp, StarteComBox}) {
        list->clear();
        list->addItem(GetLangText(316));
        list->addItem(GetLangText(98));
    }
    // An offer, a running installer download and a downloaded installer survive a language
    // change or a new showing of the page; every other state has nothing to offer.
    switch (m_UpdataState) {
    case NewerOffered:
        ButCheckUpda->setText(GetLangText(390));
        break;
    case ProgramCurrent:
        ButCheckUpda->setText(GetLangText(389));
        break;
    case InstallerReady:
        ButCheckUpda->setText(GetLangText(348));
        break;
    case InstallerLoading:
        break;
    default:
        m_UpdataState = NothingOffered;
        ButCheckUpda->setText(GetLangText(391));
        break;
    }
}

void InerWidget::selectStoredChoices()
{
    std::unique_ptr<QSettings> ini(OpenSysBuildIni());
    StarteComBox->setCurrentIndex(ini->value(QStringLiteral("Systime/OpenAutoStart"), false).toBool() ? 0 : 1);
    m_TrayIcon = ini->value(QStringLiteral("Systime/TrayIcon"), false).toBool();
    CloseComboxTyp->setCurrentIndex(m_TrayIcon ? 0 : 1);
    const uint lan = ini->value(QStringLiteral("Systime/Languageindex"), 0).toUInt();
    Currn_Langue->setCurrentIndex(lan < uint(Currn_Langue->count()) ? int(lan) : -1);
}

void InerWidget::LoadSystemSettings()
{
    selectStoredChoices();
    // The progress display belongs to a running installer download and stays while it runs.
    if (m_UpdataState != InstallerLoading) {
        progressBar->hide();
        if (MainWidget *main = MainWidget::instance())
            main->HideMaskGray();
        label_10->hide();
    }
}

void InerWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    RefreshLangual();
    LoadSystemSettings();
    m_Shown = true;
}

void InerWidget::on_Currn_Langue_activated(int index)
{
    if (index < 0)
        return;
    if (MainWidget *main = MainWidget::instance())
        main->ShowPageMask();
    bool stored;
    {
        std::unique_ptr<QSettings> ini(OpenSysBuildIni());
        ini->setValue(QStringLiteral("Systime/Languageindex"), uint(index));
        stored = CheckedSave::SyncSettings(*ini);
    }
    Q_EMIT MLan(uchar(index));
    RefreshLangual();
    QXM_Process::instance()->NotifyLanguageChange();
    // Refilling the two switch lists selected their first entry; show the stored choices.
    selectStoredChoices();
    if (!stored) // the language holds until the program ends
        SayNotStored();
}

void InerWidget::SayNotStored()
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowMessage(QColor(178, 179, 180), CheckedSave::FailureText(CheckedSave::Settings), true);
}

void InerWidget::on_CloseComboxTyp_activated(int index)
{
    if (index != 0 && index != 1)
        return;
    std::unique_ptr<QSettings> ini(OpenSysBuildIni());
    ini->setValue(QStringLiteral("Systime/TrayIcon"), index == 0);
    const bool stored = CheckedSave::SyncSettings(*ini);
    ini.reset();
    m_TrayIcon = index == 0;
    if (!stored)
        SayNotStored();
}

void InerWidget::on_StarteComBox_activated(int index)
{
    if (index != 0 && index != 1)
        return;
    if (!SetAutoStart(index == 0)) {
        // The list shows what is really in place, not the choice that could not be made.
        selectStoredChoices();
        SayNotStored();
    }
}

void InerWidget::on_But_toWed_clicked()
{
    const QString site = QString::fromLatin1(MakerWebSite);
    if (OpenInBrowser(QUrl(site)))
        return;
    WriteLogLine(QStringLiteral("Web site could not be opened"));
    // With no browser to show it, the address is given to type elsewhere.
    if (MainWidget *main = MainWidget::instance())
        main->ShowMessage(QColor(178, 179, 180), GetLangText(810).arg(site), true);
}

void InerWidget::startDownload(DownTask *task)
{
    QDownTaskManage *manager = QDownTaskManage::Instance();
    manager->AddTask(task);
    connect(manager, &QDownTaskManage::TaskEnd, this, &InerWidget::on_TaskEnd, Qt::UniqueConnection);
    manager->on_statr();
}

void InerWidget::on_CheckVersionsStatic()
{
    if (m_CatalogueTask)
        return;
    m_UpdataState = CatalogueLoading;
    QString address;
    {
        std::unique_ptr<QSettings> ini(OpenSysBuildIni());
        address = ini->value(QStringLiteral("Systime/UpdatadataIp")).toString();
    }
    DownTask *task = NewDownTask(this);
    task->url = address;
    task->folder = AppDirPath() + QStringLiteral("/Buff/");
    task->maxBytes = CatalogueMaxBytes;
    m_CatalogueTask = task;
    startDownload(task);
}

void InerWidget::setButton(uint textId, uchar state)
{
    m_UpdataState = state;
    ButCheckUpda->setText(GetLangText(textId));
}

void InerWidget::catalogueEnded(const DownTask *task)
{
    // The saved file is the one the download reports, whatever its name became on the way.
    const QString path = task->filePath;
    QWebDeviceVersionCheck *checker = QWebDeviceVersionCheck::Instance();
    if (task->status != DownTaskDone || path.isEmpty() || !QFile::exists(path) || !checker->ParseCatalogue(path)) {
        ButCheckUpda->setEnabled(false);
        setButton(391, NothingOffered);
        return;
    }
    const QString offered = checker->DriveVersion();
    QString installed;
    {
        std::unique_ptr<QSettings> ini(OpenSysBuildIni());
        installed = ini->value(QStringLiteral("Systime/Version")).toString();
    }
    if (!IsProgramVersionText(offered)) {
        ButCheckUpda->setEnabled(false);
        setButton(391, NothingOffered);
    } else if (IsNewerProgramVersion(offered, installed)) {
        setButton(390, NewerOffered);
        ButCheckUpda->setToolTip(GetLangText(390) + offered);
        ButCheckUpda->setEnabled(true);
    } else {
        setButton(389, ProgramCurrent);
    }
    if (HID_API *devices = HID_API::instance())
        devices->on_CheckHidDeviceVersions(true);
}

void InerWidget::installerEnded(const DownTask *task)
{
    progressBar->hide();
    if (MainWidget *main = MainWidget::instance())
        main->HideMaskGray();
    label_10->hide();
    ButCheckUpda->setEnabled(false);
    setButton(297, NothingOffered);
    if (task->status == DownTaskDone && QFile::exists(task->filePath)) {
        ButCheckUpda->setEnabled(true);
        setButton(348, InstallerReady);
        m_InstallerPath = task->filePath;
    }
}

void InerWidget::installerWaitEscaped()
{
    // The user stopped waiting for the installer: its download ends, and the offer stands again.
    if (!m_InstallerTask || m_UpdataState != InstallerLoading)
        return;
    m_InstallerTask->owner = nullptr; // this page no longer reads it; its batch frees it
    QDownTaskManage *manager = QDownTaskManage::Instance();
    manager->ReleaseWhenEnded({m_InstallerTask});
    manager->CancelTask(m_InstallerTask);
    m_InstallerTask = nullptr;
    progressBar->hide();
    label_10->hide();
    setButton(390, NewerOffered);
    ButCheckUpda->setEnabled(true);
}

void InerWidget::on_TaskEnd(DownTask **ptrs, int count)
{
    if (!ptrs || count < 1)
        return;
    // One batch can carry records of other requesters: read and free only this page's own.
    for (int i = 0; i < count; ++i) {
        DownTask *task = ptrs[i];
        if (!task || task->owner != this || task->check != DownTaskAlive)
            continue;
        if (task == m_CatalogueTask) {
            m_CatalogueTask = nullptr;
            catalogueEnded(task);
        } else if (task == m_InstallerTask) {
            m_InstallerTask = nullptr;
            installerEnded(task);
        }
        DeleteDownTasks(&ptrs[i], 1);
    }
    if (!m_CatalogueTask && !m_InstallerTask)
        disconnect(QDownTaskManage::Instance(), &QDownTaskManage::TaskEnd, this, &InerWidget::on_TaskEnd);
}

void InerWidget::on_ButCheckUpda_clicked()
{
    ButCheckUpda->setEnabled(false);
    if (m_UpdataState == NewerOffered) {
        if (m_InstallerTask)
            return;
        progressBar->setValue(0);
        progressBar->show();
        label_10->clear();
        label_10->show();
        if (MainWidget *main = MainWidget::instance()) {
            main->ShowMaskGray(false, false);
            if (auto *mask = main->findChild<QMaskGrayLabel *>())
                connect(mask->EscapeButton(), &QPushButton::clicked, this, &InerWidget::installerWaitEscaped,
                        Qt::UniqueConnection);
        }
        DownTask *task = NewDownTask(this);
        task->url = QWebDeviceVersionCheck::Instance()->DriveDownloadPath();
        task->folder = InstallerFolder();
        task->maxBytes = InstallerMaxBytes;
        task->needsLength = true;
        m_InstallerTask = task;
        m_UpdataState = InstallerLoading;
        startDownload(task);
        return;
    }
    if (m_UpdataState == InstallerReady) {
        // Started only on this click, and only a file whose download completed.
        if (m_InstallerPath.isEmpty() || !QFileInfo(m_InstallerPath).isFile())
            return;
        QFile installer(m_InstallerPath);
        installer.setPermissions(installer.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        if (!StartDetachedProgram(m_InstallerPath)) {
            WriteLogLine(QStringLiteral("Installer could not be started: ") + m_InstallerPath);
            setButton(297, NothingOffered);
            return;
        }
        DelayMs(500);
        QCoreApplication::quit();
    }
}

void InerWidget::on_Signal_DownLoadProgress(qlonglong bytesRead, qlonglong totalBytes)
{
    if (isHidden() || progressBar->isHidden() || m_UpdataState != InstallerLoading)
        return;
    label_10->setText(QStringLiteral("%1 / %2").arg(bytesRead).arg(totalBytes));
    const int percent = DownloadPercent(bytesRead, totalBytes);
    if (percent >= 0)
        progressBar->setValue(percent);
}
