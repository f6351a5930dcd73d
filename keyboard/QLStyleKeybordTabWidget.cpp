#include "keyboard/QLStyleKeybordTabWidget.h"
#include "app/CheckedSave.h"
#include "app/AppDirPath.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyBoradMApMange.h"
#include "keyboard/ConfigItemList.h"
#include "keyboard/KeyConfigChoice.h"
#include "keyboard/QKeyBoradConfigSet.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QLeftMuenTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/Zr_KeyBord_Key_Info_toXml.h"
#include "lighting/AudioMonitor.h"
#include "lighting/QBaseEffctThread.h"
#include "lighting/QLightConfigWIdget.h"
#include "widgets/AppFont.h"
#include "widgets/QLStylRadioButton.h"
#include "widgets/QLayerNavigationBar.h"
#include "widgets/QQuorixLabel.h"
#include "widgets/RectSwitchButton.h"

#include <algorithm>
#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <memory>

QLStyleKeybordTabWidget *QLStyleKeybordTabWidget::s_instance = nullptr;

namespace {
const QColor kGreyBar(178, 179, 180, 255);
const int kTabLabelPixels = 13; // the tab labels' resting font size

const char kPictures[] = ":/new/prefix1/Imges/QLStyleKeybordTabWidget/";

template <class T> T *Make(QWidget *parent, const char *name)
{
    T *w = new T(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QRadioButton *Radio(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *b = Make<QRadioButton>(parent, name);
    b->setText(text);
    return b;
}

QWidget *Row(QWidget *parent, const char *name, QQuorixLabel *&caption, const char *captionName,
             const QString &captionText, QLabel **info, const char *infoName, QPushButton *&button,
             const char *buttonName, const QString &buttonText)
{
    auto *row = Make<QWidget>(parent, name);
    row->setMinimumHeight(80);
    auto *layout = new QHBoxLayout(row);
    caption = Make<QQuorixLabel>(row, captionName);
    caption->setText(captionText);
    caption->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 200);"));
    caption->setMinimumWidth(180);
    caption->setFixedHeight(40);
    layout->addWidget(caption);
    if (info) {
        *info = Make<QLabel>(row, infoName);
        (*info)->setStyleSheet(QStringLiteral("color: rgb(130, 131, 130);"));
        layout->addWidget(*info);
    }
    layout->addStretch(1);
    button = Make<QPushButton>(row, buttonName);
    button->setText(buttonText);
    button->setMinimumSize(120, 30);
    layout->addWidget(button);
    return row;
}

// The version rows show what the keyboard and its receiver report; their state lines stay hidden
// (no update is offered here) except where the state stands for the version: a keyboard reached
// through its receiver tells its own only over the cable. No receiver known: no receiver row.
void ShowFirmwareRows(DeviceRecord *record, QLabel *fw, QLabel *fwState, QLabel *rx, QLabel *rxState, QWidget *rxRow)
{
    HID_API *api = HID_API::instance();
    if (!api || !record)
        return;
    api->ShowDeviceVersion(record, fw, fwState);
    fwState->setVisible(record->connectionState == StateWirelessAwake || record->connectionState == StateWirelessAsleep);
    rxRow->setVisible(api->ShowMouseDeviceVersion(record, rx, rxState) != 0);
}
} // namespace

QLStyleKeybordTabWidget::QLStyleKeybordTabWidget(QWidget *parent) : QWidget(parent)
{
    LeftButtonGroup = new QButtonGroup(this);
    ConfigButtonGroup = new QButtonGroup(this);
    LightButtonGroup = new QButtonGroup(this);
    m_choice = new KeyConfigChoice(this);
    setupUi();
    InitWidgets();
    connect(m_choice, &KeyConfigChoice::SendLayer, this, &QLStyleKeybordTabWidget::on_ChoiceSends);
    connect(m_choice, &KeyConfigChoice::Finished, this, &QLStyleKeybordTabWidget::on_ChoiceFinished);

    connect(ButExit, &QPushButton::clicked, this, &QLStyleKeybordTabWidget::ButExit_on_clicked);
    connect(this, &QLStyleKeybordTabWidget::KeybortCleartabs, KeyBoardWidget_Pro, &QMultifunKeyBoard::on_freeButton);
    connect(LevaCombox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &QLStyleKeybordTabWidget::on_LayerbarButtonChange);
    connect(this, &QLStyleKeybordTabWidget::_TabChangeLayerkeyWidget, KeyBoardWidget_Pro,
            &QMultifunKeyBoard::on_TabChangeLayerkeyWidget);
    connect(ButDIpsAc, &RectSwitchButton::statusChanged, LightValueSet, &QLightConfigWIdget::on_SwtchDispStatic);
    connect(LightButtonGroup, &QButtonGroup::idClicked, this,
            &QLStyleKeybordTabWidget::on_RestDispText);
    connect(LeftButtonGroup, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &QLStyleKeybordTabWidget::on_butlefit_on_buttonClicked);
    connect(this, &QLStyleKeybordTabWidget::PageChange, KeyBoardWidget_Pro, &QMultifunKeyBoard::on_PageChange);
    // The tab buttons' group is connected once for the page's life: BuildConfigButtons only
    // fills it, so reopening adds no connection.
    connect(ConfigButtonGroup, &QButtonGroup::idClicked, this,
            &QLStyleKeybordTabWidget::on_TabBarClicked);
    connect(ButResetConfing, &QPushButton::clicked, this, &QLStyleKeybordTabWidget::on_ButResetConfing_clicked);
    if (HID_API *api = HID_API::instance()) {
        if (QHid_Threads_Manage *manager = api->Manager()) {
            connect(this, &QLStyleKeybordTabWidget::SetKeyboardKeys, manager, &QHid_Threads_Manage::on_KeyBoard_Keys_Chenge);
            connect(this, &QLStyleKeybordTabWidget::ResetKeyboradConfig, manager,
                    &QHid_Threads_Manage::on_ResetKeyboradConfig);
            connect(manager, &QHid_Threads_Manage::mThreadInputKeyBoradLightChange, this,
                    &QLStyleKeybordTabWidget::on_InputKeyBoradLightChange);
            connect(manager, &QHid_Threads_Manage::mThreadInputKeyBoradLuckWinChange, this,
                    &QLStyleKeybordTabWidget::on_InputKeyBoradLuckWinChange);
            connect(manager, &QHid_Threads_Manage::mChangeResetKeyvalueRetul, this,
                    &QLStyleKeybordTabWidget::on_KeysWritten);
            connect(m_choice, &KeyConfigChoice::SendLayer, manager, &QHid_Threads_Manage::on_KeyBoard_Keys_Chenge);
        }
    }
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::LangualChange, this, &QLStyleKeybordTabWidget::on_LanguageChange);
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

void QLStyleKeybordTabWidget::setupUi()
{
    setObjectName(QStringLiteral("QLStyleKeybordTabWidget"));
    resize(1442, 790);
    auto *outer = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    TopLayerbarWidget = Make<QLayerNavigationBar>(this, "TopLayerbarWidget");
    TopLayerbarWidget->setMinimumWidth(50);
    TopLayerbarWidget->setFixedHeight(45);
    TopLabel = Make<QLabel>(this, "TopLabel");
    TopLabel->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    TopLabel->setFixedHeight(45);
    LightModelWidget = Make<QWidget>(this, "LightModelWidget");
    LightModelWidget->setMinimumWidth(100);
    auto *lightRow = new QHBoxLayout(LightModelWidget);
    ButBaseLight = Radio(LightModelWidget, "ButBaseLight", GetLangText(187));
    ButAudionLight = Radio(LightModelWidget, "ButAudionLight", GetLangText(167));
    ButTileLight = Radio(LightModelWidget, "ButTileLight", GetLangText(850));
    lightRow->addWidget(ButBaseLight);
    lightRow->addWidget(ButAudionLight);
    lightRow->addWidget(ButTileLight);
    // The page is black: the palette's dark text would leave the sub-page names unseen.
    for (QRadioButton *b : {ButBaseLight, ButAudionLight, ButTileLight}) {
        QPalette palette = b->palette();
        palette.setColor(QPalette::Active, QPalette::WindowText, Qt::white);
        palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::white);
        b->setPalette(palette);
    }
    label = Make<QLabel>(this, "label");
    LevaCombox = Make<QComboBox>(this, "LevaCombox");
    ButExit = Make<QPushButton>(this, "ButExit");
    ButExit->setFixedSize(28, 25);
    ButExit->setStyleSheet(QStringLiteral("QPushButton{border:none;border-image:url(%1ButExit_nr.png);}"
                                          "QPushButton:hover,QPushButton:pressed{border-image:url(%1ButExit_hv.png);}")
                               .arg(QLatin1String(kPictures)));
    top->addWidget(TopLayerbarWidget);
    top->addWidget(TopLabel);
    top->addWidget(LightModelWidget);
    top->addStretch(1);
    top->addWidget(label);
    top->addWidget(LevaCombox);
    top->addWidget(ButExit);
    outer->addLayout(top);

