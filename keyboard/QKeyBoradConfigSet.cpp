#include "keyboard/QKeyBoradConfigSet.h"
#include "app/IniOpeners.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyBoradMApMange.h"
#include "widgets/AppFont.h"
#include "widgets/QACombxBox.h"
#include "widgets/QACombxBoxView.h"
#include "widgets/QQuorixLabel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>
#include <cstdlib>
#include <memory>

namespace {
const uint8_t kSleepValues[9] = {1, 2, 3, 4, 10, 20, 30, 40, 0};

struct BlockCopy
{
    explicit BlockCopy(QKeyBoradMApMange *store) : bytes(store ? store->KeyBlockCopy(520) : nullptr) {}
    ~BlockCopy() { std::free(bytes); }
    uint8_t *bytes;
};

QQuorixLabel *Title(QWidget *parent, const char *name)
{
    auto *l = new QQuorixLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 200);"));
    l->setMinimumHeight(35);
    ApplyAppFont(l, 20);
    return l;
}

QLabel *Info(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    l->setStyleSheet(QStringLiteral("color: rgb(137, 137, 137);"));
    ApplyAppFont(l, 15);
    return l;
}

QACombxBox *Box(QWidget *parent, const char *name, int minWidth, bool fixed)
{
    auto *b = new QACombxBox(parent);
    b->setObjectName(QLatin1String(name));
    b->setFixedHeight(35);
    if (fixed)
        b->setFixedWidth(minWidth);
    else
        b->setMinimumWidth(minWidth);
    b->setFont(LoadAppFont(20));
    return b;
}

QFrame *Line(QWidget *parent, const char *name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFixedHeight(1);
    line->setStyleSheet(QStringLiteral("color:#474747;"));
    line->setFrameShape(QFrame::HLine);
    return line;
}

DeviceRecord *Device()
{
    HID_API *api = HID_API::instance();
    return api ? api->CurrentDevice() : nullptr;
}
} // namespace

QKeyBoradConfigSet::QKeyBoradConfigSet(QWidget *parent) : QWidget(parent)
{
    setupUi();
    InitComboViews();
    for (QACombxBox *box : {SleepCombox, ReportRateCombox, DebbounceCombox, DebbounceCombox_2, SystimeCombox, WinLockCombox})
        connect(box, &QACombxBox::currentIndexChanged, this, &QKeyBoradConfigSet::on_Comboxactivated);
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::LangualChange, this, &QKeyBoradConfigSet::on_LangualChange);
    if (HID_API *api = HID_API::instance())
        if (QHid_Threads_Manage *manager = api->Manager())
            connect(this, &QKeyBoradConfigSet::KeyBoradConfigPramChange, manager,
                    &QHid_Threads_Manage::on_KeyBoradConfigPramChange);
    const std::unique_ptr<QSettings> sys(OpenSysBuildIni());
    if (sys)
        TwoByteDebounceProduct = sys->value(QStringLiteral("Keyboard/TwoByteDebounceProduct")).toString();
}

