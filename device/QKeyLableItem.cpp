#include "device/QKeyLableItem.h"
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/ProductCatalogue.h"
#include "app/QLeftMenuPop.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "firmware/DownTask.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/Q_ZR_UpdataObjectManage.h"
#include "app/LogWriter.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "widgets/AppFont.h"
#include "widgets/Battery.h"

#include <QCheckBox>
#include <QDebug>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>

namespace {
const char kDotRed[] = "QCheckBox::indicator{width:10px;height:10px;border-radius:5px;background:#F9091F;}"
                       "QCheckBox{color:#a0a0a0;}";
const char kDotGreen[] = "QCheckBox::indicator{width:10px;height:10px;border-radius:5px;background:#30d500;}"
                         "QCheckBox{color:#a0a0a0;}";
const char kBadgeUsb[] = "QCheckBox::indicator{width:20px;height:20px;"
                         "image:url(:/new/prefix1/Imges/HID_API/icons8_usb_on_25px.png);}QCheckBox{color:#a0a0a0;}";
const char kBadgeWifi[] = "QCheckBox::indicator{width:20px;height:20px;"
                          "image:url(:/new/prefix1/Imges/HID_API/icons8_wifi_25px_1.png);}QCheckBox{color:#a0a0a0;}";
} // namespace

QKeyLableItem::QKeyLableItem(QWidget *parent) : QWidget(parent)
{
    setupUi();
    insideWidget->installEventFilter(this);
    LablePictue->installEventFilter(this);
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::LangualChange, this, &QKeyLableItem::on_LanguageChange);
    connect(ButUpdata, &QCheckBox::clicked, this, &QKeyLableItem::on_ButUpdata_clicked);
    ButUpdata->hide();
}

QKeyLableItem::~QKeyLableItem()
{
    // Downloads still under way point at these tasks: the download manager frees them later.
    if (!m_updateTasks.isEmpty())
        QDownTaskManage::Instance()->ReleaseWhenEnded(m_updateTasks);
}