    auto *body = new QHBoxLayout;
    LiftButtons = Make<QWidget>(this, "LiftButtons");
    auto *leftColumn = new QVBoxLayout(LiftButtons);
    ButBora = Radio(LiftButtons, "ButBora");
    ButLight = Radio(LiftButtons, "ButLight");
    ButKeyFour = Radio(LiftButtons, "ButKeyFour");
    ButSysSet = Radio(LiftButtons, "ButSysSet");
    // Picture only: normal, under the pointer, and checked for the area shown.
    for (QRadioButton *b : {ButBora, ButLight, ButKeyFour, ButSysSet}) {
        b->setMinimumSize(45, 45);
        b->setStyleSheet(QStringLiteral("QRadioButton::indicator{width:40px;height:40px;image:url(%1%2_nr.png);}"
                                        "QRadioButton::indicator:hover{image:url(%1%2_hv.png);}"
                                        "QRadioButton::indicator:checked{image:url(%1%2_ck.png);}")
                             .arg(QLatin1String(kPictures), b->objectName()));
        leftColumn->addWidget(b);
    }
    leftColumn->addStretch(1);
    body->addWidget(LiftButtons);

    MainTabWidget = Make<QTabWidget>(this, "MainTabWidget");
    tab = Make<QWidget>(nullptr, "tab");
    KeyBoardSet = Make<QWidget>(nullptr, "KeyBoardSet");
    FunctionSet = Make<QWidget>(nullptr, "FunctionSet");
    SysTimeSet = Make<QWidget>(nullptr, "SysTimeSet");
    MainTabWidget->addTab(tab, QStringLiteral("键盘灯效"));
    MainTabWidget->addTab(KeyBoardSet, QStringLiteral("键盘设置"));
    MainTabWidget->addTab(FunctionSet, QStringLiteral("功能设置"));
    MainTabWidget->addTab(SysTimeSet, QStringLiteral("全局设置"));
    body->addWidget(MainTabWidget, 1);
    auto *functionLayout = new QVBoxLayout(FunctionSet);
    functionLayout->setContentsMargins(0, 0, 0, 0);
    KeyBoradConfigSet = Make<QKeyBoradConfigSet>(FunctionSet, "QKeyBoradConfigSet");
    functionLayout->addWidget(KeyBoradConfigSet);
    outer->addLayout(body, 1);

