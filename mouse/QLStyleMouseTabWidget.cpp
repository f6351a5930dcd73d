#include "mouse/QLStyleMouseTabWidget.h"
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/DpiConfigRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/QDpiConfigMange.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "mouse/MouseParamWriter.h"
#include "mouse/DpiPresetFile.h"
#include "app/IniOpeners.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QQuorixStyDpiPage.h"
#include "device/ZR_DLL_MouseThread.h"
#include "device/OutsideMouseDevice.h"
#include "mouse/QLineInfo.h"
#include "app/LogWriter.h"
#include "device/QHid_Work_Interface.h"
#include "device/ZR_2_0_MouseThread.h"
#include "firmware/DownTask.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/QUpdataDlg.h"
#include "firmware/Q_ZR_UpdataObjectManage.h"
#include "widgets/AppFont.h"
#include "widgets/QACombxBox.h"
#include "widgets/QACombxBoxView.h"
#include "widgets/QDispRedCircle.h"
#include "widgets/QQuorixLabel.h"
#include "widgets/QSliderAlterMax.h"

#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

QLStyleMouseTabWidget *QLStyleMouseTabWidget::s_instance = nullptr;

namespace {
const QColor kGreyBar(178, 179, 180);
const char kImages[] = ":/new/prefix1/Imges/";

// A 16-bit setting the device reports as a signed value; negative (0xFFFF) means unreported.
bool Reported(uint16_t value)
{
    return static_cast<int16_t>(value) >= 0;
}

// A switch is shown only when its value is one of the drop-down's items (off 0, on 1).
bool SwitchReported(uint16_t value)
{
    return value <= 1;
}

QLabel *Description(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}

// "rr,gg,bb[,...]|..." in hexadecimal; an item with fewer than three parts is no colour.
QVector<QColor> StageColours(const QString &text)
{
    QVector<QColor> colours;
    for (const QString &item : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(','));
        if (parts.size() < 3)
            continue;
        bool ok[3] = {false, false, false};
        const int r = parts.at(0).trimmed().toInt(&ok[0], 16);
        const int g = parts.at(1).trimmed().toInt(&ok[1], 16);
        const int b = parts.at(2).trimmed().toInt(&ok[2], 16);
        if (ok[0] && ok[1] && ok[2] && r <= 255 && g <= 255 && b <= 255 && r >= 0 && g >= 0 && b >= 0)
            colours.append(QColor(r, g, b, 255));
    }
    return colours;
}

DeviceRecord *CurrentDevice()
{
    HID_API *api = HID_API::instance();
    return api ? api->CurrentDevice() : nullptr;
}

bool IsOutsideDriven(const DeviceRecord *device)
{
    return device && (device->kind == KindOutsideWired || device->kind == KindOutsideReceiver);
}
} // namespace

QLStyleMouseTabWidget::QLStyleMouseTabWidget(QWidget *parent) : QWidget(parent)
{
    setupUi();
    on_RefreshLangual();
    InitWidgets();
    s_instance = this;
    ConnectSignals();
    UpdateMarker = new QDispRedCircle(Butset);
    UpdateMarker->hide();
}

QLStyleMouseTabWidget::~QLStyleMouseTabWidget()
{
    if (!m_firmwareTasks.isEmpty())
        QDownTaskManage::Instance()->ReleaseWhenEnded(m_firmwareTasks);
    if (s_instance == this)
        s_instance = nullptr;
}

QLStyleMouseTabWidget *QLStyleMouseTabWidget::instance()
{
    return s_instance;
}

// ---- the form ----