void QKeyLableItem::setupUi()
{
    setObjectName(QStringLiteral("QKeyLableItem"));
    resize(398, 288);
    setAttribute(Qt::WA_TranslucentBackground);
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setContentsMargins(0, 0, 0, 0);
    insideWidget = new QWidget(this);
    insideWidget->setObjectName(QStringLiteral("insideWidget"));
    insideWidget->setAttribute(Qt::WA_StyledBackground);
    insideWidget->setStyleSheet(QStringLiteral("#insideWidget{background:rgba(21, 22, 23, 255);border-radius:8px;}"
                                               "#insideWidget:hover{background:rgba(31, 32, 33, 255);}"));
    gridLayout->addWidget(insideWidget, 0, 0);
    verticalLayout = new QVBoxLayout(insideWidget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    horizontalLayout_3 = new QHBoxLayout;
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    ConnectIcon = new QCheckBox(insideWidget);
    ConnectIcon->setObjectName(QStringLiteral("ConnectIcon"));
    ConnectIcon->setMinimumSize(30, 30);
    ConnectIcon->setCheckable(true);
    ConnectIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
    ConnectIcon->setStyleSheet(QLatin1String(kDotRed));
    horizontalLayout_3->addStretch();
    horizontalLayout_3->addWidget(ConnectIcon);
    horizontalLayout_3->addStretch();
    verticalLayout->addLayout(horizontalLayout_3);

    horizontalLayout_2 = new QHBoxLayout;
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    LablePictue = new QLabel(insideWidget);
    LablePictue->setObjectName(QStringLiteral("LablePictue"));
    LablePictue->setMaximumSize(250, 100);
    LablePictue->setScaledContents(true);
    horizontalLayout_2->addWidget(LablePictue);
    verticalLayout->addLayout(horizontalLayout_2);

    DeviceName = new QPushButton(insideWidget);
    DeviceName->setObjectName(QStringLiteral("DeviceName"));
    DeviceName->setMinimumSize(51, 50);
    DeviceName->setAttribute(Qt::WA_TransparentForMouseEvents);
    DeviceName->setStyleSheet(QStringLiteral(
        "QPushButton{border:none;background:transparent;font:87 italic 20pt \"Arial Black\";"
        "color:qlineargradient(x1:0,y1:0,x2:0,y2:1,stop:0 #d0d0d0,stop:1 #707070);}"));
    verticalLayout->addWidget(DeviceName);

    BottomWidget = new QWidget(insideWidget);
    BottomWidget->setObjectName(QStringLiteral("BottomWidget"));
    BottomWidget->setMaximumHeight(50);
    BottomWidget->setAttribute(Qt::WA_StyledBackground);
    BottomWidget->setStyleSheet(QStringLiteral(
        "#BottomWidget{background:qlineargradient(x1:0,y1:0,x2:1,y2:0,stop:0 #1e1e1e,stop:0.5 #2e2e2e,stop:1 #1e1e1e);"
        "border-bottom-left-radius:10px;border-bottom-right-radius:10px;}"));
    horizontalLayout = new QHBoxLayout(BottomWidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    ButUpdata = new QCheckBox(BottomWidget);
    ButUpdata->setObjectName(QStringLiteral("ButUpdata"));
    ButUpdata->setMinimumWidth(80);
    ButUpdata->setStyleSheet(QStringLiteral(
        "QCheckBox{color:#d0d0d0;}"
        "QCheckBox::indicator{width:35px;height:35px;image:url(:/new/prefix1/Imges/icons8_brand_new_20px.png);}"
        "QCheckBox:hover{color:#a0a0a0;}"));
    ConnectTypIcon = new QCheckBox(BottomWidget);
    ConnectTypIcon->setObjectName(QStringLiteral("ConnectTypIcon"));
    ConnectTypIcon->setMinimumSize(50, 35);
    ConnectTypIcon->setCheckable(true);
    ConnectTypIcon->setText(QStringLiteral("2.4G"));
    ConnectTypIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
    Pow_ICon = new Battery(BottomWidget);
    Pow_ICon->setObjectName(QStringLiteral("Pow_ICon"));
    Pow_ICon->setMaximumSize(30, 20);
    horizontalLayout->addWidget(ButUpdata);
    horizontalLayout->addStretch();
    horizontalLayout->addWidget(ConnectTypIcon);
    horizontalLayout->addWidget(Pow_ICon);
    verticalLayout->addWidget(BottomWidget);
    verticalLayout->setStretch(1, 12); // picture row, name, bottom bar
    verticalLayout->setStretch(2, 3);
    verticalLayout->setStretch(3, 1);

    ApplyAppFont(ConnectTypIcon, 8);
    ApplyAppFont(ConnectIcon, 8);
}

void QKeyLableItem::SetDevice(DeviceRecord *device)
{
    m_device = device;
    if (device)
        m_subType = device->subType;
}

void QKeyLableItem::SetPicture(const QImage &image)
{
    if (!m_picture.isNull() || image.isNull())
        return; // the first picture stays
    m_picture = image;
    LablePictue->setMaximumSize(image.size());
    if (m_device && m_device->deviceType == 2)
        LablePictue->resize(image.size());
    ShowPicture();
}

void QKeyLableItem::ShowPicture()
{
    if (!m_picture.isNull())
        LablePictue->setPixmap(QPixmap::fromImage(m_picture));
}

void QKeyLableItem::SetNameForModel(const QString &text)
{
    if (text.isEmpty())
        return;
    DeviceName->setText(text);
}

QString QKeyLableItem::ShownName() const
{
    return DeviceName->text();
}

QWidget *QKeyLableItem::UpdateButton() const
{
    return ButUpdata;
}

void QKeyLableItem::SetUpdateButtonHidden(bool hidden)
{
    ButUpdata->setHidden(hidden);
}

QString QKeyLableItem::OnlineText() const
{
    return ConnectIcon->text();
}

QString QKeyLableItem::ConnectionText() const
{
    return ConnectTypIcon->text();
}

ProductRecord QKeyLableItem::ProductByDeviceCode(const QString &code)
{
    const QString upper = code.toUpper();
    if (upper.isEmpty())
        return ProductRecord();
    for (const ProductRecord &p : GetProductList())
        if (!p.deviceCode.isEmpty() && p.deviceCode.toUpper() == upper)
            return p;
    return ProductRecord();
}

ProductRecord QKeyLableItem::FindProductByDeviceCode(const QString &code)
{
    const QString upper = code.toUpper();
    if (upper.isEmpty())
        return ProductRecord();
    for (const ProductRecord &p : GetProductList()) {
        // An empty entry would match every code: it matches none.
        for (const QString &entry : p.deviceCode.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            if (entry.trimmed().toUpper() == upper)
                return p;
    }
    return ProductRecord();
}

void QKeyLableItem::On_UpdataItem()
{
    On_UpdataConnect();
    On_UpdataProduct();
    On_UpPowvalue();
}

void QKeyLableItem::On_UpdataConnect()
{
    if (!m_device)
        return;
    uint8_t state = m_device->connectionState;
    if (state == StateWirelessAwake || state == StateWirelessAsleep) {
        // The list shows a woken tile after a wait that runs events: the device may go in it,
        // and this tile with it.
        QPointer<QKeyLableItem> self(this);
        Q_EMIT HidItem(this, state == StateWirelessAsleep);
        if (!self || !m_device)
            return;
        state = m_device->connectionState;
    }
    const bool wireless = state == StateWirelessAwake || state == StateWirelessAsleep;
    ConnectTypIcon->setStyleSheet(QLatin1String(wireless ? kBadgeWifi : kBadgeUsb));
    ConnectTypIcon->setText(GetLangText(wireless ? 301 : 300));
    const bool online = state == StateWired || state == StateWirelessAwake;
    ConnectIcon->setStyleSheet(QLatin1String(online ? kDotGreen : kDotRed));
    ConnectIcon->setChecked(online);
    ConnectIcon->setText(GetLangText(online ? 331 : 332));
    insideWidget->update();
    const QString code = m_device->CodeText();
    if (online && !code.isEmpty()) {
        const ProductRecord product = ProductByDeviceCode(code);
        SetPicture(product.smallPicture);
        if (!m_device->name.isEmpty())
            SetNameForModel(m_device->name);
    }
}

void QKeyLableItem::On_UpdataProduct()
{
    if (!m_device)
        return;
    const QString code = m_device->CodeText();
    if (code.isEmpty())
        return;
    const ProductRecord product = FindProductByDeviceCode(code);
    if (product.folder.isEmpty())
        return; // without a matching product the picture and names stay
    m_deviceName = product.folder;
    m_device->SetName(product.name);
    SetPicture(product.smallPicture);
    SetNameForModel(m_deviceName);
}

void QKeyLableItem::On_UpPowvalue()
{
    if (!m_device)
        return;
    const uint8_t state = m_device->connectionState;
    if (state == StateWirelessAwake || state == StateWirelessAsleep) {
        Pow_ICon->show();
        Pow_ICon->setValue(static_cast<double>(m_device->batteryLevel.load()));
    } else {
        Pow_ICon->hide();
    }
}

void QKeyLableItem::On_CheckUpgrade()
{
    if (m_checkCount >= 4 || !m_device)
        return;
    m_firmwareUpdate = Q_ZR_UpdataObjectManage::VersionText(m_device, this);
    m_secondFirmwareUpdate = Q_ZR_UpdataObjectManage::CheckNeedUpdate(m_device);
    ButUpdata->setVisible(HasUpdate());
    ++m_checkCount;
}

void QKeyLableItem::on_ButUpdata_clicked()
{
    // One batch per device: a click while its downloads run, or while an update runs, is
    // not a second request.
    if (!m_device || IsDownloading() || Q_ZR_UpdataObjectManage::IsBusy())
        return;
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    m_asking = true;
    QPointer<QKeyLableItem> self(this);
    const bool yes = main->ShowMessage(QColor(178, 179, 180), GetLangText(355), false);
    if (!self)
        return; // the tile went with its device while the question was open
    m_asking = false;
    // The question runs from the device list, whatever page was open last: an answer counts
    // only while the tile's own device is still listed (its removal may be held meanwhile).
    HID_API *hid = HID_API::instance();
    if (!yes || !m_device || !hid || !hid->DeviceById(m_deviceId))
        return;
    QDownTaskManage *downloads = QDownTaskManage::Instance();
    auto queue = [this, downloads](DownTask *task) {
        if (task->url.size() > 10 || task->folder.size() > 10) {
            m_updateTasks.append(task);
            downloads->AddTask(task);
        } else {
            DeleteDownTasks(&task, 1);
        }
    };
    queue(QDownTaskManage::MakeFirmwareTask(m_device, this));
    // Making that task may tell the user something first (a wait): the second task is made only
    // for a device still listed after it.
    if (m_secondFirmwareUpdate && hid->DeviceById(m_deviceId)) {
        QHid_Work_Interface *worker = hid->Manager() ? hid->Manager()->Worker(m_deviceId) : nullptr;
        if (DeviceRecord *second = worker ? worker->Device() : nullptr) {
            if (second->name.isEmpty())
                second->SetName(m_device->name);
            second->connectionState = m_device->connectionState.load();
            queue(QDownTaskManage::MakeFirmwareTask(second, this));
        }
    }
    if (m_updateTasks.isEmpty())
        return;
    connect(downloads, &QDownTaskManage::TaskEnd, this, &QKeyLableItem::on_TaskEnd, Qt::UniqueConnection);
    downloads->on_statr();
    WriteLogLine(QStringLiteral("QKeyLableItem.cpp 530"));
}

void QKeyLableItem::on_TaskEnd(DownTask **ptrs, int count)
{
    if (MainWidget *main = MainWidget::instance())
        main->HideMaskGray();
    disconnect(QDownTaskManage::Instance(), &QDownTaskManage::TaskEnd, this, &QKeyLableItem::on_TaskEnd);
    // The batch may carry other requesters' records: only this tile's go on, in the order the
    // tile made them, whatever order their downloads ended in.
    QVector<DownTask *> ended;
    for (int i = 0; i < count; ++i)
        if (ptrs && ptrs[i] && ptrs[i]->owner == this && m_updateTasks.contains(ptrs[i]))
            ended.append(ptrs[i]);
    QVector<DownTask *> ordered;
    for (DownTask *task : qAsConst(m_updateTasks))
        if (ended.contains(task))
            ordered.append(task);
    m_updateTasks.clear();
    if (!m_device) {
        // The tile's device went during the downloads: nothing to update.
        if (!ordered.isEmpty())
            DeleteDownTasks(ordered.data(), ordered.size());
        return;
    }
    Q_ZR_UpdataObjectManage::StartUpdate(ordered);
}

void QKeyLableItem::on_LanguageChange()
{
    if (!m_device)
        return;
    const uint8_t state = m_device->connectionState;
    ConnectIcon->setText(GetLangText(state == StateNone || state == StateWirelessAsleep ? 332 : 331));
    ConnectTypIcon->setText(GetLangText(state == StateNone || state == StateWired ? 300 : 301));
}

void QKeyLableItem::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_device)
        return;
    On_CheckUpgrade();
    const uint8_t state = m_device->connectionState;
    const bool wireless = state == StateWirelessAwake || state == StateWirelessAsleep;
    QString tip = GetLangText(wireless ? 349 : 70) + QString::asprintf(":V%X", unsigned(m_device->version.load()));
    if (FindProductByDeviceCode(m_device->CodeText()).family == 4) {
        HID_API *page = HID_API::instance();
        QHid_Work_Interface *worker = page && page->Manager() ? page->Manager()->Worker(m_deviceId) : nullptr;
        if (!worker)
            qDebug() << "没找到线程" << m_deviceId;
        else if (const uint16_t second = worker->m_Version)
            tip += QString::asprintf("_%02X", unsigned(second));
    }
    setToolTip(tip);
    On_UpPowvalue();
}

void QKeyLableItem::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ShowPicture();
}