    // Tab 0: the lighting page or the configuration list beside the on-screen keyboard,
    // placed by the layout rule of the event filter.
    EffctAndKeyboardTab = Make<QStackedWidget>(tab, "EffctAndKeyboardTab");
    LightValueSet = Make<QLightConfigWIdget>(nullptr, "LightValueSet");
    KeyValueSet = Make<QWidget>(nullptr, "KeyValueSet");
    EffctAndKeyboardTab->addWidget(LightValueSet);
    EffctAndKeyboardTab->addWidget(KeyValueSet);
    // Outside any layout the stack would take its pages' preferred size, wider than the
    // lighting page's own form, and push the on-screen keyboard off the page's right edge.
    EffctAndKeyboardTab->resize(LightValueSet->size());
    auto *keyValueLayout = new QVBoxLayout(KeyValueSet);
    LeftWidget = Make<QWidget>(KeyValueSet, "LeftWidget");
    LeftWidget->setMaximumWidth(300);
    keyValueLayout->addWidget(LeftWidget);
    auto *leftLayout = new QVBoxLayout(LeftWidget);
    TopButtonWidget = Make<QWidget>(LeftWidget, "TopButtonWidget");
    auto *topButtons = new QHBoxLayout(TopButtonWidget);
    for (const char *name : {"ButConfig", "ButResetRects", "ButLock_LeftWidget"})
        topButtons->addWidget(Make<QPushButton>(TopButtonWidget, name));
    leftLayout->addWidget(TopButtonWidget);
    // Outside the hidden button row, so that the configuration in use is always in sight; light
    // on the page's black.
    ConfigenameLabel = Make<QLabel>(LeftWidget, "ConfigenameLabel");
    ConfigenameLabel->setStyleSheet(QStringLiteral("color: rgb(200, 214, 235);"));
    ConfigenameLabel->setWordWrap(true);
    leftLayout->addWidget(ConfigenameLabel);
    Tab_BarWidget = Make<QWidget>(LeftWidget, "Tab_BarWidget");
    Tab_BarWidget->setMinimumHeight(30);
    Tab_Button_Layout = new QHBoxLayout(Tab_BarWidget);
    Tab_Button_Layout->setObjectName(QStringLiteral("Tab_Button_Layout"));
    Tab_Button_Layout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(Tab_BarWidget);
    KeyBoradValueWdiget = Make<QLeftMuenTabWidget>(LeftWidget, "KeyBoradValueWdiget");
    KeyBoradValueWdiget->setMinimumWidth(295);
    leftLayout->addWidget(KeyBoradValueWdiget, 1);
    KeyBoardWidget_Pro = Make<QMultifunKeyBoard>(tab, "KeyBoardWidget_Pro");
    DispInfoLabel = Make<QLabel>(tab, "DispInfoLabel");
    DispInfoLabel->setMaximumHeight(50);
    DispInfoLabel->setAlignment(Qt::AlignCenter);
    DispInfoLabel->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    SelectDIspWidget = Make<QWidget>(tab, "SelectDIspWidget");
    auto *selectRow = new QHBoxLayout(SelectDIspWidget);
    label_7 = Make<QLabel>(SelectDIspWidget, "label_7");
    label_7->setText(GetLangText(344));
    label_7->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    ButDIpsAc = Make<RectSwitchButton>(SelectDIspWidget, "ButDIpsAc");
    ButDIpsAc->setFixedSize(50, 24);
    selectRow->addWidget(label_7);
    selectRow->addWidget(ButDIpsAc);

    // Tab 3: firmware rows and the restore row.
    auto *sys = new QVBoxLayout(SysTimeSet);
    widget = Row(SysTimeSet, "widget", FwLabel, "FwLabel", GetLangText(70) + QStringLiteral(":"), &FwInfoLabel, "FwInfoLabel",
                 FwButUpdata, "FwButUpdata", QStringLiteral("暂无更新"));
    FwButUpdata->setMaximumWidth(150);
    RX_FW_Widget = Row(SysTimeSet, "RX_FW_Widget", RxLabel, "RxLabel", GetLangText(349) + QStringLiteral(":"), &RxFwInfoLabel,
                       "RxFwInfoLabel", RxButupdata, "RxButupdata", QStringLiteral("检查软件更新"));
    widget_2 = Row(SysTimeSet, "widget_2", label_5, "label_5", GetLangText(78), nullptr, nullptr,
                   ButResetConfing, "ButResetConfing", GetLangText(68));
    sys->addWidget(widget);
    sys->addWidget(RX_FW_Widget);
    sys->addWidget(widget_2);
    sys->addStretch(1);

    LeftButtonGroup->addButton(ButBora, 0);
    LeftButtonGroup->addButton(ButLight, 1);
    LeftButtonGroup->addButton(ButKeyFour, 2);
    LeftButtonGroup->addButton(ButSysSet, 3);
    LightButtonGroup->addButton(ButBaseLight, 0);
    LightButtonGroup->addButton(ButAudionLight, 1);
    LightButtonGroup->addButton(ButTileLight, 2);
}