void QLStyleMouseTabWidget::setupUi()
{
    setObjectName(QStringLiteral("QLStyleMouseTabWidget"));
    resize(1157, 959);
    auto *outer = new QVBoxLayout(this);

    auto *header = new QHBoxLayout;
    ButExit = new QPushButton(this);
    ButExit->setObjectName(QStringLiteral("ButExit"));
    ButExit->setMinimumSize(25, 28);
    ButExit->setMaximumSize(30, 30);
    ButExit->setStyleSheet(QStringLiteral("QPushButton{border-image:url(%1HID_API/exit_nv.png);}"
                                          "QPushButton:hover,QPushButton:pressed{border-image:url(%1HID_API/exit_hv.png);}")
                               .arg(QLatin1String(kImages)));
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setStyleSheet(QStringLiteral("color:#ffffff;"));
    ProductLabel = new QLabel(this);
    ProductLabel->setObjectName(QStringLiteral("ProductLabel"));
    ProductLabel->setStyleSheet(QStringLiteral("color:#898989;"));
    header->addWidget(ButExit);
    header->addWidget(label);
    header->addStretch(1);
    header->addWidget(ProductLabel);
    outer->addLayout(header);

    auto *body = new QHBoxLayout;
    auto *LiftButtons = new QWidget(this);
    LiftButtons->setObjectName(QStringLiteral("LiftButtons"));
    auto *column = new QVBoxLayout(LiftButtons);
    m_buttons = new QButtonGroup(this);
    m_buttons->setExclusive(true);
    const struct { QRadioButton **button; const char *name; const char *picture; } left[] = {
        {&ButKeySet, "ButKeySet", "KeyBoard/KeyBoradFunctionPage.png"},
        {&ButDpi, "ButDpi", "Mouse/DpiSetPage.png"},
        {&ButConfigPar, "ButConfigPar", "Mouse/MouseValuePage.png"},
        {&Butset, "Butset", "Mouse/SystimePage.png"},
    };
    for (int id = 0; id < 4; ++id) {
        auto *b = new QRadioButton(LiftButtons);
        b->setObjectName(QLatin1String(left[id].name));
        b->setStyleSheet(QStringLiteral("QRadioButton::indicator{image:url(%1QUORIX_IMGS/%2);}"
                                        "QRadioButton:checked,QRadioButton:hover,QRadioButton:pressed"
                                        "{background:#305284;border-radius:8px;}")
                             .arg(QLatin1String(kImages), QLatin1String(left[id].picture)));
        m_buttons->addButton(b, id);
        column->addWidget(b);
        *left[id].button = b;
    }
    column->addStretch(1);
    body->addWidget(LiftButtons);

    auto *CentWidget = new QWidget(this);
    CentWidget->setObjectName(QStringLiteral("CentWidget"));
    auto *centre = new QVBoxLayout(CentWidget);
    MaIntabwidget = new QTabWidget(CentWidget);
    MaIntabwidget->setObjectName(QStringLiteral("MaIntabwidget"));
    MaIntabwidget->setStyleSheet(QStringLiteral("QTabWidget::pane{border:none;background:transparent;}"));
    m_LStyleBoraWidget = new QLStyleBoraWidget(MaIntabwidget);
    MaIntabwidget->addTab(m_LStyleBoraWidget, QString());
    m_DPIWidget = new QQuorixStyDpiPage(MaIntabwidget);
    MaIntabwidget->addTab(m_DPIWidget, QString());
    tab = BuildSettingsPage();
    MaIntabwidget->addTab(tab, QString());
    tab_2 = BuildResetPage();
    MaIntabwidget->addTab(tab_2, QString());
    centre->addWidget(MaIntabwidget);
    body->addWidget(CentWidget, 1);
    outer->addLayout(body, 1);
    MaIntabwidget->setCurrentIndex(0);
}

