#include "app/MainWidget.h"
#include "app/AppDirPath.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/ProductCatalogue.h"
#include "app/QAnimationEffectsLable.h"
#include "app/QGlobalSetWidget.h"
#include "app/QLeftMenuPop.h"
#include "app/QTitleWin.h"
#include "app/QXM_Process.h"
#include "app/TrayIcon.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "lighting/QBaseEffctThread.h"
#include "macros/QEditPage.h"
#include "macros/QJsonConfing.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "widgets/QCaroonMaskLabel.h"
#include "widgets/QDottomMessgDlg.h"
#include "app/NestedWait.h"
#include "widgets/QLR_PopWidget.h"
#include "widgets/QMaskGrayLabel.h"
#include "widgets/QWaitingAnimationDlg.h"
#include "widgets/infotext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

std::atomic<MainWidget *> MainWidget::s_instance{nullptr};

namespace {
const QColor kGreyBar(178, 179, 180);
const QColor kBlueBar(0, 169, 224);
// Paths are built only from names that stay inside "Products"; anything else lands here.
const char kUnsetProductIni[] = "/Products/.no-product_data.ini";

// The product folder of the current device. Its record carries the catalogue's display name,
// which need not be the folder name, so the folder comes from the catalogue by the device's ids.
QString currentDeviceProductFolder()
{
    HID_API *api = HID_API::instance();
    DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    if (!device)
        return QString();
    const QVector<ProductRecord> products = FindProduct(device->vendorId, device->productId, true);
    if (!products.isEmpty())
        return products.first().folder;
    for (const ProductRecord &p : GetProductList()) {
        if (p.name == device->name)
            return p.folder;
    }
    return device->name;
}

bool containsChinese(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FA5)
            return true;
    }
    return false;
}
} // namespace

MainWidget::MainWidget(QWidget *parent) : QWidget(parent)
{
    WriteLogLine(QStringLiteral("OPenApp Zr Hub"));
    NestedWait::ClearEndRequest(); // a new window: no end asked yet
    InitWindow();
    s_instance = this;
    CreatePages();
    ConnectSignals();

    TrayIcon::Instance()->setIcon(QStringLiteral(":/new/prefix1/Imges/appico.png"));
    TrayIcon::Instance()->setMainWidget(this);

    {
        std::unique_ptr<QSettings> ini(OpenSysBuildIni());
        const uint index = ini->value(QStringLiteral("Systime/Languageindex"), 0).toUInt();
        QXM_Process::instance()->ReloadLanguage(static_cast<uchar>(index & 0xFF));
        Q_EMIT LangualChange();
    }

    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    DelayMs(200);
    Q_EMIT CheckVersionsStatic();
}

MainWidget::~MainWidget()
{
    if (s_instance == this)
        s_instance = nullptr;
}

MainWidget *MainWidget::instance()
{
    return s_instance;
}

void MainWidget::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWidget"));
    resize(1300, 904);
    setMinimumWidth(1300);
    setMaximumWidth(1300);

    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(1);
    gridLayout->setContentsMargins(2, 2, 2, 2);

    Backdrop_Circle = new QWidget(this);
    Backdrop_Circle->setObjectName(QStringLiteral("Backdrop_Circle"));
    Backdrop_Circle->setMinimumHeight(900);
    Backdrop_Circle->setStyleSheet(QStringLiteral("#Backdrop_Circle{border-radius:10px;background-color: rgb(0, 1, 2);}"));

    verticalLayout = new QVBoxLayout(Backdrop_Circle);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(1);
    verticalLayout->setContentsMargins(1, 1, 1, 1);

    m_TitleWidget = new QTitleWin(Backdrop_Circle);
    m_TitleWidget->setObjectName(QStringLiteral("m_TitleWidget"));
    m_TitleWidget->setFixedHeight(45);
    verticalLayout->addWidget(m_TitleWidget, 1);

    _mainWidget = new QWidget(Backdrop_Circle);
    _mainWidget->setObjectName(QStringLiteral("_mainWidget"));
    horizontalLayout = new QHBoxLayout(_mainWidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(1);
    horizontalLayout->setContentsMargins(1, 1, 1, 1);

    Tab_BeseWdiget = new QTabWidget(_mainWidget);
    Tab_BeseWdiget->setObjectName(QStringLiteral("Tab_BeseWdiget"));
    Tab_BeseWdiget->setFocusPolicy(Qt::NoFocus);
    Tab_BeseWdiget->setStyleSheet(QStringLiteral(
        "QTabWidget::pane{background: rgba(0, 0, 0, 0);border:-1px;border-top:1px;border-left:1px;"
        "border-bottom:1px;border-right:1px;}"));
    horizontalLayout->addWidget(Tab_BeseWdiget);
    verticalLayout->addWidget(_mainWidget, 15);

    gridLayout->addWidget(Backdrop_Circle, 0, 0);
    setWindowTitle(QCoreApplication::translate("MainWidget", "Form"));
}