void QKeyBoradConfigSet::setupUi()
{
    setObjectName(QStringLiteral("QKeyBoradConfigSet"));
    setWindowTitle(QStringLiteral("Form"));
    setStyleSheet(QStringLiteral("QWidget#QKeyBoradConfigSet{background-color: rgb(52, 52, 52);}"));
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(100, 10, 100, 0);
    v->setSpacing(20);
    auto column = [this](QLayout *into, QWidget *a, QWidget *b, QWidget *c) {
        auto *col = new QVBoxLayout;
        col->addWidget(a);
        col->addWidget(b, 0, Qt::AlignLeft);
        col->addWidget(c);
        static_cast<QBoxLayout *>(into)->addLayout(col, 1);
        Q_UNUSED(this);
    };
    SleepLabel = Title(this, "SleepLabel");
    SleepCombox = Box(this, "SleepCombox", 150, false);
    SleepInfolabel = Info(this, "SleepInfolabel");
    ReportRateLabel = Title(this, "ReportRateLabel");
    ReportRateCombox = Box(this, "ReportRateCombox", 150, false);
    ReportRateInfolabel = Info(this, "ReportRateInfolabel");
    auto *row1 = new QHBoxLayout;
    column(row1, SleepLabel, SleepCombox, SleepInfolabel);
    column(row1, ReportRateLabel, ReportRateCombox, ReportRateInfolabel);
    v->addLayout(row1);
    v->addWidget(Line(this, "line_3"));

    DebbounceLabel = Title(this, "DebbounceLabel");
    DebbounceCombox = Box(this, "DebbounceCombox", 167, true);
    DebbounceCombox_2 = Box(this, "DebbounceCombox_2", 167, true);
    DebbounceInfoLabel = Info(this, "DebbounceInfoLabel");
    v->addWidget(DebbounceLabel);
    auto *debounceRow = new QHBoxLayout;
    debounceRow->addWidget(DebbounceCombox);
    debounceRow->addWidget(DebbounceCombox_2);
    debounceRow->addStretch(1);
    v->addLayout(debounceRow);
    v->addWidget(DebbounceInfoLabel);
    v->addWidget(Line(this, "line_2"));

    SystimeLabel = Title(this, "SystimeLabel");
    SystimeCombox = Box(this, "SystimeCombox", 167, true);
    SystimeInfolabel = Info(this, "SystimeInfolabel");
    LockWinLabel = Title(this, "LockWinLabel");
    WinLockCombox = Box(this, "WinLockCombox", 167, true);
    LockWinInfolabel = Info(this, "LockWinInfolabel");
    auto *row3 = new QHBoxLayout;
    column(row3, SystimeLabel, SystimeCombox, SystimeInfolabel);
    column(row3, LockWinLabel, WinLockCombox, LockWinInfolabel);
    v->addLayout(row3);
    v->addStretch(1);
    retranslateUi();
}

void QKeyBoradConfigSet::retranslateUi()
{
    SleepLabel->setText(QStringLiteral("休眠设置"));
    SleepInfolabel->setText(QStringLiteral("在2.4和蓝牙模式下，设备空闲指定时间后会自动进入休眠状态。"));
    ReportRateLabel->setText(QStringLiteral("轮询率设置"));
    ReportRateInfolabel->setText(QStringLiteral("较高的键盘轮询率，可以减少输入延迟的影响。"));
    DebbounceLabel->setText(QStringLiteral("Top Speed超低延迟模式"));
    DebbounceInfoLabel->setText(
        QStringLiteral("开启Top Speed可进入低延迟模式，对轴体有一定要求。（如按键出现双击，建议关闭超低延迟模式）"));
    SystimeLabel->setText(QStringLiteral("切换Mac操作模式"));
    SystimeInfolabel->setText(QStringLiteral("开启后将切换成Mac操作模式。"));
    LockWinLabel->setText(QStringLiteral("Win键锁定"));
    LockWinInfolabel->setText(QStringLiteral("开启后win键将被锁定，防止误触。"));
}

QStringList QKeyBoradConfigSet::SleepItems() const
{
    const QString min = GetLangText(129), sec = GetLangText(130);
    return {QStringLiteral("30") + sec, QStringLiteral("1") + min, QStringLiteral("90") + sec,
            QStringLiteral("2") + min,  QStringLiteral("5") + min, QStringLiteral("10") + min,
            QStringLiteral("15") + min, QStringLiteral("20") + min, GetLangText(335)};
}

void QKeyBoradConfigSet::InitComboViews()
{
    ReportRateCombox->setItems({QStringLiteral("1000"), QStringLiteral("500"), QStringLiteral("250")});
    SleepCombox->setItems(SleepItems());
    const QStringList onOff{GetLangText(316), GetLangText(98)};
    DebbounceCombox->setItems(onOff);
    SystimeCombox->setItems(onOff);
    WinLockCombox->setItems(onOff);
    DebbounceCombox_2->setItems({GetLangText(358), GetLangText(359)});
    DebbounceCombox_2->hide();
}