bool QKeyLableItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == insideWidget && event->type() == QEvent::Paint) {
        const uint8_t state = m_device ? m_device->connectionState.load() : uint8_t(StateNone);
        if (state == StateNone || state == StateWirelessAsleep) {
            // The normal styled background, then the dimming over it.
            QPainter painter(insideWidget);
            QStyleOption option;
            option.initFrom(insideWidget);
            insideWidget->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, insideWidget);
            painter.fillRect(insideWidget->rect(), QColor(0, 1, 2, 140));
            return true;
        }
        return false;
    }
    if ((watched == insideWidget || watched == LablePictue) && event->type() == QEvent::MouseButtonPress) {
        if (!m_device || m_device->connectionState == StateNone || m_device->CodeText().isEmpty()) {
            if (MainWidget *main = MainWidget::instance())
                main->ShowBottomTip(QString(), GetLangText(299));
            return false;
        }
        if (m_device->connectionState == StateWirelessAsleep) {
            HID_API *page = HID_API::instance();
            if (QHid_Work_Interface *worker = page ? page->Manager()->Worker(m_deviceId) : nullptr)
                worker->StartTask();
        }
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == insideWidget && mouse->buttons() == Qt::LeftButton && !m_clickLock) {
            m_clickLock = true;
            on_test();
        }
    }
    return false;
}