void QLStyleKeybordTabWidget::InitWidgets()
{
    TopLayerbarWidget->close();
    s_instance = this;
    MainTabWidget->tabBar()->hide();
    ApplyAppFont(ConfigenameLabel, 15);
    ApplyAppFont(TopLabel, 30);
    ApplyAppFont(LevaCombox, 20);
    ApplyAppFont(label_5, 18);
    for (QWidget *w : {static_cast<QWidget *>(ButResetConfing), static_cast<QWidget *>(ButBaseLight),
                       static_cast<QWidget *>(ButAudionLight), static_cast<QWidget *>(ButTileLight),
                       static_cast<QWidget *>(label_7)})
        ApplyAppFont(w, 15);
    ApplyAppFont(DispInfoLabel, 13);
    ApplyAppFont(ButDIpsAc, 13);
    for (QWidget *w : {static_cast<QWidget *>(FwLabel), static_cast<QWidget *>(FwInfoLabel),
                       static_cast<QWidget *>(FwButUpdata), static_cast<QWidget *>(RxLabel),
                       static_cast<QWidget *>(RxFwInfoLabel), static_cast<QWidget *>(RxButupdata)})
        ApplyAppFont(w, 15);
    tab->installEventFilter(this);
    EffctAndKeyboardTab->installEventFilter(this);
    KeyBoardWidget_Pro->installEventFilter(this);
    ButTileLight->setEnabled(false);
    label->hide();
    LevaCombox->hide();
    TopButtonWidget->hide();
    // No firmware updates are offered yet: the update rows show no buttons or versions.
    FwButUpdata->hide();
    RxButupdata->hide();
    FwInfoLabel->hide();
    RxFwInfoLabel->hide();
}

// ---- filling and emptying ----

void QLStyleKeybordTabWidget::BuildPage(const QString &productFolder)
{
    KeyBoardWidget_Pro->on_LampEffect_Stop();
    ExitPage();
    const quint64 fill = m_fill;
    MainWidget *main = MainWidget::instance();
    if (!IsSafeFileComponent(productFolder) || !main)
        return;
    m_product = productFolder;
    const QString dir = QStringLiteral("%1/Products/%2").arg(AppDirPath(), productFolder);
    BuildConfigButtons(dir + QStringLiteral("/ConfigItemList.xml"));
    for (QConfigList *list : qAsConst(ConfigTabPages)) {
        connect(list, &QConfigList::DragLeftMove, KeyBoardWidget_Pro, &QMultifunKeyBoard::on_MouseDrawMove);
        connect(list, &QConfigList::Drag_KeyEditPage_RePress, KeyBoardWidget_Pro, &QMultifunKeyBoard::on_MouseDrawRePress);
    }

    // The parse on this (GUI) thread is the one that stores the parameter positions.
    QString name, id, images, audio;
    uint16_t typePos = 17;
    uint8_t display = 0, speed = 4, luminance = 4, diy = 126;
    LayoutEffectTable effects;
    LayoutPositions positions;
    LayerTexts.clear();
    Zr_KeyBord_Key_Info_toXml parser;
    LayoutKeyGroups groups = parser.ReadKeyBoardXml(QStringLiteral("%1/%2_KeyBoed.xml").arg(dir, productFolder), name, id,
                                                    images, audio, LayerTexts, typePos, effects, diy, display, speed,
                                                    luminance, &positions);
    EffectTypeIndex = typePos;
    DiyCount = diy;
    LuminanceSteps = luminance;
    HID_API *api = HID_API::instance();
    if (api) {
        api->OsModePos.store(positions.OsModePos);
        api->MacModeValue.store(positions.MacModeValue);
        api->WinModeValue.store(positions.WinModeValue);
        api->WinLockPos.store(positions.WinLockPos);
        api->SleepPos.store(positions.SleepPos);
        api->DebouncePos.store(positions.DebouncePos);
        api->ReportRatePos.store(positions.ReportRatePos);
    }
    LightValueSet->BuildEffectList(effects, audio, EffectTypeIndex, speed, LuminanceSteps);
    LightValueSet->SetStripTabEnabled(false);

    const QString picture = images.split(QLatin1Char('|')).first();
    if (IsSafeFileComponent(picture))
        KeyBoardWidget_Pro->SetBackgroundImage(QStringLiteral("%1/%2").arg(dir, picture));
    KeyBoardWidget_Pro->BuildButtons(groups.value(0), display == 1 ? 1 : 0);
    parser.Clear(groups);
    m_worker = api && api->Manager() ? api->Manager()->CurrentWorker() : nullptr;
    if (m_worker)
        m_workerConnections.append(connect(m_worker.data(), &QHid_Work_Interface::updataKeyboraddui, KeyBoardWidget_Pro,
                                           QOverload<uchar *>::of(&QMultifunKeyBoard::on_DispLagEffect)));

    const QStringList layers = LayerNames();
    KeyBoardWidget_Pro->InitLayers(static_cast<uchar>(layers.size()));
    {
        const QSignalBlocker block(LevaCombox);
        LevaCombox->clear();
        LevaCombox->addItems(layers);
        LevaCombox->setCurrentIndex(0);
    }
    label->hide();
    LevaCombox->hide();

    const std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
    SetConfigName(ini ? ini->value(QStringLiteral("default/UserConfig")).toString() : QString());
    const QString config = CurrentConfigPath();
    if (config.isEmpty())
        WriteLogLine(QStringLiteral("no usable user configuration for %1").arg(productFolder));
    else
        KeyBoardWidget_Pro->LoadLayerKeyInfoFile(config);
    on_RefreshLangual();

    DelayMs(100);
    // The keyboard may have gone (and the page been left) while events ran.
    if (Stale(fill))
        return;
    DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    ButBaseLight->setChecked(true);
    if (device && device->keyboardStore) {
        const int16_t effect = device->keyboardStore->KeyAtFlagPosition();
        on_butlefit_on_buttonClicked(ButBora);
        LightValueSet->SelectEffect(effect);
    }
    ButAudionLight->setEnabled(true);
    MainTabWidget->setCurrentIndex(0);
    EffctAndKeyboardTab->setCurrentIndex(1);
    ButBora->setChecked(true);
    SelectDIspWidget->hide();
    LightValueSet->on_SwtchDispStatic(false);
    ButDIpsAc->setChecked(false);
    DispInfoLabel->setText(GetLangText(386));
    LightValueSet->SetCurrentTab(0);
    if (m_worker)
        if (AudioMonitor *audio = AudioMonitor::instance())
            m_workerConnections.append(connect(m_worker.data(), &QHid_Work_Interface::updataaudioneffct, audio,
                                               &AudioMonitor::on_updataaudioneffct));
}

