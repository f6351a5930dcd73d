#include "keyboard/QLStyleKeybordTabWidget.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/Zr_KeyBord_Key_Info_toXml.h"
#include "lighting/QBaseEffctThread.h"
#include "lighting/QLightConfigWIdget.h"
#include "widgets/QDisplayInformation.h"

#include <QCursor>
#include <QFileInfo>
#include <QSettings>
#include <memory>

QLStyleKeybordTabWidget *QLStyleKeybordTabWidget::s_instance = nullptr;

QLStyleKeybordTabWidget::QLStyleKeybordTabWidget(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
    m_light = new QLightConfigWIdget(this);
    m_light->hide();
    m_board = new QMultifunKeyBoard(this);
    connect(this, &QLStyleKeybordTabWidget::PageChange, m_board, &QMultifunKeyBoard::on_PageChange);
}

QLStyleKeybordTabWidget::~QLStyleKeybordTabWidget()
{
    HidePopup();
    if (s_instance == this)
        s_instance = nullptr;
}

QLStyleKeybordTabWidget *QLStyleKeybordTabWidget::instance()
{
    return s_instance;
}

void QLStyleKeybordTabWidget::BuildPage(const QString &productFolder)
{
    m_product = productFolder;
    MainWidget *main = MainWidget::instance();
    if (!IsSafeFileComponent(productFolder) || !main)
        return;
    // The parse on this (GUI) thread is the one that stores the parameter positions.
    const QString dir = QStringLiteral("%1/Products/%2").arg(AppDirPath(), productFolder);
    QString name, id, images, audio, layers;
    uint16_t typePos = 17;
    uint8_t display = 0, speed = 4, luminance = 4;
    LayoutEffectTable effects;
    LayoutPositions positions;
    DiyCount = 126;
    Zr_KeyBord_Key_Info_toXml parser;
    LayoutKeyGroups groups = parser.ReadKeyBoardXml(QStringLiteral("%1/%2_KeyBoed.xml").arg(dir, productFolder), name, id,
                                                    images, audio, layers, typePos, effects, DiyCount, display,
                                                    speed, luminance, &positions);
    if (HID_API *api = HID_API::instance()) {
        api->OsModePos.store(positions.OsModePos);
        api->MacModeValue.store(positions.MacModeValue);
        api->WinModeValue.store(positions.WinModeValue);
        api->WinLockPos.store(positions.WinLockPos);
        api->SleepPos.store(positions.SleepPos);
        api->DebouncePos.store(positions.DebouncePos);
        api->ReportRatePos.store(positions.ReportRatePos);
        if (QHid_Threads_Manage *manager = api->Manager()) {
            connect(this, &QLStyleKeybordTabWidget::SetKeyboardKeys, manager, &QHid_Threads_Manage::on_KeyBoard_Keys_Chenge,
                    Qt::UniqueConnection);
            connect(manager, &QHid_Threads_Manage::mChangeResetKeyvalueRetul, m_board, &QMultifunKeyBoard::LoadLayerKeyInfo,
                    Qt::UniqueConnection);
        }
    }
    m_layerNames = layers.isEmpty() ? QStringList() : layers.split(QLatin1Char('|'));
    m_levelIndex = 0;
    m_board->on_freeButton();
    const QString picture = images.split(QLatin1Char('|')).first();
    if (IsSafeFileComponent(picture))
        m_board->SetBackgroundImage(QStringLiteral("%1/%2").arg(dir, picture));
    m_board->BuildButtons(groups.value(0), display == 1 ? 1 : 0);
    parser.Clear(groups);
    std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
    m_configName = ini ? ini->value(QStringLiteral("default/UserConfig"), QStringLiteral("Base")).toString()
                       : QStringLiteral("Base");
    m_board->LoadLayerKeyInfoFile(CurrentConfigPath());
}

void QLStyleKeybordTabWidget::ButExit_on_clicked()
{
    HidePopup();
    m_board->on_freeButton();
    m_board->ClearLayerKeyInfo();
    QBaseEffctThread::instance()->On_StopThread();
    if (MainWidget *w = MainWidget::instance())
        w->SetPageIndex();
    m_product.clear();
}

void QLStyleKeybordTabWidget::ExitPage()
{
    ButExit_on_clicked();
}

QString QLStyleKeybordTabWidget::CurrentConfigPath() const
{
    const MainWidget *main = MainWidget::instance();
    if (!main || !IsSafeFileComponent(m_configName))
        return QString();
    return QStringLiteral("%1/%2.xml").arg(main->UserConfigDir(), m_configName);
}

void QLStyleKeybordTabWidget::ShowKeyInfoPopup(const QString &title, const QString &text)
{
    if (m_popup)
        return;
    auto *popup = new QDisplayInformation(nullptr);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->resize(130, 70);
    popup->move(QCursor::pos());
    // A title that ends in "_" (the cap "-" over "_") is shown whole.
    const QString last = title.split(QLatin1Char('_')).last();
    popup->SetValues(text, last.isEmpty() ? title : last);
    m_popup = popup;
    popup->show();
}

QDisplayInformation *QLStyleKeybordTabWidget::Popup() const
{
    return m_popup;
}

void QLStyleKeybordTabWidget::HidePopup()
{
    if (!m_popup)
        return;
    m_popup->hide();
    delete m_popup.data();
    m_popup = nullptr;
}

void QLStyleKeybordTabWidget::ON_SAEVE(bool)
{
    const QString path = CurrentConfigPath();
    if (!m_board->SaveLayerKeys(path)) {
        // Nothing is sent: the device keeps what the file still says, and the keys show it.
        WriteLogLine(QStringLiteral("key assignments not saved to %1").arg(path));
        const bool backup = QFileInfo(m_board->BackupPath()).isFile();
        m_board->LoadLayerKeyInfo(false);
        if (!backup)
            m_board->ReloadFromConfig();
        return;
    }
    if (MainWidget *main = MainWidget::instance())
        main->on_Show_busy_Status(true);
    Q_EMIT SetKeyboardKeys(path, static_cast<uchar>(m_levelIndex));
}

void QLStyleKeybordTabWidget::on_RefreshLangual() {}
void QLStyleKeybordTabWidget::on_MacroFileChangge(const QString &) {}
void QLStyleKeybordTabWidget::on_MarcoQuitPage() {}

void QLStyleKeybordTabWidget::ShowLightingTabItems()
{
    // The page has no configuration lists yet: there are no macro rows to refill.
}