void MainWidget::InitWindow()
{
    setupUi();
    GetProductList();
    setWindowTitle(QStringLiteral("QUORIX HUB"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    Tab_BeseWdiget->tabBar()->hide();
    Backdrop_Circle->setWindowOpacity(0.6);
    // The backdrop's drop shadow is painted by the window itself (paintEvent).
    m_MaskGray = new QMaskGrayLabel(Backdrop_Circle);
    m_MaskGray->hide();
    installEventFilter(this);
}

void MainWidget::CreatePages()
{
    m_HidApi = new HID_API(Tab_BeseWdiget);
    Tab_BeseWdiget->addTab(m_HidApi, QStringLiteral("HIDAPI"));
    m_MousePage = new QLStyleMouseTabWidget(Tab_BeseWdiget);
    Tab_BeseWdiget->addTab(m_MousePage, QStringLiteral("MouseTabWidget"));
    m_KeyboardPage = new QLStyleKeybordTabWidget(Tab_BeseWdiget);
    Tab_BeseWdiget->addTab(m_KeyboardPage, QStringLiteral("KeybordTabWidget"));
    m_GlobalSet = new QGlobalSetWidget(Tab_BeseWdiget);
    Tab_BeseWdiget->addTab(m_GlobalSet, QStringLiteral("GlobalSetWidget"));
    m_EditPage = new QEditPage(Tab_BeseWdiget);
    Tab_BeseWdiget->addTab(m_EditPage, QStringLiteral("EditkeysDefinition"));
    m_PreviousPage = m_HidApi;

    connect(m_EditPage, &QEditPage::MacroFileChangge, m_KeyboardPage, &QLStyleKeybordTabWidget::on_MacroFileChangge);
    connect(m_EditPage, &QEditPage::MacroFileChangge, m_MousePage, &QLStyleMouseTabWidget::on_MacroFileChangge);
    connect(Tab_BeseWdiget, &QTabWidget::currentChanged, this, &MainWidget::on_TabChanged);
}

void MainWidget::on_TabChanged(int index)
{
    // The editor left another way than by its own buttons (a device gone, the device list
    // shown): its edits are dropped and a running recording ends, so nothing is saved unasked
    // on the next visit.
    if (m_LastTab == 4 && index != 4 && m_EditPage)
        m_EditPage->ResetPage();
    m_LastTab = index;
    // A device page shown opens it for the current device; the device list shown leaves it.
    // The settings page and the editor keep the page they were opened from.
    HID_API *api = HID_API::instance(); // null once the page is destroyed
    if (api && (index == 0 || index == 1 || index == 2))
        api->SetDevicePageOpen(index != 0);
}

void MainWidget::ConnectSignals()
{
    connect(m_TitleWidget, &QTitleWin::_quit, this, &MainWidget::on_quit);
    connect(m_TitleWidget, &QTitleWin::_min, this, &MainWidget::on_min);
    connect(m_TitleWidget, &QTitleWin::_Resize, this, &MainWidget::on_Resize);
    connect(m_TitleWidget, &QTitleWin::_PushGlobal, this, &MainWidget::on_TabChangeGlobalSet);
    connect(m_TitleWidget, &QTitleWin::_RollBackPage, this, &MainWidget::on_RollBackPage);
    connect(m_GlobalSet, &QGlobalSetWidget::SetCurrLanguage, this, &MainWidget::on_setLanuage);
    connect(m_EditPage, &QEditPage::quitPage, this, &MainWidget::on_MarcoQuitPage);
    connect(m_EditPage, &QEditPage::quitPage, this, &MainWidget::on_MarcoquitPage);
    connect(this, &MainWidget::LangualChange, m_KeyboardPage, &QLStyleKeybordTabWidget::on_RefreshLangual);
    connect(this, &MainWidget::LangualChange, m_HidApi, &HID_API::on_RefreshLangual);
    connect(this, &MainWidget::LangualChange, m_MousePage, &QLStyleMouseTabWidget::on_RefreshLangual);
    connect(m_HidApi, &HID_API::CLosingUsb, this, &MainWidget::on_TabChangeHID_API);
    connect(m_HidApi, &HID_API::freeDevicePageMemory, this, &MainWidget::on_freeDevicePageMemory);
    connect(m_HidApi, &HID_API::ClearMouseDataBuff, m_MousePage, &QLStyleMouseTabWidget::ButExit_on_clicked);
    connect(m_HidApi, &HID_API::ClearKeyboardDataBuff, m_KeyboardPage, &QLStyleKeybordTabWidget::ButExit_on_clicked);
}

// ---- paths and INI openers ----

QString MainWidget::CurrentProductName() const
{
    QMutexLocker lock(&m_ProductNameLock);
    return m_ProductName;
}

void MainWidget::SetProductName(const QString &folder)
{
    QMutexLocker lock(&m_ProductNameLock);
    m_ProductName = folder;
}

// The open page's product, else the current device's. Only the GUI thread looks the device up
// and keeps what it found: the device list and the cached catalogue are not the workers' to read.
QString MainWidget::ProductNameForFiles()
{
    QString name = CurrentProductName();
    if (name.isEmpty() && QThread::currentThread() == thread()) {
        name = currentDeviceProductFolder();
        SetProductName(name);
    }
    return name;
}

QString MainWidget::ProductDir() const
{
    return QStringLiteral("%1/Products/%2").arg(AppDirPath(), CurrentProductName());
}

QString MainWidget::UserConfigDir() const
{
    return ProductDir() + QStringLiteral("/UserConfig");
}

QString MainWidget::ModifyConfigDir() const
{
    return ProductDir() + QStringLiteral("/moidefConfig");
}

QSettings *MainWidget::OpenProductDataIni()
{
    const QString product = ProductNameForFiles();
    if (!IsSafeFileComponent(product)) {
        WriteLogLine(QStringLiteral("no usable product for its data file: \"%1\"").arg(product));
        return OpenIniFile(AppDirPath() + QLatin1String(kUnsetProductIni));
    }
    return OpenIniFile(QStringLiteral("%1/Products/%2/%2_data.ini").arg(AppDirPath(), product));
}

QSettings *MainWidget::OpenMouseParamConfig()
{
    const QString product = ProductNameForFiles();
    if (!IsSafeFileComponent(product)) {
        WriteLogLine(QStringLiteral("no usable product for its mouse settings: \"%1\"").arg(product));
        return OpenIniFile(AppDirPath() + QLatin1String(kUnsetProductIni));
    }
    return OpenIniFile(QStringLiteral("%1/Products/%2/UserConfig/MouseParamConfig.ini").arg(AppDirPath(), product));
}

// ---- pop-ups ----

uchar MainWidget::ShowMessage(const QColor &colour, const QString &text, bool yesOnly, const char *file, int line)
{
    if (NestedWait::EndRequested())
        return 0; // the program ends: nothing more is asked
    m_MaskGray->m_ShowMovie = false;
    m_MaskGray->m_ShowText = false;
    m_MaskGray->show();
    uchar result = 0;
    {
        NestedWait::Scope wait(file, line);
        QDottomMessgDlg dlg(nullptr, colour, text, yesOnly, width());
        dlg.move(pos().x(), pos().y() + height() / 3);
        NestedWait::ExecDialog(dlg); // not opened when its slide-in was cut short by the end
        result = wait.DeviceWent() || NestedWait::EndRequested() ? 0 : QDottomMessgDlg::LastResult();
        dlg.close();
    }
    if (m_BusyHolds == 0) // else the mask is the busy one, which stays until its wait ends
        m_MaskGray->hide();
    return result;
}

void MainWidget::ShowBottomTip(const QString &caption, const QString &text)
{
    QLR_PopWidget::Pop(caption, text);
}

void MainWidget::ShowErrorCode(bool clog, int code)
{
    if (code == 0) {
        ShowBottomTip(GetLangText(296), GetLangText(275));
        return;
    }
    // The codes' texts, from "Recv Err" to "Recv Came Color Config Err", in the UI language.
    static const uint kTextIds[] = {990, 991, 299, 992, 993, 994, 993, 995, 996, 997, 998};
    if (code < 1 || code > int(sizeof kTextIds / sizeof kTextIds[0]))
        return;
    const QString text = GetLangText(kTextIds[code - 1]);
    if (clog)
        ShowMessage(kGreyBar, text, true);
    else
        ShowBottomTip(GetLangText(297), text);
}

void MainWidget::ShowInfoText(const QString &text)
{
    if (m_InfoText)
        return;
    auto *label = new infotext(nullptr);
    m_InfoText = label;
    label->setText(text);
    const int perChar = containsChinese(text) ? 13 : 8;
    const int w = qMax(text.length(), 5) * perChar;
    const int h = 50;
    const QPoint cursor = QCursor::pos();
    label->resize(w, h);
    label->move(cursor.x() - w / 2, cursor.y() - h);
    label->show();
    label->on_showAction();
}

bool MainWidget::HideInfoText()
{
    delete m_InfoText.data();
    m_InfoText = nullptr;
    return true;
}

void MainWidget::ShowMask()
{
    m_MaskGray->show();
    // Whatever waits under it, the window's close button stays within reach.
    if (const QWidget *closer = m_TitleWidget->findChild<QWidget *>(QStringLiteral("But_Close2")))
        m_MaskGray->setMask(QRegion(m_MaskGray->rect())
                            - QRect(closer->mapTo(Backdrop_Circle, QPoint(0, 0)), closer->size()));
}

void MainWidget::ShowBusyAt(bool spinner)
{
    m_MaskGray->m_ShowMovie = false;
    m_MaskGray->m_ShowText = !spinner;
    ShowMask();
    if (spinner) {
        QWaitingAnimationDlg *dlg = QWaitingAnimationDlg::Instance();
        dlg->move(QCursor::pos() + QPoint(10, 10));
        dlg->show();
    }
}

void MainWidget::ShowMaskGray(bool showText, bool showMovie)
{
    m_MaskGray->m_ShowText = showText;
    m_MaskGray->m_ShowMovie = showMovie;
    ShowMask();
}

void MainWidget::HideMaskGray()
{
    if (m_BusyHolds == 0)
        m_MaskGray->hide();
}

void MainWidget::ShowPageMask(int)
{
    QCaroonMaskLabel::ShowOver(Backdrop_Circle);
}

// ---- sync wait ----

bool MainWidget::WaitDeviceSync()
{
    m_SyncWait.store(true);
    bool gaveUp = false;
    int periods = 0;
    do {
        DelayMs(200);
        if ((periods > 50 || NestedWait::EndRequested()) && m_SyncWait.load()) {
            m_SyncWait.store(false);
            gaveUp = true;
        }
        ++periods;
    } while (m_SyncWait.load());
    if (gaveUp)
        WriteLogLine(QStringLiteral("device data wait gave up after %1 periods").arg(periods));
    return !gaveUp;
}

void MainWidget::EndSyncWait()
{
    m_SyncWait.store(false);
}

void MainWidget::ClearSyncFlag2()
{
    m_SyncFlag2.store(false);
}

// ---- pages ----

// Showing another page leaves the one shown, which a wait may hold: the switch follows it, once
// however often it was asked there (a double click), to the page asked last.
void MainWidget::switchTo(QWidget *page, int state)
{
    m_HeldSwitchPage = page;
    m_HeldSwitchState = state;
    if (NestedWait::Held(this, [this] {
            if (m_HeldSwitchPage)
                switchTo(m_HeldSwitchPage, m_HeldSwitchState);
        }, &m_SwitchHeld))
        return;
    // A page asked while it is shown keeps where it came from: its exit must lead back there.
    if (Tab_BeseWdiget->currentWidget() != page)
        m_PreviousPage = Tab_BeseWdiget->currentWidget();
    Tab_BeseWdiget->setCurrentWidget(page);
    m_PageState = state;
}

void MainWidget::LeaveBuiltDevicePages()
{
    // Opened over another device's page, shown or not (the settings page or the device list
    // may lie over it): that page is left first, its effects and threads stopped, as its exit
    // leaves it.
    const int shown = Tab_BeseWdiget->currentIndex();
    bool left = false;
    if (m_MousePage && (shown == 1 || m_MousePage->IsDeviceLoaded())) {
        m_MousePage->CloseTabs();
        left = true;
    }
    if (m_KeyboardPage && (shown == 2 || !m_KeyboardPage->BuiltProduct().isEmpty())) {
        m_KeyboardPage->ExitPage();
        left = true;
    }
    if (left)
        SetPageIndex();
}

void MainWidget::ShowDevicePage(int index)
{
    Tab_BeseWdiget->setCurrentIndex(index);
    // The page's device is the one whose page is shown, also when its tab was shown already.
    if (HID_API *api = HID_API::instance())
        api->SetDevicePageOpen(true);
}

void MainWidget::OpenKeyboardPage(const QString &productFolder)
{
    ShowBusyAt(true);
    LeaveBuiltDevicePages();
    SetProductName(productFolder);
    m_DevicePageKind = 2;
    ShowDevicePage(2);
    if (m_KeyboardPage)
        m_KeyboardPage->BuildPage(productFolder);
    on_Hide_busy_Status();
}

void MainWidget::OpenMousePage(const QString &productFolder)
{
    LeaveBuiltDevicePages();
    SetProductName(productFolder);
    m_DevicePageKind = 1;
    ShowDevicePage(1);
    if (m_MousePage)
        m_MousePage->LoadProductItems(productFolder);
}

void MainWidget::BackFromDevicePage()
{
    if (m_MousePage && !m_MousePage->isHidden())
        m_MousePage->ButExit_on_clicked();
    else if (m_KeyboardPage && !m_KeyboardPage->isHidden())
        m_KeyboardPage->ButExit_on_clicked();
    else if (m_HidApi && m_HidApi->isHidden())
        Tab_BeseWdiget->setCurrentIndex(0);
}

void MainWidget::SetPageIndex()
{
    Tab_BeseWdiget->setCurrentIndex(0);
}

void MainWidget::SetFormWidgetEnabled(bool enabled)
{
    m_TitleWidget->setEnabled(enabled);
}

void MainWidget::on_TabChangeEditkeysDefinition()
{
    if (m_EditPage)
        switchTo(m_EditPage, 4);
}

void MainWidget::on_TabChangeEditkeysDefinition(const QString &file, bool Read)
{
    if (!m_EditPage)
        return;
    m_EditPage->SetMacroName(file);
    if (Read) {
        int runWay = 0;
        int runOne = 1;
        const QVector<uchar> image = QJsonConfing().ReadMacroData(file, &runWay, &runOne);
        m_EditPage->LoadMacro(image, runWay, runOne);
    }
    switchTo(m_EditPage, 4);
}

void MainWidget::on_TabChangeEditkeysDefinition(const QString &file)
{
    on_TabChangeEditkeysDefinition(file, false);
}

void MainWidget::on_ExitPage(uint page)
{
    m_PageState = static_cast<int>(page);
}

void MainWidget::on_SetEditkeysDefinitionRunWay(int modef)
{
    if (m_EditPage)
        m_EditPage->SetRunMode(modef, 1);
}

void MainWidget::on_ErrorMessgeBox(bool clog, int errorID)
{
    ShowErrorCode(clog, errorID);
}

void MainWidget::on_DpiInPut(uint Dpi)
{
    ShowBottomTip(QString(), QStringLiteral("DPI: %1").arg(Dpi));
}

void MainWidget::on_CloroMessgBox(const QString &text)
{
    ShowMessage(kBlueBar, text, true);
}

void MainWidget::HoldBusy(bool hold)
{
    m_BusyHolds = qMax(0, m_BusyHolds + (hold ? 1 : -1));
    if (!hold)
        on_Hide_busy_Status();
}

void MainWidget::on_Hide_busy_Status()
{
    // A worker ending its part of a wait the indicator stands for does not end the wait.
    if (m_RestoreFlag.load() || m_BusyHolds > 0)
        return;
    m_MaskGray->hide();
    // Only a dialog that exists is stopped: hiding the busy state must not build one first.
    if (QWaitingAnimationDlg *dlg = QWaitingAnimationDlg::Existing()) {
        StopWaitSpinner();
        dlg->hide();
        QWaitingAnimationDlg::Release();
    }
}

void MainWidget::on_Show_busy_Status(bool ciecle)
{
    ShowBusyAt(ciecle);
}

void MainWidget::on_Show_busy_Status()
{
    ShowBusyAt(true);
}

void MainWidget::on_freeDevicePageMemory()
{
    if (m_MousePage)
        m_MousePage->CloseTabs();
    if (m_KeyboardPage)
        m_KeyboardPage->ExitPage();
}

void MainWidget::on_TabChangeGlobalSet()
{
    if (m_GlobalSet)
        switchTo(m_GlobalSet, 3);
}

void MainWidget::on_TabChangeHID_API()
{
    switchTo(m_HidApi, 0);
}

void MainWidget::on_PopBottomWindow(const QString &t, const QString &m)
{
    ShowBottomTip(t, m);
}

void MainWidget::on_setLanuage(uchar lan)
{
    QXM_Process::instance()->ReloadLanguage(lan);
    Q_EMIT LangualChange();
}

void MainWidget::on_MarcoQuitPage()
{
    if (NestedWait::Held(this, [this] { on_MarcoQuitPage(); }))
        return;
    if (m_PreviousPage)
        Tab_BeseWdiget->setCurrentWidget(m_PreviousPage);
}

void MainWidget::on_MarcoquitPage()
{
    Q_EMIT MarcoQuitPage();
}

void MainWidget::on_quit()
{
    if (m_GlobalSet && m_GlobalSet->IsCloseToTray()) {
        // Hiding with no tray to come back from would leave no window and a lock that
        // refuses a restart: then the close button quits.
        if (TrayIcon::IsAvailable()) {
            TrayIcon::Instance()->setVisible(true);
            hide();
            return;
        }
        WriteLogLine(QStringLiteral("no system tray available: closing instead of hiding"));
    }
    if (m_Quitting)
        return;
    m_Quitting = true;
    QAnimationEffectsLable::instance()->AnimateMinimize(this);
    // What the wait holds goes with the pages: the wait ends now, the quit follows it.
    if (NestedWait::EndAfterWaits(this, [this] { FinishQuit(); }))
        return;
    FinishQuit();
}

void MainWidget::FinishQuit()
{
    Shutdown();
    ClearProductListCache();
    if (s_instance) {
        DelayMs(1000);
        m_CloseAccepted = true;
        close();
        s_instance = nullptr;
    }
}

void MainWidget::on_min()
{
    QAnimationEffectsLable::instance()->AnimateMinimize(this);
}

void MainWidget::on_Resize(bool)
{
    if (windowState() == Qt::WindowNoState)
        showMaximized();
    else if (windowState() == Qt::WindowMaximized)
        showNormal();
}

void MainWidget::on_pushIndex(int index)
{
    if (NestedWait::Held(this, [this, index] { on_pushIndex(index); }))
        return;
    Tab_BeseWdiget->setCurrentIndex(index);
}

void MainWidget::on_TabChangeMouseTabWidget()
{
    if (m_MousePage)
        switchTo(m_MousePage, 1);
}

void MainWidget::on_TabChangeKeybordTabWidgett()
{
    if (m_KeyboardPage)
        switchTo(m_KeyboardPage, 2);
}

void MainWidget::on_But_ExitPage()
{
    if (NestedWait::Held(this, [this] { on_But_ExitPage(); }))
        return;
    if (m_PageState == 4 && m_PreviousPage)
        Tab_BeseWdiget->setCurrentWidget(m_PreviousPage);
    Q_EMIT DispExitButton(false);
}

void MainWidget::on_RollBackPage()
{
    if (NestedWait::Held(this, [this] { on_RollBackPage(); }))
        return;
    if (m_PreviousPage)
        Tab_BeseWdiget->setCurrentWidget(m_PreviousPage);
}

// ---- window events and shutdown ----

bool MainWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates s = windowState();
        if (s == Qt::WindowMaximized)
            Q_EMIT W_Maximized();
        else if (s == Qt::WindowMinimized)
            Q_EMIT W_Minimized();
        else if (s == Qt::WindowNoState)
            Q_EMIT W_NoState();
        Q_EMIT W_Change();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    WriteLogLine(QStringLiteral("OPenApp Zr Hub End"));
}

void MainWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_Shadow.Paint(painter, Backdrop_Circle);
}

void MainWidget::closeEvent(QCloseEvent *event)
{
    // The window system's close: animate away, then close for real after 500 ms. With the
    // navigation pop-up open only the animation is left out: the window still closes.
    if (!m_CloseAccepted && !QLeftMenuPop::Instance()) {
        event->ignore();
        QAnimationEffectsLable::instance()->AnimateMinimize(this);
        QTimer::singleShot(500, this, [this] {
            m_CloseAccepted = true;
            close();
        });
        return;
    }
    // The pages go only once the wait that holds them has returned; it ends now.
    if (NestedWait::EndAfterWaits(this, [this] { close(); })) {
        event->ignore();
        return;
    }
    Shutdown();
    event->accept();
}

void MainWidget::Shutdown()
{
    if (m_ShutDown)
        return;
    m_ShutDown = true;
    // A recording must not keep the system-wide capture past the window.
    if (m_EditPage)
        m_EditPage->ResetPage();
    QBaseEffctThread::instance()->On_StopThread();
    Q_EMIT W_Close();
}