void QLStyleKeybordTabWidget::ExitPage()
{
    Leave(false);
}

void QLStyleKeybordTabWidget::ButExit_on_clicked()
{
    // Leaving frees what a wait may hold: inside one the leave follows it, asked once however
    // often it was (a double click, a device removal), and only of the page it was asked of.
    if (NestedWait::Held(this, [this, fill = m_fill] { if (!Stale(fill)) Leave(true); }, &m_leaveHeld))
        return;
    // A choice on its way is a wait: the leave above follows its end, so the keyboard holds one
    // whole configuration, the new or the one before, when the page goes.
    Leave(true);
}

void QLStyleKeybordTabWidget::Leave(bool toDeviceList)
{
    ++m_fill;
    // A key deleted below never gets its leave event: its pop-up goes now.
    HidePopup();
    QBaseEffctThread::instance()->On_StopThread();
    if (AudioMonitor *audio = AudioMonitor::instance())
        audio->on_StopGrabEffct();
    if (toDeviceList)
        if (MainWidget *w = MainWidget::instance())
            w->SetPageIndex();
    KeyBoardWidget_Pro->ClearLayerKeyInfo();
    QList<QWidget *> pages;
    for (int i = 0; i < KeyBoradValueWdiget->count(); ++i)
        pages.append(KeyBoradValueWdiget->widget(i));
    KeyBoradValueWdiget->clear();
    for (QWidget *page : qAsConst(pages)) {
        page->close();
        delete page;
    }
    while (QLayoutItem *item = Tab_Button_Layout->takeAt(0))
        delete item;
    for (QRadioButton *button : Tab_BarWidget->findChildren<QRadioButton *>()) {
        ConfigButtonGroup->removeButton(button);
        button->hide();
        button->close();
        delete button;
    }
    ConfigTabPages.clear();
    for (const QMetaObject::Connection &c : qAsConst(m_workerConnections))
        disconnect(c);
    m_workerConnections.clear();
    m_worker = nullptr;
    if (m_choice->Running())
        if (MainWidget *main = MainWidget::instance())
            main->HoldBusy(false);
    m_choice->Abandon();
    Q_EMIT KeybortCleartabs();
    KeyBoardWidget_Pro->on_ClearDisp();
    m_product.clear();
}

// ---- configuration tabs ----

void QLStyleKeybordTabWidget::BuildConfigButtons(const QString &file)
{
    QVector<QString> keys;
    ConfigItemList::ItemMap items = ConfigItemList::Load(file, keys);
    // Tabs come in the order of the keys; a file whose keys and tabs disagree shows none.
    if (keys.size() == items.size()) {
        MainWidget *main = MainWidget::instance();
        for (int n = 0; n < keys.size(); ++n) {
            const QStringList title = keys.at(n).split(QLatin1Char('|'));
            int textId = -1, captionId = -1;
            const QString text = QConfigList::ResolveText(title.value(0), &textId);
            const QString caption = QConfigList::ResolveText(title.value(1), &captionId);
            QConfigList *list = KeyBoradValueWdiget->AddListTab(text, caption, static_cast<quint16>(std::max(captionId, 0)),
                                                                this, items.value(keys.at(n)));
            list->DropMode = 2;
            ConfigTabPages.append(list);
            auto *button = new QLStylRadioButton(Tab_BarWidget);
            button->setObjectName(QStringLiteral("Button_%1").arg(n));
            if (textId > 0)
                button->SetTextId(static_cast<quint16>(textId)); // follows the language
            else
                button->setText(text);
            button->setMaximumWidth(50);
            button->setMinimumHeight(25);
            ApplyAppFont(button, kTabLabelPixels);
            Tab_Button_Layout->addWidget(button, 1);
            ConfigButtonGroup->addButton(button, n);
            if (!main)
                continue;
            QHash<uint, QString> &names = main->CommandTextTable();
            for (const ConfigItem *item : items.value(keys.at(n))) {
                if (item->kind != 1)
                    continue;
                bool ok = false;
                const uint code = item->code.toUInt(&ok, 16);
                const QString shown = item->centre.isEmpty() ? item->left : item->centre;
                if (ok && !names.contains(code))
                    names.insert(code, QConfigList::ResolveText(shown));
            }
        }
    }
    ConfigItemList::Free(items);
}