QWidget *QLStyleMouseTabWidget::BuildSettingsPage()
{
    auto *page = new QWidget(MaIntabwidget);
    page->setObjectName(QStringLiteral("tab"));
    page->setStyleSheet(QStringLiteral("QLabel{color:#898989;}"));
    auto *grid = new QGridLayout(page);
    const QString comboStyle = QStringLiteral("QPushButton{background:#262626;color:#a6a6a6;border-radius:8px;}");
    int row = 0;
    auto addRow = [&](uint textId, const QString &title, QWidget *control, QLabel *value, QLabel *description) {
        auto *t = new QQuorixLabel(page);
        t->setProperty("textId", textId); // read again on a language change
        t->setText(textId ? GetLangText(textId) : title);
        grid->addWidget(t, row, 0);
        grid->addWidget(control, row, 1);
        if (value)
            grid->addWidget(value, row, 2);
        grid->addWidget(description, row + 1, 1, 1, 2);
        row += 2;
    };
    auto combo = [&](const char *name) {
        auto *c = new QACombxBox(page);
        c->setObjectName(QLatin1String(name));
        c->setMinimumSize(120, 35);
        c->setStyleSheet(comboStyle);
        return c;
    };
    auto slider = [&](const char *name) {
        auto *s = new QSliderAlterMax(page);
        s->setObjectName(QLatin1String(name));
        s->setMinimumWidth(300);
        return s;
    };
    SleepSlider = slider("SleepSlider");
    label_26 = Description(page, "label_26");
    label_2 = Description(page, "label_2");
    addRow(862, QString(), SleepSlider, label_26, label_2);
    LodCombox = combo("LodCombox");
    label_25 = Description(page, "label_25");
    addRow(863, QString(), LodCombox, nullptr, label_25);
    MotionCombox = combo("MotionCombox");
    label_4 = Description(page, "label_4");
    addRow(0, QStringLiteral("Motion Sync"), MotionCombox, nullptr, label_4);
    modifiedCombox = combo("modifiedCombox");
    label_16 = Description(page, "label_16");
    addRow(864, QString(), modifiedCombox, nullptr, label_16);
    ShakeSlider = slider("ShakeSlider");
    label_27 = Description(page, "label_27");
    label_19 = Description(page, "label_19");
    addRow(865, QString(), ShakeSlider, label_27, label_19);
    RippleCombox = combo("RippleCombox");
    label_22 = Description(page, "label_22");
    addRow(866, QString(), RippleCombox, nullptr, label_22);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget *QLStyleMouseTabWidget::BuildResetPage()
{
    auto *page = new QWidget(MaIntabwidget);
    page->setObjectName(QStringLiteral("tab_2"));
    page->setStyleSheet(QStringLiteral("QLabel{color:#d6d6d6;}"));
    auto *grid = new QGridLayout(page);
    auto makeLabel = [page](const char *name) {
        auto *l = new QLabel(page);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    FwLabel = makeLabel("FwLabel");
    FwInfoLabel = makeLabel("FwInfoLabel");
    FwButUpdata = new QPushButton(page);
    FwButUpdata->setObjectName(QStringLiteral("FwButUpdata"));
    grid->addWidget(FwLabel, 0, 0);
    grid->addWidget(FwInfoLabel, 0, 1);
    grid->addWidget(FwButUpdata, 0, 2);
    RX_FW_Widget = new QWidget(page);
    RX_FW_Widget->setObjectName(QStringLiteral("RX_FW_Widget"));
    auto *rx = new QHBoxLayout(RX_FW_Widget);
    rx->setContentsMargins(0, 0, 0, 0);
    RxLabel = new QLabel(RX_FW_Widget);
    RxLabel->setObjectName(QStringLiteral("RxLabel"));
    RxInfoLabel = new QLabel(RX_FW_Widget);
    RxInfoLabel->setObjectName(QStringLiteral("RxInfoLabel"));
    RxButupdata = new QPushButton(RX_FW_Widget);
    RxButupdata->setObjectName(QStringLiteral("RxButupdata"));
    rx->addWidget(RxLabel);
    rx->addWidget(RxInfoLabel);
    rx->addWidget(RxButupdata);
    grid->addWidget(RX_FW_Widget, 1, 0, 1, 3);
    label_33 = makeLabel("label_33");
    label_33->setText(GetLangText(68));
    label_34 = makeLabel("label_34");
    ButResetConfig = new QPushButton(page);
    ButResetConfig->setObjectName(QStringLiteral("ButResetConfig"));
    ButResetConfig->setText(GetLangText(68));
    grid->addWidget(label_33, 2, 0);
    grid->addWidget(label_34, 2, 1);
    grid->addWidget(ButResetConfig, 2, 2);
    grid->setRowStretch(3, 1);
    return page;
}

void QLStyleMouseTabWidget::InitWidgets()
{
    ApplyAppFont(label, 30);
    connect(this, &QLStyleMouseTabWidget::Cleartabs, m_LStyleBoraWidget, &QLStyleBoraWidget::on_ClearItems);
    MaIntabwidget->tabBar()->hide();
    ResetControls();
}

void QLStyleMouseTabWidget::ConnectSignals()
{
    connect(ButExit, &QPushButton::clicked, this, &QLStyleMouseTabWidget::ButExit_on_clicked);
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QLStyleMouseTabWidget::on_RefreshLangual);
    connect(m_buttons, &QButtonGroup::idClicked, this,
            &QLStyleMouseTabWidget::butlefit_on_buttonClicked);
    connect(ButResetConfig, &QPushButton::clicked, this, &QLStyleMouseTabWidget::on_ButResetConfigClicked);
    for (QACombxBox *box : {LodCombox, RippleCombox, MotionCombox, modifiedCombox})
        connect(box, &QACombxBox::currentIndexChanged, this, &QLStyleMouseTabWidget::on_currentIndexChanged);
    connect(SleepSlider, &QSliderAlterMax::valueChanged, this, &QLStyleMouseTabWidget::on_SleepSlider_valueChanged);
    connect(SleepSlider, QOverload<uint>::of(&QSliderAlterMax::sliderReleased), this,
            &QLStyleMouseTabWidget::on_SleepSlider_sliderReleased);
    connect(ShakeSlider, &QSliderAlterMax::valueChanged, this, &QLStyleMouseTabWidget::on_ShakeSlider_valueChanged);
    connect(ShakeSlider, QOverload<uint>::of(&QSliderAlterMax::sliderReleased), this,
            &QLStyleMouseTabWidget::on_ShakeSlider_sliderReleased);
    connect(MaIntabwidget, &QTabWidget::currentChanged, this, &QLStyleMouseTabWidget::on_MaIntabwidget_currentChanged);
    connect(this, &QLStyleMouseTabWidget::Cleartabs, this, &QLStyleMouseTabWidget::on_Cleared);
    connect(FwButUpdata, &QPushButton::clicked, this, &QLStyleMouseTabWidget::on_FW_ButUpdata_clicked);
    connect(RxButupdata, &QPushButton::clicked, this, &QLStyleMouseTabWidget::on_RX_ButUpdata_clicked);
    HID_API *api = HID_API::instance();
    if (QHid_Threads_Manage *manager = api ? api->Manager() : nullptr) {
        connect(this, &QLStyleMouseTabWidget::UpdataMouseConfigPram, manager, &QHid_Threads_Manage::on_MouseUpdataConfigPram);
        connect(this, &QLStyleMouseTabWidget::ResetMouseCofig, manager, &QHid_Threads_Manage::on_ResetMouseCofig);
        connect(manager, &QHid_Threads_Manage::ThreadDPichange, this, &QLStyleMouseTabWidget::on_ThreadDPichange);
    }
}

void QLStyleMouseTabWidget::SetActive(QACombxBox *box, bool active)
{
    box->CanUnfold = active;
    box->update();
}

// ---- texts ----

void QLStyleMouseTabWidget::on_RefreshLangual()
{
    for (QWidget *w : {static_cast<QWidget *>(LodCombox), static_cast<QWidget *>(MotionCombox),
                       static_cast<QWidget *>(modifiedCombox), static_cast<QWidget *>(RippleCombox)})
        ApplyAppFont(w, 20);
    for (QLabel *l : {label_2, label_25, label_4, label_16, label_19, label_22, label_26, label_27})
        ApplyAppFont(l, 15);
    for (QWidget *w : {static_cast<QWidget *>(FwLabel), static_cast<QWidget *>(FwInfoLabel),
                       static_cast<QWidget *>(FwButUpdata), static_cast<QWidget *>(RxLabel),
                       static_cast<QWidget *>(RxInfoLabel), static_cast<QWidget *>(RxButupdata),
                       static_cast<QWidget *>(label_33), static_cast<QWidget *>(label_34),
                       static_cast<QWidget *>(ButResetConfig)})
        ApplyAppFont(w, 18);
    // A loaded mouse keeps its sleep range and its choices: only the item texts change.
    if (!m_sleepRangeLoaded) {
        SleepSlider->min = 10;
        SleepSlider->max = 300;
        SleepSlider->setValue(SleepSlider->Value());
    }
    SleepSlider->stepSize = 10;
    label_33->setText(GetLangText(68));
    ButResetConfig->setText(GetLangText(68));
    for (QQuorixLabel *title : tab->findChildren<QQuorixLabel *>())
        if (const uint id = title->property("textId").toUInt())
            title->setText(GetLangText(id));
    const QStringList onOff{GetLangText(98), GetLangText(316)};
    auto refill = [](QACombxBox *box, const QStringList &items) {
        const int index = box->currentIndex();
        box->setItems(items);
        if (index >= 0 && index < items.size())
            box->setCurrentIndex(index);
    };
    refill(LodCombox, {QStringLiteral("1mm"), QStringLiteral("2mm")});
    refill(MotionCombox, onOff);
    refill(modifiedCombox, onOff);
    refill(RippleCombox, onOff);
}

void QLStyleMouseTabWidget::butlefit_on_buttonClicked(int buttonId)
{
    switch (buttonId) {
    case 0: label->setText(GetLangText(190)); break;
    case 1:
        m_DPIWidget->InitPage();
        label->setText(GetLangText(260) + GetLangText(161));
        break;
    case 2: label->setText(GetLangText(333)); break;
    case 3: label->setText(GetLangText(205)); break;
    default: return;
    }
    MaIntabwidget->setCurrentIndex(buttonId);
}

// ---- opening a product and a device ----

void QLStyleMouseTabWidget::LoadProductItems(const QString &productFolder)
{
    ++m_fill;
    m_product = productFolder;
    ProductLabel->setText(productFolder);
    MainWidget *main = MainWidget::instance();
    const QString productDir = main ? main->ProductDir() : QString();
    m_LStyleBoraWidget->on_ClearItems();
    m_DPIWidget->ClearPage(); // nothing of the previous product may be written into this one's folder
    m_LStyleBoraWidget->SetProductDir(productDir);
    m_LStyleBoraWidget->BuildConfigButtons(productDir + QStringLiteral("/ConfigItemList.xml"));
    QString userConfig;
    if (main) {
        std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
        if (ini) {
            userConfig = ini->value(QStringLiteral("default/UserConfig")).toString();
            const QVector<QColor> colours = StageColours(DpiPresetFile::Text(*ini, QStringLiteral("default/DpiItemColors")));
            if (!colours.isEmpty())
                m_DPIWidget->SetStageColors(colours);
        }
    }
    m_LStyleBoraWidget->LoadProduct(QStringLiteral("%1/%2.xml").arg(main ? main->UserConfigDir() : QString(), userConfig));
    m_LStyleBoraWidget->SetDpiConfig(productDir + QStringLiteral("/DpiEditConfig.xml"));
    MaIntabwidget->setCurrentIndex(0);
    ButKeySet->setChecked(true);
    label->setText(GetLangText(190));
    HID_API *api = HID_API::instance();
    DeviceRecord *device = CurrentDevice();
    QKeyLableItem *tile = api && device ? api->TileMap().value(device->deviceId, nullptr) : nullptr;
    UpdateMarker->setVisible(tile && tile->HasUpdate());
}

void QLStyleMouseTabWidget::ConfigMouse(MouseConfigRecord *record)
{
    if (record)
        LoadMouseConfig(*record);
}

void QLStyleMouseTabWidget::LoadMouseConfig(const MouseConfigRecord &record)
{
    // Setting values from the program emits nothing: loading never writes the settings file.
    MainWidget *main = MainWidget::instance();
    if (main) {
        const std::unique_ptr<QSettings> base(OpenIniFile(main->ProductDir() + QStringLiteral("/DpiConfig/Base/Base.ini")));
        m_DPIWidget->SetDpiRange(DpiPresetFile::Text(*base, QStringLiteral("MaxvalueCombox/select")).toUInt(),
                                 DpiPresetFile::Text(*base, QStringLiteral("MinvalueCombox/select")).toUInt());
    }
    QVector<uint> stages;
    for (uint32_t v : record.dpiValues)
        stages.append(v);
    m_DPIWidget->AddStageRow(stages);
    m_DPIWidget->SyncStageCount();
    if (stages.contains(record.currentDpi))
        m_DPIWidget->SelectStage(record.currentDpi);
    ResetControls();
    m_loaded = true;
    std::unique_ptr<DpiConfigRecord> map(QDpiConfigMange().Read(m_product));
    m_DPIWidget->SetupReportRate(CurrentDevice(), &record);
    // The sleep and debounce ranges come from the product's memory map: without it both stay
    // unavailable.
    const int32_t sleep = static_cast<int32_t>(record.sleep);
    if (map && sleep >= 0) {
        SleepSlider->max = 10u * map->sleepRangeSecond;
        SleepSlider->min = 10u * map->sleepRangeFirst;
        m_sleepRangeLoaded = true;
        SleepSlider->setValue(10u * static_cast<uint>(sleep));
        label_26->setText(QStringLiteral("%1").arg(sleep) + GetLangText(129));
        SleepSlider->setEnabled(true);
        label_2->setText(GetLangText(370));
    }
    if (SwitchReported(record.motionSync)) {
        SetActive(MotionCombox, true);
        label_4->setText(GetLangText(367));
        MotionCombox->setCurrentIndex(record.motionSync);
    }
    if (SwitchReported(record.angleSnapping)) {
        SetActive(modifiedCombox, true);
        label_16->setText(GetLangText(372));
        modifiedCombox->setCurrentIndex(record.angleSnapping);
    }
    if (map && Reported(record.debounce)) {
        ShakeSlider->setEnabled(true);
        ShakeSlider->max = 10u * map->shakeRangeSecond;
        ShakeSlider->min = 10u * map->shakeRangeFirst;
        ShakeSlider->setValue(10u * record.debounce);
        label_27->setText(QStringLiteral("%1").arg(record.debounce == 0 ? 1 : record.debounce) + GetLangText(127));
        label_19->setText(GetLangText(369));
    }
    if (SwitchReported(record.rippleControl)) {
        SetActive(RippleCombox, true);
        RippleCombox->setCurrentIndex(record.rippleControl);
        label_22->setText(GetLangText(373));
    }
    if (record.liftOff == 1 || record.liftOff == 2) {
        SetActive(LodCombox, true);
        LodCombox->setCurrentIndex(record.liftOff - 1);
        label_25->setText(GetLangText(368));
    }
    RefreshFirmwareInfo();
}

void QLStyleMouseTabWidget::ResetControls()
{
    SleepSlider->setEnabled(false);
    label_26->clear();
    label_2->setText(GetLangText(366));
    ShakeSlider->setEnabled(false);
    label_19->setText(GetLangText(366));
    for (QACombxBox *box : {LodCombox, MotionCombox, modifiedCombox, RippleCombox})
        SetActive(box, false);
    for (QLabel *l : {label_25, label_4, label_16, label_22})
        l->setText(GetLangText(366));
}

// ---- firmware and receiver rows ----

void QLStyleMouseTabWidget::RefreshFirmwareInfo()
{
    // While an update runs the rows keep what they showed when it started.
    const QUpdataDlg *dialog = QUpdataDlg::ExistingInstance();
    HID_API *api = HID_API::instance();
    DeviceRecord *device = CurrentDevice();
    if (!isVisible() || (dialog && dialog->isVisible()) || !api || !device)
        return;
    // A second-family mouse is described through the record its worker holds; that record
    // learns the code only from the current device.
    DeviceRecord *receiverRow = device;
    if (HID_API::FindProductRecord(device->CodeText()).family == 4) {
        QHid_Work_Interface *worker = api->Manager() ? api->Manager()->Worker(device->deviceId) : nullptr;
        if (DeviceRecord *held = worker ? worker->Device() : nullptr) {
            if (held->CodeText().isEmpty())
                held->SetCodeText(device->CodeText());
            receiverRow = held;
        }
    }
    m_RxFirmwareStatus = uchar(api->ShowMouseDeviceVersion(receiverRow, RxLabel, RxInfoLabel));
    m_FirmwareStatus = uchar(api->ShowDeviceVersion(device, FwLabel, FwInfoLabel));
    SetButtonTextFitted(FwButUpdata, GetLangText(313));
    SetButtonTextFitted(RxButupdata, GetLangText(313));
}

void QLStyleMouseTabWidget::SetButtonTextFitted(QPushButton *button, const QString &text)
{
    button->setText(text);
    const int width = text.size() * button->fontMetrics().height() + 20;
    button->setMinimumWidth(width);
    button->setMaximumWidth(width);
}

void QLStyleMouseTabWidget::on_FW_ButUpdata_clicked()
{
    OnFirmwareButton(m_FirmwareStatus, 418);
}

void QLStyleMouseTabWidget::on_RX_ButUpdata_clicked()
{
    OnFirmwareButton(m_RxFirmwareStatus, 419);
}

void QLStyleMouseTabWidget::OnFirmwareButton(uchar status, uint unavailableText)
{
    if (status == 0) {
        if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(QColor(178, 179, 180), GetLangText(unavailableText), true);
        return;
    }
    if (status == 1 || status == 4) {
        // Nothing newer is listed: the click says so rather than doing nothing.
        if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(QColor(178, 179, 180), GetLangText(389), true);
        return;
    }
    StartFirmwareDownload();
}

void QLStyleMouseTabWidget::StartFirmwareDownload()
{
    // One batch at a time: a click while this page's downloads or an update run adds nothing.
    if (!m_firmwareTasks.isEmpty() || Q_ZR_UpdataObjectManage::IsBusy())
        return;
    MainWidget *main = MainWidget::instance();
    if (!main || main->ShowMessage(QColor(178, 179, 180), GetLangText(355), false) != 1)
        return;
    // Looked up after the question: the device may have gone while it was open.
    HID_API *api = HID_API::instance();
    DeviceRecord *device = CurrentDevice();
    QKeyLableItem *tile = api && device ? api->TileMap().value(device->deviceId, nullptr) : nullptr;
    if (!tile || !tile->Device())
        return;
    QDownTaskManage *downloads = QDownTaskManage::Instance();
    auto offer = [&](DeviceRecord *record) {
        DownTask *task = QDownTaskManage::MakeFirmwareTask(record, this);
        if (task->url.size() > 10 || task->folder.size() > 10) {
            downloads->AddTask(task);
            m_firmwareTasks.append(task);
        } else {
            DeleteDownTasks(&task, 1); // nothing to fetch: the task never reaches the manager
        }
    };
    if (tile->FirstUpdateFound())
        offer(tile->Device());
    if (tile->SecondUpdateFound()) {
        QHid_Work_Interface *worker = api->Manager() ? api->Manager()->Worker(tile->DeviceId()) : nullptr;
        if (DeviceRecord *held = worker ? worker->Device() : nullptr) {
            if (held->name.isEmpty())
                ZR_2_0_MouseThread::SetDeviceName(held, tile->Device()->name);
            offer(held);
        }
    }
    if (m_firmwareTasks.isEmpty())
        return;
    m_firmwareDevice = tile->DeviceId();
    if (!m_taskEndConnection)
        m_taskEndConnection = connect(downloads, &QDownTaskManage::TaskEnd, this, &QLStyleMouseTabWidget::on_TaskEnd);
    downloads->on_statr();
    WriteLogLine(QStringLiteral("QKeyLableItem 530"));
}

void QLStyleMouseTabWidget::on_TaskEnd(DownTask **Tasks, int Count)
{
    // A batch can hold other requesters' tasks: only this page's are taken, copied out first
    // (the array is valid during this call only) and kept in the order the page made them, so
    // that a mouse goes before its receiver whatever download ended first.
    QVector<DownTask *> ended;
    for (int i = 0; i < Count; ++i) {
        if (Tasks && Tasks[i] && Tasks[i]->owner == this && m_firmwareTasks.contains(Tasks[i]))
            ended.append(Tasks[i]);
    }
    if (ended.isEmpty())
        return;
    QVector<DownTask *> mine;
    for (DownTask *task : qAsConst(m_firmwareTasks)) {
        if (ended.contains(task))
            mine.append(task);
    }
    for (DownTask *task : qAsConst(mine))
        m_firmwareTasks.removeOne(task);
    if (m_firmwareTasks.isEmpty()) {
        disconnect(m_taskEndConnection);
        m_taskEndConnection = {};
    }
    DelayMs(1000);
    if (MainWidget *main = MainWidget::instance())
        main->HideMaskGray();
    // A mouse that went during the wait stays listed until the wait has returned: its update
    // would only look for it in vain.
    HID_API *api = HID_API::instance();
    if (api && api->DeviceMap().contains(m_firmwareDevice) && !api->DeviceById(m_firmwareDevice)) {
        DeleteDownTasks(mine.data(), mine.size());
        return;
    }
    Q_ZR_UpdataObjectManage::StartUpdate(mine);
}

// ---- changes ----

void QLStyleMouseTabWidget::on_SleepSlider_valueChanged(uint value)
{
    label_26->setText(QStringLiteral("%1").arg(value / 10) + GetLangText(129));
}

void QLStyleMouseTabWidget::on_ShakeSlider_valueChanged(uint value)
{
    label_27->setText(QStringLiteral("%1").arg(value / 10) + GetLangText(127));
}

void QLStyleMouseTabWidget::on_SleepSlider_sliderReleased(uint)
{
    if (CurrentDevice())
        SaveMouseParam(SleepSlider);
}

void QLStyleMouseTabWidget::on_ShakeSlider_sliderReleased(uint)
{
    if (CurrentDevice())
        SaveMouseParam(ShakeSlider);
}

void QLStyleMouseTabWidget::on_currentIndexChanged(int)
{
    if (auto *box = qobject_cast<QWidget *>(sender()))
        SaveMouseParam(box);
}

void QLStyleMouseTabWidget::SaveMouseParam(QWidget *control)
{
    // Once the mouse is gone (or the page was left) nothing more is written for it.
    if (!m_loaded || !CurrentDevice())
        return;
    using namespace MouseParamWriter;
    uchar code = 0;
    auto switches = [this](const QString &model, uchar c) {
        return WriteSwitches(model, c, MotionCombox->currentIndex() > 0, modifiedCombox->currentIndex() > 0,
                             RippleCombox->currentIndex() > 0);
    };
    if (control == SleepSlider) {
        code = SleepCode;
        WriteValue(QStringLiteral("SleepSlider"), code, int(SleepSlider->Value() / 10));
    } else if (control == ShakeSlider) {
        code = DebounceCode;
        WriteValue(QStringLiteral("ShakeSlider"), code, int(ShakeSlider->Value() / 10));
    } else if (control == LodCombox) {
        code = LiftOffCode;
        WriteValue(QStringLiteral("LOD"), code, LodCombox->currentIndex() + 1);
    } else if (control == MotionCombox) {
        code = MotionSyncCode;
        switches(QStringLiteral("MotionSync"), code);
    } else if (control == modifiedCombox) {
        code = AngleSnappingCode;
        switches(QStringLiteral("modified"), code);
    } else if (control == RippleCombox) {
        code = RippleCode;
        switches(QStringLiteral("Ripple"), code);
    } else {
        return;
    }
    Q_EMIT UpdataMouseConfigPram(code);
}

void QLStyleMouseTabWidget::on_UpdataMouseRor()
{
    Q_EMIT UpdataMouseConfigPram(MouseParamWriter::ReportRateCode);
}

void QLStyleMouseTabWidget::on_ThreadDPichange(uint comid, int v)
{
    // Another mouse's DPI button must not mark stages of the mouse shown here.
    DeviceRecord *device = CurrentDevice();
    if (!m_loaded || !device || device->deviceId != comid || v <= 0)
        return;
    m_DPIWidget->SelectStage(static_cast<uint>(v));
}

// ---- reset, macro change, leaving ----

void QLStyleMouseTabWidget::on_ButResetConfigClicked()
{
    MainWidget *main = MainWidget::instance();
    DeviceRecord *device = CurrentDevice();
    if (!main || !device)
        return;
    if (main->ShowMessage(kGreyBar, GetLangText(357), false) != 1)
        return;
    // The base profile is replaced whole, and only when its source is there to replace it.
    const QString dir = main->ProductDir() + QStringLiteral("/UserConfig");
    QFile source(dir + QStringLiteral("/Base/Base.xml"));
    if (!HID_API::PageDeviceGoing() && source.open(QIODevice::ReadOnly)) {
        QSaveFile target(dir + QStringLiteral("/Base.xml"));
        if (target.open(QIODevice::WriteOnly)) {
            target.write(source.readAll());
            target.commit();
        }
    }
    main->on_Show_busy_Status(true);
    // The device list under the mask is not ready before the reset's wait is over.
    const QPointer<MainWidget> busy(main);
    busy->HoldBusy(true);
    if (IsOutsideDriven(device)) {
        Q_EMIT ResetMouseCofig();
        DelayMs(1000);
        main->SetPageIndex();
        Q_EMIT Cleartabs();
    } else {
        HID_API *api = HID_API::instance();
        if (QHid_Threads_Manage *manager = api ? api->Manager() : nullptr)
            manager->on_RecoverMouseConfig();
        main->SetPageIndex();
        Q_EMIT Cleartabs();
        DelayMs(3000);
    }
    if (busy)
        busy->HoldBusy(false);
}

void QLStyleMouseTabWidget::on_MacroFileChangge(const QString &file)
{
    MainWidget *main = MainWidget::instance();
    if (!main || !CurrentDevice() || !m_loaded)
        return;
    const auto map = m_LStyleBoraWidget->LineValueMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        for (QLineInfo *row : it.value()) {
            if (row->ValueType() != 1 || row->ReName() != file)
                continue;
            if (main->ShowMessage(kGreyBar, GetLangText(117), false) == 1) {
                // The button of that row: 0xFF would make a second-family mouse restore every
                // button instead.
                m_CurrentKeyIndex = static_cast<uchar>(row->SendAddress() & 0xFF);
                m_LStyleBoraWidget->on_LineValueDtdaChange();
            }
            return;
        }
    }
}