void QKeyBoradConfigSet::on_LangualChange()
{
    SleepLabel->setText(JoinLangTexts(GetLangText(77), GetLangText(161)));
    SleepInfolabel->setText(GetLangText(318));
    ReportRateLabel->setText(GetLangText(319));
    ReportRateInfolabel->setText(GetLangText(320));
    DebbounceLabel->setText(GetLangText(321));
    DebbounceInfoLabel->setText(GetLangText(345));
    SystimeLabel->setText(GetLangText(346));
    SystimeInfolabel->setText(GetLangText(328));
    LockWinLabel->setText(GetLangText(325));
    LockWinInfolabel->setText(GetLangText(326));
    SleepCombox->clear();
    SleepCombox->setFont(LoadAppFont(20));
    SleepCombox->setItems(SleepItems());
    // The selections are shown again at the next show; until then these boxes show no text.
    for (QACombxBox *box : {DebbounceCombox, WinLockCombox, SystimeCombox}) {
        box->clear();
        box->setFont(LoadAppFont(20));
        box->addItem(GetLangText(316));
        box->addItem(GetLangText(98));
    }
}

bool QKeyBoradConfigSet::IsSpecial(const DeviceRecord *device) const
{
    return device && !TwoByteDebounceProduct.isEmpty() && device->name == TwoByteDebounceProduct;
}

int QKeyBoradConfigSet::SleepIndexOf(uint8_t value)
{
    for (int i = 0; i < 9; ++i)
        if (kSleepValues[i] == value)
            return i;
    return 1; // an unknown value shows as the second item
}

int QKeyBoradConfigSet::SleepValueOf(int index)
{
    return index >= 0 && index < 9 ? kSleepValues[index] : -1;
}

void QKeyBoradConfigSet::on_Comboxactivated(int index)
{
    auto *box = qobject_cast<QACombxBox *>(sender());
    DeviceRecord *device = Device();
    HID_API *api = HID_API::instance();
    if (!box || !device || !device->keyboardStore || !api)
        return;
    QKeyBoradMApMange *store = device->keyboardStore;
    BlockCopy copy(store);
    uint8_t *b = copy.bytes;
    if (!b)
        return;
    const bool special = IsSpecial(device);
    const int osPos = api->OsModePos.load(), lockPos = api->WinLockPos.load(), sleepPos = api->SleepPos.load(),
              debouncePos = api->DebouncePos.load(), ratePos = api->ReportRatePos.load();
    if (box == SystimeCombox) {
        if (!ValidPos(osPos))
            return;
        if (index == 0) {
            WinLockCombox->CanUnfold = false;
            if (ValidPos(lockPos))
                b[lockPos] = 0;
            WinLockCombox->setCurrentIndex(1);
            b[osPos] = api->MacModeValue.load();
        } else {
            WinLockCombox->CanUnfold = ValidPos(lockPos);
            b[osPos] = api->WinModeValue.load();
        }
    } else if (box == WinLockCombox) {
        if (!ValidPos(lockPos))
            return;
        b[lockPos] = index == 0 ? 1 : 0;
    } else if (box == DebbounceCombox || box == DebbounceCombox_2) {
        if (!ValidPos(debouncePos, special ? 2 : 1))
            return;
        if (special) {
            if (DebbounceCombox->currentIndex() == 1) {
                DebbounceCombox_2->CanUnfold = false;
                DebbounceCombox_2->setCurrentIndex(0);
                b[debouncePos] = 3;
                b[debouncePos + 1] = 10;
            } else {
                DebbounceCombox_2->CanUnfold = true;
                const bool fast = DebbounceCombox_2->currentIndex() == 0;
                b[debouncePos] = fast ? 1 : 0;
                b[debouncePos + 1] = fast ? 3 : 0;
            }
        } else {
            b[debouncePos] = index == 0 ? 0 : 2;
        }
    } else if (box == SleepCombox) {
        if (!ValidPos(sleepPos))
            return;
        const int value = SleepValueOf(index);
        if (value >= 0)
            b[sleepPos] = static_cast<uint8_t>(value);
        if (MainWidget *main = HID_API::PageDeviceGoing() ? nullptr : MainWidget::instance()) {
            const std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
            if (ini)
                ini->setValue(QStringLiteral("user/KeybordAudioSleep"), static_cast<int>(b[sleepPos]));
        }
    } else if (box == ReportRateCombox) {
        if (!ValidPos(ratePos))
            return;
        b[ratePos] = index == 1 ? 2 : index == 2 ? 1 : 3;
    } else {
        return;
    }
    store->SetKeyBlock(b, 520, false);
    Q_EMIT KeyBoradConfigPramChange(b);
}