void QLStyleKeybordTabWidget::on_TabBarClicked(int buttonid)
{
    KeyBoradValueWdiget->setCurrentIndex(buttonid);
    if (buttonid == 2)
        RefreshMacroTab();
}

void QLStyleKeybordTabWidget::RefreshMacroTab()
{
    const MainWidget *main = MainWidget::instance();
    if (ConfigTabPages.size() > 2 && main)
        ConfigTabPages.at(2)->LoadMacroItems(main->ProductDir());
}

// ---- left buttons and lighting sub-pages ----

void QLStyleKeybordTabWidget::on_butlefit_on_buttonClicked(QAbstractButton *but)
{
    int page = -1;
    if (but == ButBora) {
        if (MainTabWidget->currentIndex() != 0)
            MainTabWidget->setCurrentIndex(0);
        EffctAndKeyboardTab->setCurrentIndex(1);
        TopLabel->setText(GetLangText(190));
        SelectDIspWidget->hide();
        page = 0;
    } else if (but == ButLight) {
        if (MainTabWidget->currentIndex() != 0)
            MainTabWidget->setCurrentIndex(0);
        EffctAndKeyboardTab->setCurrentIndex(0);
        TopLabel->setText(JoinLangTexts(GetLangText(187), GetLangText(161)));
        // The info line is cleared before the sub-page's own steps, so the speaker message stays.
        DispInfoLabel->clear();
        if (ButBaseLight->isChecked()) {
            SelectDIspWidget->show();
            page = 1;
        } else if (ButAudionLight->isChecked()) {
            SelectDIspWidget->hide();
            CheckSpeaker();
            page = 2;
        } else {
            SelectDIspWidget->hide();
            page = 3;
        }
    } else if (but == ButKeyFour) {
        MainTabWidget->setCurrentIndex(2);
        TopLabel->setText(GetLangText(333));
        TurnOffDisplaySwitch();
        page = 4;
    } else if (but == ButSysSet) {
        MainTabWidget->setCurrentIndex(3);
        TopLabel->setText(GetLangText(205));
        TurnOffDisplaySwitch();
        DeviceRecord *record = m_worker ? (m_worker->m_Device ? m_worker->m_Device : m_worker->m_CommandDevice) : nullptr;
        ShowFirmwareRows(record, FwLabel, FwInfoLabel, RxLabel, RxFwInfoLabel, RX_FW_Widget);
        if (!record) {
            widget->hide();
        } else if (record->connectionState == StateWirelessAwake || record->connectionState == StateWirelessAsleep) {
            LiftButtons->setEnabled(true);
            label->hide();
            LevaCombox->hide();
            LightModelWidget->hide();
            return;
        }
        page = 5;
    } else {
        return;
    }
    if (but == ButLight) {
        LightModelWidget->show();
        if (ButAudionLight->isChecked())
            TurnOffDisplaySwitch();
    } else {
        TurnOffDisplaySwitch();
        LightModelWidget->hide();
    }
    label->setVisible(but == ButBora);
    LevaCombox->setVisible(but == ButBora);
    if (but == ButBora)
        DispInfoLabel->setText(GetLangText(386));
    Q_EMIT PageChange(static_cast<uchar>(page));
}

void QLStyleKeybordTabWidget::on_RestDispText(int id)
{
    if (LeftButtonGroup->checkedButton() != ButLight)
        return;
    if (id == 0) {
        ButDIpsAc->setChecked(false);
        Q_EMIT PageChange(1);
        LightSubPage = 1;
        SelectDIspWidget->show();
        DispInfoLabel->clear();
    } else if (id == 1) {
        const quint64 fill = m_fill;
        Q_EMIT PageChange(2); // waits: no audio effect is chosen for a page left meanwhile
        if (Stale(fill))
            return;
        LightSubPage = 2;
        CheckSpeaker();
        SelectDIspWidget->hide();
    } else if (id == 2) {
        Q_EMIT PageChange(3);
        LightSubPage = 3;
    }
    LightValueSet->on_LightConfigWIdget_ReChanged(id);
}

void QLStyleKeybordTabWidget::TurnOffDisplaySwitch()
{
    if (ButDIpsAc->isChecked())
        ButDIpsAc->setChecked(false);
    if (LightValueSet->IsPreviewRunning())
        Q_EMIT ButDIpsAc->statusChanged(false);
}

void QLStyleKeybordTabWidget::CheckSpeaker()
{
    const AudioMonitor *audio = AudioMonitor::instance();
    if (audio && audio->Initialised) {
        LightValueSet->ShowMask(true);
        DispInfoLabel->clear();
    } else {
        LightValueSet->ShowMask(false);
        DispInfoLabel->setText(GetLangText(851));
    }
    DispInfoLabel->show();
}

// ---- saving, restoring, macros ----

QString QLStyleKeybordTabWidget::CurrentConfigPath() const
{
    const MainWidget *main = MainWidget::instance();
    if (!main || m_configName.isEmpty() || !IsSafeFileComponent(m_configName))
        return QString();
    return QStringLiteral("%1/%2.xml").arg(main->UserConfigDir(), m_configName);
}

void QLStyleKeybordTabWidget::SetConfigName(const QString &name)
{
    m_configName = name;
    ConfigenameLabel->setText(name.isEmpty() ? QString() : GetLangText(776).arg(name));
}