void QLStyleMouseTabWidget::on_MaIntabwidget_currentChanged(int index)
{
    DeviceRecord *device = CurrentDevice();
    HID_API *api = HID_API::instance();
    if (index != 1 || !m_loaded || !IsOutsideDriven(device) || !api || !api->Manager())
        return;
    auto *worker = qobject_cast<ZR_DLL_MouseThread *>(api->Manager()->Worker(device->deviceId));
    OutsideMouseDevice *object = worker ? worker->OutsideDevice() : nullptr;
    if (!object)
        return;
    QByteArray version;
    object->Version(version);
    if (version != QByteArrayLiteral("00.00.00.00"))
        m_DPIWidget->SelectStage(object->CurrentDpi());
}

void QLStyleMouseTabWidget::CloseTabs()
{
    Q_EMIT Cleartabs();
    Q_EMIT Exit();
}

void QLStyleMouseTabWidget::on_Cleared()
{
    ++m_fill;
    m_loaded = false;
    m_sleepRangeLoaded = false;
    ResetControls();
    m_DPIWidget->ClearPage();
}

void QLStyleMouseTabWidget::ButExit_on_clicked()
{
    // Leaving frees what a wait may hold: inside one the leave follows it, asked once however
    // often it was (a double click, a device removal), and only of the page it was asked of.
    if (NestedWait::Held(this, [this, fill = m_fill] { if (fill == m_fill) ButExit_on_clicked(); }, &m_leaveHeld))
        return;
    if (MainWidget *w = MainWidget::instance())
        w->SetPageIndex();
    CloseTabs();
}