void QKeyBoradConfigSet::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ShowBlock();
}

void QKeyBoradConfigSet::RefreshPage()
{
    ShowBlock();
}

void QKeyBoradConfigSet::ShowBlock()
{
    DeviceRecord *device = Device();
    HID_API *api = HID_API::instance();
    if (!device || !device->keyboardStore || !api)
        return;
    BlockCopy copy(device->keyboardStore);
    const uint8_t *b = copy.bytes;
    if (!b)
        return;
    const bool special = IsSpecial(device);
    const int osPos = api->OsModePos.load(), lockPos = api->WinLockPos.load(), sleepPos = api->SleepPos.load(),
              debouncePos = api->DebouncePos.load(), ratePos = api->ReportRatePos.load();
    if (special) {
        DebbounceCombox->setItems({GetLangText(316), GetLangText(98)});
        DebbounceCombox_2->show();
        DebbounceInfoLabel->setText(GetLangText(347));
    } else {
        DebbounceCombox_2->hide();
        DebbounceInfoLabel->setText(GetLangText(345));
    }
    if (ValidPos(lockPos)) {
        WinLockCombox->CanUnfold = true;
        WinLockCombox->setCurrentIndex(b[lockPos] != 0 ? 0 : 1);
    } else {
        WinLockCombox->setCurrentIndex(1);
        WinLockCombox->CanUnfold = false;
    }
    if (ValidPos(osPos)) {
        SystimeCombox->CanUnfold = true;
        const bool mac = b[osPos] == api->MacModeValue.load();
        SystimeCombox->setCurrentIndex(mac ? 0 : 1);
        // In Mac mode there is no Windows key to lock.
        WinLockCombox->CanUnfold = !mac && ValidPos(lockPos);
    } else {
        SystimeCombox->CanUnfold = false;
    }
    if (ValidPos(debouncePos, special ? 2 : 1)) {
        DebbounceCombox->CanUnfold = true;
        const uint8_t v = b[debouncePos];
        if (special) {
            DebbounceCombox->setCurrentIndex(0);
            DebbounceCombox_2->setCurrentIndex(0);
            if (v == 3) {
                DebbounceCombox->setCurrentIndex(1);
                DebbounceCombox_2->CanUnfold = false;
            } else if (v == 0) {
                DebbounceCombox_2->setCurrentIndex(1);
                DebbounceCombox_2->CanUnfold = true;
            } else if (v <= 2) {
                DebbounceCombox_2->CanUnfold = true;
            }
        } else {
            DebbounceCombox_2->CanUnfold = false;
            DebbounceCombox->setCurrentIndex(v <= 1 ? 0 : 1);
        }
    } else {
        DebbounceCombox->CanUnfold = false;
        DebbounceCombox_2->CanUnfold = false;
    }
    if (ValidPos(sleepPos)) {
        SleepCombox->CanUnfold = true;
        SleepCombox->setCurrentIndex(SleepIndexOf(b[sleepPos]));
    } else {
        SleepCombox->CanUnfold = false;
    }
    if (ValidPos(ratePos)) {
        ReportRateCombox->CanUnfold = true;
        const uint8_t v = b[ratePos];
        ReportRateCombox->setCurrentIndex(v == 1 ? 2 : v == 2 ? 1 : 0);
    } else {
        ReportRateCombox->CanUnfold = false;
    }
}