void QLStyleKeybordTabWidget::ON_SAEVE(bool)
{
    const QString path = CurrentConfigPath();
    if (m_choice->Running()) {
        // The keyboard is taking another configuration: this change is not kept.
        WriteLogLine(QStringLiteral("key assignments not saved while a configuration is chosen"));
        QFile::remove(KeyBoardWidget_Pro->BackupPath());
        KeyBoardWidget_Pro->ReloadFromConfig();
        if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(kGreyBar, GetLangText(777), true);
        return;
    }
    if (path.isEmpty() || !KeyBoardWidget_Pro->SaveLayerKeys(path)) {
        // Nothing is sent: the device keeps what the file still says, and the keys show it.
        WriteLogLine(QStringLiteral("key assignments not saved to %1").arg(path));
        const bool backup = QFileInfo(KeyBoardWidget_Pro->BackupPath()).isFile();
        KeyBoardWidget_Pro->LoadLayerKeyInfo(false);
        if (!backup)
            KeyBoardWidget_Pro->ReloadFromConfig();
        if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(kGreyBar, CheckedSave::WithCause(GetLangText(388)), true);
        return;
    }
    if (MainWidget *main = MainWidget::instance())
        main->on_Show_busy_Status(true);
    Q_EMIT SetKeyboardKeys(path, static_cast<uchar>(LevelComboIndex()));
}

void QLStyleKeybordTabWidget::on_ConfigDirs_Itemclicked(QString itemtext)
{
    MainWidget *main = MainWidget::instance();
    // A keyboard that went (or a page that is not filled) keeps its files as they are; a choice
    // on its way is not crossed by another.
    if (!main || m_product.isEmpty() || HID_API::PageDeviceGoing() || m_choice->Running())
        return;
    KeyConfigChoice::Setup setup;
    setup.userConfigDir = main->UserConfigDir();
    setup.macroDir = main->ModifyConfigDir();
    setup.dataIni = QStringLiteral("%1/Products/%2/%2_data.ini").arg(AppDirPath(), m_product);
    setup.layerNames = LevelComboItems();
    setup.product = main->CurrentProductName();
    QString refusal;
    if (m_choice->Start(setup, itemtext, &refusal))
        main->HoldBusy(true); // the mask stays up between the layers, until the choice ends
    else if (!refusal.isEmpty())
        main->ShowMessage(kGreyBar, refusal, true);
}

void QLStyleKeybordTabWidget::on_ChoiceSends()
{
    if (MainWidget *main = MainWidget::instance())
        main->on_Show_busy_Status(true);
}

void QLStyleKeybordTabWidget::on_ChoiceFinished(bool chosen, QString name, QString text)
{
    // The page shows what the keyboard holds: the new configuration, or still the one before.
    // Loading it frees the keys' records, which a wait may hold: then it follows the wait.
    const auto show = [this, fill = m_fill, name] {
        if (Stale(fill))
            return;
        SetConfigName(name);
        KeyBoardWidget_Pro->LoadLayerKeyInfoFile(CurrentConfigPath());
        KeyBoardWidget_Pro->on_TabChangeLayerkeyWidget(static_cast<uchar>(LevelComboIndex()));
    };
    if (MainWidget *main = MainWidget::instance())
        main->HoldBusy(false);
    if (chosen && !NestedWait::Held(this, show))
        show();
    if (!text.isEmpty())
        if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(kGreyBar, text, true);
}

void QLStyleKeybordTabWidget::on_KeysWritten(bool succeeded)
{
    // The answer belongs to the choice on its way, else to the page's own save.
    if (m_choice->Running())
        m_choice->on_LayerWritten(succeeded);
    else
        KeyBoardWidget_Pro->LoadLayerKeyInfo(succeeded);
}

void QLStyleKeybordTabWidget::on_ButResetConfing_clicked()
{
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    const quint64 fill = m_fill;
    const QPointer<QLStyleKeybordTabWidget> self(this);
    if (main->ShowMessage(kGreyBar, GetLangText(357), false) != 1 || !self || Stale(fill))
        return;
    if (!AudioMonitor::instance())
        WriteLogLine(QStringLiteral(" 1305 NULL== GETAUDIOMONITORFACE "));
    const QString path = CurrentConfigPath();
    if (path.isEmpty() || m_choice->Running()) {
        main->ShowMessage(kGreyBar, GetLangText(path.isEmpty() ? 388 : 777), true);
        return;
    }
    // Every layer is written empty: the device's restore writes each layer from this file, and a
    // layer missing from it would keep its old keys there.
    KeyBoardWidget_Pro->ClearAllLayers();
    if (!KeyBoardWidget_Pro->SaveLayerKeys(path)) {
        // Nothing is sent and nothing else changes: the keys show the file as it stayed.
        WriteLogLine(QStringLiteral("key assignments not restored in %1").arg(path));
        KeyBoardWidget_Pro->ReloadFromConfig();
        main->ShowMessage(kGreyBar, CheckedSave::WithCause(GetLangText(388)), true);
        return;
    }
    if (const std::unique_ptr<QSettings> ini(main->OpenProductDataIni()); ini)
        ini->setValue(QStringLiteral("user/KeybordAudioSleep"), 2);
    ButResetConfing->setEnabled(false);
    Q_EMIT ResetKeyboradConfig(path);
    ButResetConfing->setEnabled(true);
    ButExit_on_clicked();
}