void QKeyLableItem::FinishOpen()
{
    m_clickLock = false;
}

void QKeyLableItem::on_test()
{
    QPointer<QKeyLableItem> self(this);
    HID_API *page = HID_API::instance();
    MainWidget *main = MainWidget::instance();
    if (QLeftMenuPop::Instance() || !page || !main || !m_device || NestedWait::EndRequested()) {
        FinishOpen();
        return;
    }
    if (NestedWait::Open()) {
        // Opening this page leaves the one a wait holds: it opens once the wait has returned.
        NestedWait::AfterWaits(this, [self] { self->on_test(); });
        return;
    }
    main->on_Show_busy_Status(true);
    if (page->SelectDevice(this) != 0) {
        m_device->connectionState = StateWirelessAsleep;
        On_UpdataConnect();
        if (self)
            FinishOpen();
        main->on_Hide_busy_Status();
        DelayMs(100);
        page = HID_API::instance();
        if (QHid_Work_Interface *worker = page ? page->Manager()->CurrentWorker() : nullptr)
            worker->StartTask();
        if (MainWidget *m = MainWidget::instance())
            m->ShowMessage(QColor(178, 179, 180), GetLangText(363), true);
        return;
    }
    // Device pages open with the product's folder (its files live there), not its shown name.
    if (m_deviceName.isEmpty())
        m_deviceName = m_device->name;
    const QString name = m_deviceName;
    const uint8_t type = m_device->deviceType;
    const uint32_t id = m_deviceId;
    if (type == 2 || (type == 1 && QLStyleMouseTabWidget::instance())) {
        main->WaitDeviceSync();
        main = MainWidget::instance();
        if (main)
            main->on_Hide_busy_Status();
        if (NestedWait::EndRequested()) { // the program ends: no page opens
            if (self)
                FinishOpen();
            return;
        }
        // The device may have gone while its data was read: then there is no page to open.
        page = HID_API::instance();
        DeviceRecord *device = page ? page->DeviceById(id) : nullptr;
        if (!self || !main || !device) {
            if (self)
                FinishOpen();
            return;
        }
        if (type == 2) {
            main->OpenKeyboardPage(name);
            if (QHid_Work_Interface *worker = page->Manager()->CurrentWorker())
                worker->StartListening();
        } else if (!device->mouseData) {
            main->ShowMessage(QColor(178, 179, 180), GetLangText(363), true);
        } else {
            main->OpenMousePage(name);
            if (QLStyleMouseTabWidget *mousePage = QLStyleMouseTabWidget::instance())
                mousePage->ConfigMouse(device->mouseData.get());
        }
    } else {
        main->on_Hide_busy_Status(); // no page for this device: the busy state must not stay
    }
    if (self)
        FinishOpen();
}