void QLStyleKeybordTabWidget::on_MacroFileChangge(const QString &file)
{
    const quint64 fill = m_fill;
    for (int layer = 0; layer < KeyBoardWidget_Pro->LayerCount(); ++layer) {
        const KeyLayerTable *table = KeyBoardWidget_Pro->LayerKeyInfo(static_cast<uchar>(layer));
        if (!table)
            continue;
        for (const _KeyValueInfo *info : *table) {
            if (info->type != 3 || info->LeftValue != file)
                continue;
            MainWidget *main = MainWidget::instance();
            const QPointer<QLStyleKeybordTabWidget> self(this);
            if (main && main->ShowMessage(kGreyBar, GetLangText(117), false) == 1 && self && !Stale(fill))
                ON_SAEVE(true);
            return;
        }
    }
}

void QLStyleKeybordTabWidget::on_MarcoQuitPage() {}

// ---- small slots ----

void QLStyleKeybordTabWidget::on_LayerbarButtonChange(int id)
{
    Q_EMIT _TabChangeLayerkeyWidget(static_cast<uchar>(id));
}

void QLStyleKeybordTabWidget::on_DispNotEffct(bool op)
{
    DispInfoLabel->setText(op ? GetLangText(291) : QString());
}

void QLStyleKeybordTabWidget::on_InputKeyBoradLightChange()
{
    if (!isHidden() && !LightValueSet->isHidden())
        LightValueSet->RefreshFromConfig();
}

void QLStyleKeybordTabWidget::on_InputKeyBoradLuckWinChange()
{
    if (!isHidden())
        KeyBoradConfigSet->RefreshPage();
}

void QLStyleKeybordTabWidget::on_TaskRunBegin()
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowMaskGray(false, true);
}

void QLStyleKeybordTabWidget::on_LanguageChange()
{
    ButBaseLight->setText(GetLangText(187));
    ButAudionLight->setText(GetLangText(167));
    ButTileLight->setText(GetLangText(850));
    label_7->setText(GetLangText(344));
    label_5->setText(GetLangText(78));
    ButResetConfing->setText(GetLangText(68));
    SetConfigName(m_configName);
    FwLabel->setText(GetLangText(70) + QStringLiteral(":"));
    RxLabel->setText(GetLangText(349) + QStringLiteral(":"));
    if (m_worker)
        ShowFirmwareRows(m_worker->m_Device ? m_worker->m_Device : m_worker->m_CommandDevice, FwLabel, FwInfoLabel,
                         RxLabel, RxFwInfoLabel, RX_FW_Widget);
}

QStringList QLStyleKeybordTabWidget::LayerNames() const
{
    QStringList names;
    if (LayerTexts.isEmpty())
        return names;
    for (const QString &item : LayerTexts.split(QLatin1Char('|'))) {
        if (item.contains(QLatin1String("@_")))
            names.append(GetLangText(QString(item).remove(QStringLiteral("@_")).toUInt()) + GetLangText(307));
        else
            names.append(item + GetLangText(307));
    }
    return names;
}

void QLStyleKeybordTabWidget::on_RefreshLangual()
{
    const QSignalBlocker block(LevaCombox);
    const int index = LevaCombox->currentIndex();
    LevaCombox->clear();
    LevaCombox->addItems(LayerNames());
    // The layer shown stays the layer chosen.
    LevaCombox->setCurrentIndex(index);
}

int QLStyleKeybordTabWidget::LevelComboIndex() const
{
    return LevaCombox->currentIndex();
}

void QLStyleKeybordTabWidget::SetLevelComboIndex(int index)
{
    LevaCombox->setCurrentIndex(index);
}

QStringList QLStyleKeybordTabWidget::LevelComboItems() const
{
    QStringList items;
    for (int i = 0; i < LevaCombox->count(); ++i)
        items.append(LevaCombox->itemText(i));
    return items;
}

bool QLStyleKeybordTabWidget::IsDisplayOn() const
{
    return ButDIpsAc->isChecked();
}

void QLStyleKeybordTabWidget::SetDisplayOn(bool on)
{
    ButDIpsAc->setChecked(on);
}

// ---- layout and pop-up ----

bool QLStyleKeybordTabWidget::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == tab && event->type() == QEvent::Show) ||
        ((watched == KeyBoardWidget_Pro || watched == EffctAndKeyboardTab) && event->type() == QEvent::Resize))
        PlaceWidgets();
    return QWidget::eventFilter(watched, event);
}

void QLStyleKeybordTabWidget::PlaceWidgets()
{
    EffctAndKeyboardTab->move(10, 5);
    const int wTab = MainTabWidget->width(), wKb = KeyBoardWidget_Pro->width(), wStack = EffctAndKeyboardTab->width();
    const int x = (wTab - wKb - wStack - 10) / 2 + wStack + 10;
    KeyBoardWidget_Pro->move(x, 180);
    // Outside any layout the line keeps the size of its first, empty text: it spans the keyboard
    // so that every message fits and stays centred under it.
    DispInfoLabel->resize(wKb, std::min(DispInfoLabel->maximumHeight(), DispInfoLabel->fontMetrics().height() + 4));
    DispInfoLabel->move(x + (wKb - DispInfoLabel->width()) / 2, 180 + KeyBoardWidget_Pro->height() + 20);
    SelectDIspWidget->move(DispInfoLabel->x() + (DispInfoLabel->width() - SelectDIspWidget->width()) / 2,
                           DispInfoLabel->y() + DispInfoLabel->height() + 20);
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

void QLStyleKeybordTabWidget::ShowLightingTabItems()
{
    // A macro saved or renamed in the editor shows up in the macro rows at once.
    RefreshMacroTab();
}
