#include "mouse/QQuorixStyDpiPage.h"
#include "app/CheckedSave.h"
#include "mouse/QPresetNameDelegate.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/QHid_Threads_Manage.h"
#include "mouse/CurrentDeviceDpiStep.h"
#include "mouse/DpiPresetFile.h"
#include "mouse/MouseParamWriter.h"
#include "mouse/QDpiPageItem.h"
#include "mouse/QItemInputWin.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QReghtListWidget.h"
#include "widgets/AppFont.h"
#include "widgets/QACombxBox.h"
#include "widgets/QACombxBoxView.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>

QQuorixStyDpiPage *QQuorixStyDpiPage::s_instance = nullptr;
const QString QQuorixStyDpiPage::FirstPreset = QStringLiteral("灵敏度预设1");

namespace {
const QColor kGreyBar(178, 179, 180);
const QString kPrefix = QStringLiteral("灵敏度预设");
const uint kMinDpi = 50;
const uint kMaxDpi = 26000;
// A limit from a file past any mouse's figure is no limit: the rows' validators take it as int
// and their sliders compute in float.
const uint kMaxDpiLimit = 65535;
const uint kNoStageDpi = 1600;

DeviceRecord *CurrentDevice()
{
    HID_API *api = HID_API::instance();
    return api ? api->CurrentDevice() : nullptr;
}

QStringList ComboItems(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}
} // namespace

QQuorixStyDpiPage::QQuorixStyDpiPage(QWidget *parent) : QWidget(parent)
{
    setupUi();
    InitLook();
    ConnectSignals();
    s_instance = this;
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::LangualChange, this, &QQuorixStyDpiPage::on_LanguageChange);
    connect(DpiCountCombox, &QACombxBox::currentIndexChanged, this, &QQuorixStyDpiPage::on_DpiCountCombox_currentIndexChanged);
}

QQuorixStyDpiPage::~QQuorixStyDpiPage()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QQuorixStyDpiPage *QQuorixStyDpiPage::instance()
{
    return s_instance;
}

// ---- the form ----

void QQuorixStyDpiPage::setupUi()
{
    setObjectName(QStringLiteral("QQuorixStyDpiPage"));
    setStyleSheet(QStringLiteral("QLabel{color:#d6d6d6;}"
                                 "QListWidget{background:transparent;border:none;color:#d6d6d6;outline:none;}"
                                 "QListWidget::item:selected{background:#305284;border-radius:8px;}"
                                 "QPushButton{background:#262626;color:#d6d6d6;border-radius:8px;padding:4px 8px;}"
                                 "QPushButton:hover{background:#305284;}"
                                 "QComboBox{background:#262626;color:#d6d6d6;border-radius:8px;padding:2px 8px;}"
                                 // The open list is dark too: its light text on the default light list was unreadable.
                                 "QComboBox QAbstractItemView{background:#262626;color:#d6d6d6;outline:none;"
                                 "selection-background-color:#305284;selection-color:#ffffff;}"));
    auto *outer = new QHBoxLayout(this);
    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    auto makeLabel = [&](QWidget *parent, const char *name, const QString &text) {
        auto *l = new QLabel(text, parent);
        named(l, name);
        return l;
    };

    LeftWidget = named(new QWidget(this), "LeftWidget");
    LeftWidget->setStyleSheet(QStringLiteral("#LeftWidget{border:none;border-radius:15px;background:#131213;}"));
    auto *left = new QVBoxLayout(LeftWidget);
    label_3 = makeLabel(LeftWidget, "label_3", QStringLiteral("    自定义预设"));
    ConfigList = new QReghtListWidget(LeftWidget);
    named(ConfigList, "ConfigList");
    ConfigList->setItemDelegate(new QPresetNameDelegate(ConfigList));
    auto *buttons = new QHBoxLayout;
    auto makeButton = [&](const char *name, const QString &text) {
        auto *b = new QPushButton(text, LeftWidget);
        named(b, name);
        buttons->addWidget(b);
        return b;
    };
    ButAddConfig = makeButton("ButAddConfig", QStringLiteral("新增预设"));
    ButCopy = makeButton("ButCopy", GetLangText(872));
    ButResetConfig = makeButton("ButResetConfig", GetLangText(873));
    ButDelete = makeButton("ButDelete", GetLangText(874));
    // The delete button comes and goes with the chosen preset; its place is kept, so that the
    // panel always holds all four buttons and neither grows nor moves the stages beside it.
    QSizePolicy keepPlace = ButDelete->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    ButDelete->setSizePolicy(keepPlace);
    left->addWidget(label_3);
    left->addWidget(ConfigList, 1);
    left->addLayout(buttons);
    outer->addWidget(LeftWidget);

    auto *right = new QVBoxLayout;
    label_2 = makeLabel(this, "label_2", QStringLiteral("   DPI设置"));
    LabelDPIFileName = makeLabel(this, "LabelDPIFileName", QPresetNameDelegate::DisplayName(FirstPreset));
    auto *head = new QHBoxLayout;
    head->addWidget(label_2);
    head->addStretch(1);
    head->addWidget(LabelDPIFileName);
    right->addLayout(head);
    auto *limits = new QGridLayout;
    Label_DPI_Count = makeLabel(this, "Label_DPI_Count", QStringLiteral("DPI挡位"));
    DpiCountCombox = new QACombxBox(this);
    named(DpiCountCombox, "DpiCountCombox");
    Label_Min_Value = makeLabel(this, "Label_Min_Value", QStringLiteral("最小:50"));
    MinvalueCombox = new QComboBox(this);
    named(MinvalueCombox, "MinvalueCombox");
    MinvalueCombox->addItems({QStringLiteral("50"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("400"),
                              QStringLiteral("800"), QStringLiteral("1600")});
    Label_Max_Value = makeLabel(this, "Label_Max_Value", QStringLiteral("最大:26000"));
    MaxvalueCombox = new QComboBox(this);
    named(MaxvalueCombox, "MaxvalueCombox");
    MaxvalueCombox->addItems({QStringLiteral("26000"), QStringLiteral("12800"), QStringLiteral("6400"), QStringLiteral("3200")});
    limits->addWidget(Label_DPI_Count, 0, 0);
    limits->addWidget(DpiCountCombox, 0, 1);
    limits->addWidget(Label_Min_Value, 0, 2);
    limits->addWidget(MinvalueCombox, 0, 3);
    limits->addWidget(Label_Max_Value, 0, 4);
    limits->addWidget(MaxvalueCombox, 0, 5);
    right->addLayout(limits);
    QDpiListWidget = new QListWidget(this);
    named(QDpiListWidget, "QDpiListWidget");
    right->addWidget(QDpiListWidget, 1);
    label = makeLabel(this, "label", QStringLiteral("鼠标右击选择dpi挡位 拖动滑块调整速度"));
    right->addWidget(label);
    auto *rate = new QHBoxLayout;
    Wired_Label = makeLabel(this, "Wired_Label", GetLangText(876));
    Mose_RorCob = new QACombxBox(this);
    named(Mose_RorCob, "Mose_RorCob");
    Mose_RorCob->setMinimumSize(120, 35);
    rate->addWidget(Wired_Label);
    rate->addWidget(Mose_RorCob);
    rate->addStretch(1);
    right->addLayout(rate);
    outer->addLayout(right, 1);
}

void QQuorixStyDpiPage::InitLook()
{
    m_colors = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                QColor(0, 255, 255), QColor(255, 255, 0), QColor(255, 0, 255)};
    ApplyAppFont(label_2, 25);
    ApplyAppFont(LabelDPIFileName, 25);
    for (QWidget *w : {static_cast<QWidget *>(label_3), static_cast<QWidget *>(ConfigList),
                       static_cast<QWidget *>(Wired_Label), static_cast<QWidget *>(Mose_RorCob)})
        ApplyAppFont(w, 18);
    for (QWidget *w : {static_cast<QWidget *>(Label_DPI_Count), static_cast<QWidget *>(label),
                       static_cast<QWidget *>(Label_Min_Value), static_cast<QWidget *>(Label_Max_Value),
                       static_cast<QWidget *>(ButAddConfig), static_cast<QWidget *>(ButCopy),
                       static_cast<QWidget *>(ButResetConfig), static_cast<QWidget *>(ButDelete),
                       static_cast<QWidget *>(DpiCountCombox), static_cast<QWidget *>(MinvalueCombox),
                       static_cast<QWidget *>(MaxvalueCombox)})
        ApplyAppFont(w, 15);
    QDpiListWidget->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar{background:transparent; width:4px; margin:0px 0px 0px 0px;}"
        "            QScrollBar::handle{background:rgba(223, 223, 225, 200); border:0px; border-radius:2px; margin:0px 0px 0px 0px;}"
        "            QScrollBar::handle:hover{background:lightgray;}"
        "            QScrollBar::handle:pressed{background:rgba(200, 200, 200, 255);}"
        "            QScrollBar::sub-page{background:transparent;}"
        "            QScrollBar::add-page{background:transparent;}"
        "            QScrollBar::up-arrow{background:transparent;}"
        "            QScrollBar::down-arrow{background:transparent;}"
        "            QScrollBar::sub-line{background:transparent; height:0px;}"
        "            QScrollBar::add-line{background:transparent; height:0px;}"));
}

void QQuorixStyDpiPage::ConnectSignals()
{
    connect(ConfigList, &QReghtListWidget::RightChick, this, &QQuorixStyDpiPage::on_ListDeleteChick);
    connect(ConfigList, &QListWidget::itemClicked, this, &QQuorixStyDpiPage::on_ConfigList_itemClicked);
    connect(ConfigList, &QListWidget::itemDoubleClicked, this, &QQuorixStyDpiPage::on_ConfigList_itemDoubleClicked);
    connect(ButAddConfig, &QPushButton::clicked, this, &QQuorixStyDpiPage::on_ButAddConfig_clicked);
    connect(ButCopy, &QPushButton::clicked, this, &QQuorixStyDpiPage::on_ButCopy_clicked);
    connect(ButDelete, &QPushButton::clicked, this, &QQuorixStyDpiPage::on_ButDelete_clicked);
    connect(ButResetConfig, &QPushButton::clicked, this, &QQuorixStyDpiPage::on_ButResetConfig_clicked);
    connect(MinvalueCombox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &QQuorixStyDpiPage::on_DpiValueThreadChange);
    connect(MaxvalueCombox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &QQuorixStyDpiPage::on_DpiValueThreadChange);
    HID_API *api = HID_API::instance();
    if (QHid_Threads_Manage *manager = api ? api->Manager() : nullptr) {
        connect(this, &QQuorixStyDpiPage::ChangeDpis, manager, &QHid_Threads_Manage::on_ChangeDpis);
        connect(this, &QQuorixStyDpiPage::MouseUpdataConfigPram, manager, &QHid_Threads_Manage::on_MouseUpdataConfigPram);
    }
    connect(Mose_RorCob, &QACombxBox::currentIndexChanged, this, &QQuorixStyDpiPage::on_Mose_RorCob_currentIndexChanged);
}

void QQuorixStyDpiPage::on_LanguageChange()
{
    label_3->setText(GetLangText(375));
    label_2->setText(QStringLiteral("DPI ") + GetLangText(161));
    ButAddConfig->setText(GetLangText(376));
    for (const auto &b : {qMakePair(ButCopy, 872u), qMakePair(ButResetConfig, 873u), qMakePair(ButDelete, 874u)}) {
        b.first->setText(GetLangText(b.second));
        b.first->setToolTip(GetLangText(b.second));
    }
    Wired_Label->setText(GetLangText(Mose_RorCob->items().isEmpty() ? 876 : 877));
    ConfigList->viewport()->update();
    Label_DPI_Count->setText(QStringLiteral("DPI ") + GetLangText(377));
    // The preset shown keeps its name in the new language.
    QListWidgetItem *shown = ConfigList->currentItem();
    LabelDPIFileName->setText(shown ? QPresetNameDelegate::DisplayName(shown->text()) : GetLangText(381) + QStringLiteral("1"));
    // The limits of a loaded mouse stay as they are shown.
    uint max = 0, min = 0;
    ShowLimits(&max, &min);
    label->setText(GetLangText(380));
    Mose_RorCob->setToolTip(GetLangText(371));
}

// ---- helpers ----

QString QQuorixStyDpiPage::PresetDir() const
{
    MainWidget *main = MainWidget::instance();
    return main ? main->ProductDir() + QStringLiteral("/DpiConfig") : QString();
}

QString QQuorixStyDpiPage::PresetPath(const QString &name) const
{
    return QStringLiteral("%1/%2.ini").arg(PresetDir(), name);
}

QStringList QQuorixStyDpiPage::PresetNames() const
{
    QStringList names;
    for (int i = 0; i < ConfigList->count(); ++i)
        names << ConfigList->item(i)->text();
    return names;
}

QListWidgetItem *QQuorixStyDpiPage::FindPreset(const QString &name) const
{
    for (int i = 0; i < ConfigList->count(); ++i)
        if (ConfigList->item(i)->text() == name)
            return ConfigList->item(i);
    return nullptr;
}

QDpiPageItem *QQuorixStyDpiPage::RowAt(int position) const
{
    QListWidgetItem *item = QDpiListWidget->item(position);
    return item ? qobject_cast<QDpiPageItem *>(QDpiListWidget->itemWidget(item)) : nullptr;
}

bool QQuorixStyDpiPage::LimitsValid(uint *max, uint *min) const
{
    const uint lo = MinvalueCombox->currentText().toUInt();
    const uint hi = MaxvalueCombox->currentText().toUInt();
    if (lo == 0 || hi == 0 || lo > hi || hi > kMaxDpiLimit)
        return false;
    *max = hi;
    *min = lo;
    return true;
}

void QQuorixStyDpiPage::ShowLimits(uint *max, uint *min)
{
    if (!LimitsValid(max, min)) {
        *max = kMaxDpi;
        *min = kMinDpi;
    }
    Label_Max_Value->setText(GetLangText(378) + QStringLiteral(":%1").arg(*max));
    Label_Min_Value->setText(GetLangText(379) + QStringLiteral(":%1").arg(*min));
}

int QQuorixStyDpiPage::ChosenStageCount() const
{
    return DpiCountCombox->currentText().trimmed().toInt();
}

QVector<uint> QQuorixStyDpiPage::SentStages(bool committed) const
{
    int n = ChosenStageCount();
    if (n <= 0)
        n = QDpiListWidget->count();
    QVector<uint> values;
    for (int i = 0; i < n && i < QDpiListWidget->count(); ++i) {
        QDpiPageItem *row = RowAt(i);
        if (row && !QDpiListWidget->item(i)->isHidden())
            values.append(committed ? row->committedValue() : row->dpiValue());
    }
    return values;
}

uint QQuorixStyDpiPage::SelectedOrMarkedDpi(bool withMarked) const
{
    uint dpi = kNoStageDpi;
    for (int i = 0; i < QDpiListWidget->count(); ++i) {
        QListWidgetItem *item = QDpiListWidget->item(i);
        QDpiPageItem *row = RowAt(i);
        if (row && !item->isHidden() && (item->isSelected() || (withMarked && row->isChecked())))
            dpi = row->dpiValue();
    }
    return dpi;
}

QColor QQuorixStyDpiPage::StageColor(int position) const
{
    // More stages than colours: the colours repeat.
    if (m_colors.isEmpty())
        return QColor(255, 0, 0);
    return m_colors.at(position % m_colors.size());
}

std::shared_ptr<MouseConfigRecord> QQuorixStyDpiPage::CurrentRecord() const
{
    DeviceRecord *device = CurrentDevice();
    return device ? std::atomic_load(&device->mouseData) : nullptr;
}

QVector<uint> QQuorixStyDpiPage::StageValues() const
{
    return QDpiPageItem::VisibleStageValues(QDpiListWidget);
}

uint QQuorixStyDpiPage::CheckedStageDpi() const
{
    for (int i = 0; i < QDpiListWidget->count(); ++i) {
        QDpiPageItem *row = RowAt(i);
        if (row && !QDpiListWidget->item(i)->isHidden() && row->isChecked())
            return row->dpiValue();
    }
    return 0;
}

QStringList QQuorixStyDpiPage::ReportRateItems(uint maxRate)
{
    if (maxRate == 1000)
        return {QStringLiteral("1000"), QStringLiteral("500"), QStringLiteral("250"), QStringLiteral("125")};
    if (maxRate == 8000)
        return {QStringLiteral("8000"), QStringLiteral("4000"), QStringLiteral("2000"), QStringLiteral("1000"),
                QStringLiteral("500"), QStringLiteral("250"), QStringLiteral("125")};
    return {};
}

int QQuorixStyDpiPage::ReportRateIndex(uint maxRate, uint8_t subType, uint16_t code)
{
    int index = -1;
    if (maxRate == 1000 && subType == 4) {
        index = code;
    } else if (maxRate == 1000 && subType == 2) {
        index = code == 1 ? 3 : code == 2 ? 2 : code == 3 ? 1 : 0;
    } else if (maxRate == 8000 && subType == 4) {
        static const int table[] = {3, 4, 5, 6, 0, 1, 2};
        index = code < 7 ? table[code] : 0;
    }
    // A code past the items selects nothing.
    return index < ReportRateItems(maxRate).size() ? index : -1;
}

uint QQuorixStyDpiPage::FindFreeDpiValue(const QVector<uint> &used, uint min, uint max, int step)
{
    if (step <= 0)
        return min;
    for (uint v = max; v > min && v >= uint(step); v -= uint(step))
        if (!used.contains(v))
            return v;
    return min;
}

int QQuorixStyDpiPage::PresetNumber(const QString &text)
{
    int start = text.size();
    while (start > 0 && text.at(start - 1).isDigit() && text.at(start - 1).unicode() < 128)
        --start;
    return start == text.size() ? 0 : text.mid(start).toInt();
}

int QQuorixStyDpiPage::NextPresetNumber(const QStringList &names)
{
    int highest = 0;
    for (const QString &name : names)
        if (name.contains(kPrefix))
            highest = std::max(highest, PresetNumber(name.right(3)));
    return highest + 1;
}

// Runs of digits compare as numbers, the rest case-insensitively; the same in every locale
// (the system collator may have no numeric mode).
static int NaturalCompare(const QString &a, const QString &b)
{
    int i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = a.at(i).isDigit(), db = b.at(j).isDigit();
        if (da && db) {
            int ei = i, ej = j;
            while (ei < a.size() && a.at(ei).isDigit())
                ++ei;
            while (ej < b.size() && b.at(ej).isDigit())
                ++ej;
            QStringRef na = a.midRef(i, ei - i), nb = b.midRef(j, ej - j);
            while (na.size() > 1 && na.at(0) == QLatin1Char('0'))
                na = na.mid(1);
            while (nb.size() > 1 && nb.at(0) == QLatin1Char('0'))
                nb = nb.mid(1);
            if (na.size() != nb.size())
                return na.size() < nb.size() ? -1 : 1;
            if (const int c = na.compare(nb))
                return c;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a.at(i).toCaseFolded(), cb = b.at(j).toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    return (a.size() - i) - (b.size() - j);
}

QStringList QQuorixStyDpiPage::SortPresetNames(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) { return NaturalCompare(a, b) < 0; });
    return names;
}

bool QQuorixStyDpiPage::IsAcceptablePresetName(const QString &name, const QStringList &taken)
{
    // A dot would hide the file from the listing (only "<name>.ini" is listed); "Base" is the
    // folder of the product's own preset.
    return IsSafeFileComponent(name) && !name.contains(QLatin1Char('.')) && name != QLatin1String("Base") &&
           name.trimmed() == name && !taken.contains(name);
}

// ---- stage rows ----

void QQuorixStyDpiPage::SetDpiRange(uint max, uint min)
{
    // Limits that read 0, cross or pass any mouse would clamp every stage to nonsense: the rows
    // keep their range.
    if (max > 0 && min > 0 && min <= max && max <= kMaxDpiLimit)
        for (QDpiPageItem *row : m_rows)
            row->setDpiRange(max, min);
    Label_Min_Value->setText(GetLangText(379) + QStringLiteral(":%1").arg(min));
    Label_Max_Value->setText(GetLangText(378) + QStringLiteral(":%1").arg(max));
    {
        // Resetting the limits here is no user's choice: nothing may be sent for it.
        const QSignalBlocker blockMin(MinvalueCombox);
        const QSignalBlocker blockMax(MaxvalueCombox);
        MinvalueCombox->setCurrentIndex(0);
        MaxvalueCombox->setCurrentIndex(0);
    }
    ButDelete->hide();
    MinvalueCombox->setEditable(false);
    MaxvalueCombox->setEditable(false);
}

void QQuorixStyDpiPage::AddStageRow(const QVector<uint> &values)
{
    QDpiListWidget->clear(); // deletes the items and their row widgets
    m_rows.clear();
    for (int i = 0; i < values.size(); ++i) {
        auto *item = new QListWidgetItem(QDpiListWidget);
        auto *row = new QDpiPageItem;
        row->setColor(StageColor(i));
        row->setIndex(i + 1);
        row->setDpi(values.at(i));
        item->setSizeHint(QSize(353, 62));
        QDpiListWidget->setItemWidget(item, row);
        m_rows.append(row);
    }
    for (QDpiPageItem *row : m_rows) {
        connect(row, &QDpiPageItem::RefushDefultDpiUi, this, &QQuorixStyDpiPage::on_RefushDefultDpiUi);
        connect(row, &QDpiPageItem::valueChange, this, &QQuorixStyDpiPage::on_valueChange);
    }
}

void QQuorixStyDpiPage::SyncStageCount()
{
    int visible = 0;
    for (int i = 0; i < QDpiListWidget->count(); ++i)
        visible += QDpiListWidget->item(i)->isHidden() ? 0 : 1;
    const int at = DpiCountCombox->items().indexOf(QString::number(visible));
    if (visible > 0 && at >= 0)
        DpiCountCombox->setCurrentIndex(at);
}

void QQuorixStyDpiPage::SelectStage(uint dpi)
{
    for (int i = 0; i < QDpiListWidget->count(); ++i) {
        QDpiPageItem *row = RowAt(i);
        if (!row || QDpiListWidget->item(i)->isHidden())
            continue;
        row->setMChecked(row->dpiValue() == dpi);
    }
    SavePresetFile();
}

void QQuorixStyDpiPage::ClearPage()
{
    EndRename();
    ConfigList->clear();
    AddStageRow({});
    Mose_RorCob->setItems({});
    LabelDPIFileName->setText(QPresetNameDelegate::DisplayName(FirstPreset));
}

// ---- presets ----

void QQuorixStyDpiPage::ApplyBaseLists()
{
    const QString dir = PresetDir();
    m_loading = true;
    {
        const std::unique_ptr<QSettings> ini(OpenIniFile(dir + QStringLiteral("/Base/Base.ini")));
        const QStringList counts = DpiPresetFile::List(*ini, QStringLiteral("DpiCountCombox/values"));
        DpiCountCombox->setItems(counts);
        // The chosen count is the count's index as well, so that what is sent matches what is shown.
        const int at = counts.indexOf(DpiPresetFile::Text(*ini, QStringLiteral("DpiCountCombox/select")));
        if (at >= 0)
            DpiCountCombox->setCurrentIndex(at);
        SyncStageCount();
        MinvalueCombox->clear();
        MinvalueCombox->addItems(DpiPresetFile::List(*ini, QStringLiteral("MinvalueCombox/values")));
        MinvalueCombox->setCurrentText(DpiPresetFile::Text(*ini, QStringLiteral("MinvalueCombox/select")));
        MaxvalueCombox->clear();
        MaxvalueCombox->addItems(DpiPresetFile::List(*ini, QStringLiteral("MaxvalueCombox/values")));
        MaxvalueCombox->setCurrentText(DpiPresetFile::Text(*ini, QStringLiteral("MaxvalueCombox/select")));
    }
    SetDpiRange(MaxvalueCombox->currentText().toUInt(), MinvalueCombox->currentText().toUInt());
    m_loading = false;
}

void QQuorixStyDpiPage::MarkMouseStage()
{
    const std::shared_ptr<MouseConfigRecord> record = CurrentRecord();
    if (!record || !StageValues().contains(record->currentDpi))
        return;
    for (int i = 0; i < QDpiListWidget->count(); ++i)
        if (QDpiPageItem *row = RowAt(i); row && !QDpiListWidget->item(i)->isHidden())
            row->setMChecked(row->dpiValue() == record->currentDpi);
}

void QQuorixStyDpiPage::InitPage()
{
    EndRename();
    ConfigList->clear();
    const QString dir = PresetDir();
    if (dir.isEmpty())
        return;
    QStringList names;
    for (const QFileInfo &file : QDir(dir).entryInfoList(QDir::Files))
        if (file.completeSuffix() == QLatin1String("ini") && file.baseName() != QLatin1String("Base"))
            names << file.baseName();
    // The page shows the preset the mouse was given last, as its file holds it; the first preset
    // when that one is gone or is not this product's. Showing it sends and writes nothing.
    QString shown;
    for (const QString &name : {ChosenPresetName(), FirstPreset})
        if (shown.isEmpty() && !name.isEmpty() && names.contains(name) && LoadPreset(PresetPath(name)))
            shown = name;
    if (shown.isEmpty()) {
        ApplyBaseLists();
        shown = FirstPreset;
        // Only a missing first preset is made, from the mouse's stages the page shows.
        if (!names.contains(FirstPreset)) {
            QDir().mkpath(dir);
            if (SavePreset(PresetPath(FirstPreset)))
                names << FirstPreset;
            else if (!HID_API::PageDeviceGoing())
                SayNotSaved(1045, FirstPreset);
        }
    }
    MarkMouseStage();
    ConfigList->addItems(SortPresetNames(names));
    QListWidgetItem *current = FindPreset(shown);
    // A first preset that could not be made is not named as if it were stored.
    LabelDPIFileName->setText(current ? QPresetNameDelegate::DisplayName(shown) : QString());
    if (current)
        ConfigList->setCurrentItem(current);
    ButDelete->setVisible(current && shown != FirstPreset);
}

QString QQuorixStyDpiPage::ChosenPresetName()
{
    MainWidget *main = MainWidget::instance();
    const std::unique_ptr<QSettings> ini(main ? main->OpenMouseParamConfig() : nullptr);
    return ini ? DpiPresetFile::Text(*ini, QStringLiteral("DpiPreset/name")) : QString();
}

void QQuorixStyDpiPage::RecordChosenPreset(const QString &name)
{
    MainWidget *main = MainWidget::instance();
    if (!main || HID_API::PageDeviceGoing() || ChosenPresetName() == name)
        return; // a mouse that went keeps its file as it was
    const std::unique_ptr<QSettings> ini(main->OpenMouseParamConfig());
    if (!ini)
        return;
    ini->setValue(QStringLiteral("DpiPreset/name"), name);
    if (!CheckedSave::SyncSettings(*ini))
        SayNotSaved(1046, name);
}

void QQuorixStyDpiPage::SayNotSaved(uint textId, const QString &name) const
{
    // A tip, not a question: saves run from row commits and the mouse's own DPI button, where a
    // wait would let the rows be rebuilt under their caller.
    if (MainWidget *main = MainWidget::instance())
        main->ShowBottomTip(GetLangText(297),
                            CheckedSave::WithCause(GetLangText(textId).arg(QPresetNameDelegate::DisplayName(name))));
}

bool QQuorixStyDpiPage::SavePreset(const QString &path)
{
    MainWidget *main = MainWidget::instance();
    DpiPreset p;
    p.productName = main ? main->CurrentProductName() : QString();
    p.countValues = DpiCountCombox->items();
    p.countSelect = DpiCountCombox->currentText();
    p.minValues = ComboItems(MinvalueCombox);
    p.minSelect = MinvalueCombox->currentText();
    p.maxValues = ComboItems(MaxvalueCombox);
    p.maxSelect = MaxvalueCombox->currentText();
    p.select = 3;
    for (int i = 0; i < m_rows.size(); ++i) {
        p.stageValues << m_rows.at(i)->dpiText();
        if (m_rows.at(i)->isChecked())
            p.select = i;
    }
    return DpiPresetFile::Write(path, p);
}

bool QQuorixStyDpiPage::LoadPreset(const QString &path)
{
    MainWidget *main = MainWidget::instance();
    DpiPreset p = DpiPresetFile::Read(path);
    // A preset saved for another product is never applied (a missing file names none).
    if (!main || p.productName.isEmpty() || p.productName != main->CurrentProductName())
        return false;
    // A preset saved without limits (an older or hand-made file) has the product's own ones.
    if (p.minValues.isEmpty() || p.maxValues.isEmpty()) {
        const DpiPreset base = DpiPresetFile::Read(PresetDir() + QStringLiteral("/Base/Base.ini"));
        if (p.minValues.isEmpty()) {
            p.minValues = base.minValues;
            p.minSelect = base.minSelect;
        }
        if (p.maxValues.isEmpty()) {
            p.maxValues = base.maxValues;
            p.maxSelect = base.maxSelect;
        }
    }
    m_loading = true;
    DpiCountCombox->setItems(p.countValues);
    const int count = p.countValues.indexOf(p.countSelect);
    if (count >= 0)
        DpiCountCombox->setCurrentIndex(count);
    MinvalueCombox->clear();
    MinvalueCombox->addItems(p.minValues);
    MinvalueCombox->setCurrentIndex(p.minValues.indexOf(p.minSelect));
    MaxvalueCombox->clear();
    MaxvalueCombox->addItems(p.maxValues);
    MaxvalueCombox->setCurrentIndex(p.maxValues.indexOf(p.maxSelect));
    if (!p.stageValues.isEmpty()) {
        QVector<uint> values;
        for (const QString &v : p.stageValues)
            values << v.trimmed().toUInt();
        AddStageRow(values);
        if (QDpiPageItem *marked = RowAt(p.select)) {
            marked->setMChecked(true);
            QDpiListWidget->item(p.select)->setSelected(true);
        }
        const int visible = p.countSelect.toInt() % 256;
        for (int i = 0; i < QDpiListWidget->count(); ++i)
            QDpiListWidget->item(i)->setHidden(i >= visible);
    }
    // The preset's own limits, in the labels and on every row, whether or not it held stages.
    uint max = 0, min = 0;
    ShowLimits(&max, &min);
    for (QDpiPageItem *row : qAsConst(m_rows))
        row->setDpiRange(max, min);
    m_loading = false;
    return true;
}

bool QQuorixStyDpiPage::SavePresetFile()
{
    if (ConfigList->count() == 0)
        return true;
    QListWidgetItem *item = ConfigList->currentItem() ? ConfigList->currentItem() : ConfigList->item(0);
    if (SavePreset(PresetPath(item->text())))
        return true;
    if (!HID_API::PageDeviceGoing()) // a mouse that went keeps its presets: nothing to say
        SayNotSaved(1045, item->text());
    return false;
}

void QQuorixStyDpiPage::AddNumberedPreset(const QString &sourceFile)
{
    const QString name = kPrefix + QString::number(NextPresetNumber(PresetNames()));
    // The list names only presets that have a file.
    if (!CheckedSave::CopyFile(sourceFile, PresetPath(name))) {
        SayNotSaved(1047, name);
        return;
    }
    ConfigList->addItem(name);
}

void QQuorixStyDpiPage::RemovePreset(QListWidgetItem *item)
{
    const QString file = PresetPath(item->text());
    delete ConfigList->takeItem(ConfigList->row(item));
    if (QFileInfo(file).isFile())
        QFile::remove(file);
}

void QQuorixStyDpiPage::on_ButAddConfig_clicked()
{
    MainWidget *main = MainWidget::instance();
    if (!main || !CurrentDevice())
        return;
    if (ConfigList->count() >= 10) {
        ButAddConfig->setEnabled(false);
        main->ShowMessage(kGreyBar, GetLangText(382), true);
        ButAddConfig->setEnabled(true);
        return;
    }
    AddNumberedPreset(PresetDir() + QStringLiteral("/Base/Base.ini"));
}

void QQuorixStyDpiPage::on_ButCopy_clicked()
{
    if (!CurrentDevice() || ConfigList->count() >= 10 || !ConfigList->currentItem())
        return;
    AddNumberedPreset(PresetPath(ConfigList->currentItem()->text()));
}

void QQuorixStyDpiPage::on_ButDelete_clicked()
{
    MainWidget *main = MainWidget::instance();
    QListWidgetItem *current = ConfigList->currentItem();
    if (!main || !current || current->text() == FirstPreset)
        return;
    const QString name = current->text();
    if (main->ShowMessage(kGreyBar, GetLangText(383).replace(QStringLiteral("%s"), QPresetNameDelegate::DisplayName(name)), false) != 1)
        return;
    // A mouse that goes while the question is open takes the list with it: the preset is
    // looked up again by its name.
    current = FindPreset(name);
    if (!current || !CurrentDevice())
        return;
    RemovePreset(current);
    LabelDPIFileName->clear();
    if (QListWidgetItem *first = FindPreset(FirstPreset)) {
        if (LoadPreset(PresetPath(FirstPreset))) {
            LabelDPIFileName->setText(QPresetNameDelegate::DisplayName(FirstPreset));
            ConfigList->setCurrentItem(first);
            SendDpiStages(CurrentDevice());
            RecordChosenPreset(FirstPreset);
        }
    }
}

void QQuorixStyDpiPage::on_ListDeleteChick()
{
    DelayMs(200);
    on_ButDelete_clicked();
}

void QQuorixStyDpiPage::on_ButResetConfig_clicked()
{
    MainWidget *main = MainWidget::instance();
    QListWidgetItem *target = ConfigList->currentItem();
    if (!target && !ConfigList->selectedItems().isEmpty())
        target = ConfigList->selectedItems().first();
    if (!main || !target || !CurrentDevice())
        return;
    const QString name = target->text();
    if (main->ShowMessage(kGreyBar, GetLangText(384), false) != 1)
        return;
    if (!FindPreset(name) || !CurrentDevice())
        return; // the mouse went while the question was open, its presets with it
    const QString file = PresetPath(name);
    // Replaced whole or not at all: a preset removed before a copy that fails would be lost.
    QFile base(PresetDir() + QStringLiteral("/Base/Base.ini"));
    if (!base.open(QIODevice::ReadOnly) || !CheckedSave::WriteFile(file, base.readAll())) {
        SayNotSaved(1045, name);
        return;
    }
    const bool applied = LoadPreset(file);
    const QVector<uint> values = SentStages(false);
    const uint current = SelectedOrMarkedDpi(false);
    for (int i = ConfigList->count() - 1; i >= 0 && ConfigList->count() > 1; --i)
        if (ConfigList->item(i)->text() != FirstPreset)
            RemovePreset(ConfigList->item(i));
    if (applied && !values.isEmpty()) {
        Q_EMIT ChangeDpis(values, int(current));
        RecordChosenPreset(FirstPreset);
    }
    LabelDPIFileName->setText(GetLangText(381) + QStringLiteral("1"));
}

void QQuorixStyDpiPage::on_ConfigList_itemClicked(QListWidgetItem *item)
{
    if (!item || !CurrentDevice())
        return;
    LabelDPIFileName->setText(QPresetNameDelegate::DisplayName(item->text()));
    if (LoadPreset(PresetPath(item->text()))) {
        const QVector<uint> values = SentStages(false);
        if (!values.isEmpty())
            Q_EMIT ChangeDpis(values, int(SelectedOrMarkedDpi(true)));
        RecordChosenPreset(item->text()); // the page opens on it next time
    }
    ButDelete->setVisible(item->text() != FirstPreset);
}

void QQuorixStyDpiPage::on_ConfigList_itemDoubleClicked(QListWidgetItem *item)
{
    if (!item || item->text() == FirstPreset)
        return;
    if (!m_editor) {
        m_editor = new QItemInputWin;
        connect(m_editor.data(), &QLineEdit::returnPressed, this, &QQuorixStyDpiPage::on_returnPressed);
    }
    m_editor->setText(QPresetNameDelegate::DisplayName(item->text())); // as the list shows it
    ConfigList->setItemWidget(item, m_editor);
    m_editor->setFocus();
    ButDelete->setVisible(ConfigList->currentRow() != 0);
}

void QQuorixStyDpiPage::on_returnPressed()
{
    if (!m_editor)
        return;
    const QString name = m_editor->text();
    QListWidgetItem *current = ConfigList->currentItem();
    QStringList taken = PresetNames();
    // A name given back as shown keeps the file's own.
    if (current && name == QPresetNameDelegate::DisplayName(current->text()))
        return EndRename();
    if (current && !name.isEmpty() && IsAcceptablePresetName(name, taken) && current->text() != FirstPreset) {
        // The file first: the list never shows a name that has no file.
        const QString old = current->text();
        if (QFile::rename(PresetPath(old), PresetPath(name))) {
            current->setText(name);
            if (ChosenPresetName() == old)
                RecordChosenPreset(name);
        }
    }
    EndRename();
}

void QQuorixStyDpiPage::EndRename()
{
    if (!m_editor)
        return;
    QItemInputWin *editor = m_editor.data();
    m_editor.clear();
    // Removing it takes its focus away: that end-of-edit notice must find no edit.
    disconnect(editor, nullptr, this, nullptr);
    for (int i = 0; i < ConfigList->count(); ++i) {
        if (ConfigList->itemWidget(ConfigList->item(i)) == editor) {
            ConfigList->removeItemWidget(ConfigList->item(i));
            return;
        }
    }
    editor->deleteLater();
}

// ---- stage changes ----

void QQuorixStyDpiPage::on_DpiCountCombox_currentIndexChanged(int index)
{
    const std::shared_ptr<MouseConfigRecord> record = CurrentRecord();
    const int step = CurrentDeviceDpiStep();
    if (index < 0 || m_loading || !record || step <= 0)
        return;
    const int rowCount = QDpiListWidget->count();
    const int n = DpiCountCombox->items().value(index).toInt();
    if (n <= 0)
        return;
    const uint chk = CheckedStageDpi();
    uint max = kMaxDpi, min = kMinDpi;
    if (!LimitsValid(&max, &min)) {
        max = kMaxDpi;
        min = kMinDpi;
    }
    for (int i = rowCount; i < n; ++i) {
        auto *item = new QListWidgetItem(QDpiListWidget);
        auto *row = new QDpiPageItem;
        row->setColor(StageColor(i));
        row->setIndex(i + 1);
        row->setDpi(FindFreeDpiValue(StageValues(), min, max, step));
        item->setSizeHint(QSize(353, 62));
        QDpiListWidget->setItemWidget(item, row);
        connect(row, &QDpiPageItem::RefushDefultDpiUi, this, &QQuorixStyDpiPage::on_RefushDefultDpiUi);
        connect(row, &QDpiPageItem::valueChange, this, &QQuorixStyDpiPage::on_valueChange);
        m_rows.append(row);
    }
    for (int i = 0; i < QDpiListWidget->count(); ++i)
        QDpiListWidget->item(i)->setHidden(i >= n);
    QVector<uint> values;
    for (QDpiPageItem *row : m_rows)
        values.append(row->dpiValue());
    for (int i = 0; i < QDpiListWidget->count(); ++i)
        QDpiListWidget->item(i)->setSelected(i == n - 1);
    if (chk > 0 && !values.mid(0, n).contains(chk))
        QDpiListWidget->item(0)->setSelected(true);
    QVector<uint> base;
    {
        const std::unique_ptr<QSettings> ini(OpenIniFile(PresetDir() + QStringLiteral("/Base/Base.ini")));
        for (const QString &v : DpiPresetFile::List(*ini, QStringLiteral("QDpiListWidget/values")))
            base.append(v.trimmed().toUInt());
    }
    for (int i = 0; i < values.size(); ++i)
        if (values.count(values.at(i)) > 1 && i < base.size() && base.at(i) > 0)
            values[i] = base.at(i);
    uint current = chk;
    bool marked = false;
    for (int i = 0; i < m_rows.size(); ++i) {
        m_rows.at(i)->setDpi(values.at(i));
        m_rows.at(i)->setMChecked(false);
        if (i < n && values.at(i) == chk) {
            m_rows.at(i)->setMChecked(true);
            marked = true;
        }
    }
    if (!marked) {
        const int last = n - 1;
        m_rows.at(last)->setMChecked(true);
        QDpiListWidget->item(last)->setSelected(true);
        current = values.at(last);
        values = values.mid(0, values.indexOf(current) + 1);
    }
    // Only the chosen number of stages reaches the mouse; the preset keeps every row.
    values = values.mid(0, n);
    record->stageCount = static_cast<uint8_t>(n);
    SavePresetFile();
    Q_EMIT ChangeDpis(values, int(current));
}

void QQuorixStyDpiPage::on_DpiValueThreadChange(int index)
{
    uint max = 0, min = 0;
    if (index < 0 || m_loading || !LimitsValid(&max, &min) || !CurrentDevice())
        return;
    ShowLimits(&max, &min);
    for (int i = 0; i < QDpiListWidget->count(); ++i)
        if (QDpiPageItem *row = RowAt(i); row && !QDpiListWidget->item(i)->isHidden())
            row->setDpiRange(max, min);
    SendDpiStages(CurrentDevice());
    // The limits and the stages they clamped belong to the preset, as every other DPI change.
    SavePresetFile();
}

void QQuorixStyDpiPage::SendDpiStages(DeviceRecord *device)
{
    const std::shared_ptr<MouseConfigRecord> record = device ? std::atomic_load(&device->mouseData) : nullptr;
    if (!record)
        return;
    const int n = ChosenStageCount();
    QVector<uint32_t> values;
    for (int i = 0; i < n && i < QDpiListWidget->count(); ++i) {
        QDpiPageItem *row = RowAt(i);
        if (!row || QDpiListWidget->item(i)->isHidden())
            continue;
        values.append(row->dpiValue());
        if (row->isChecked()) {
            record->currentStage = static_cast<uint8_t>(values.size());
            record->currentDpi = row->dpiValue();
        }
    }
    if (values.isEmpty())
        return;
    record->dpiValues = values;
    record->stageCount = static_cast<uint8_t>(values.size());
    Q_EMIT MouseUpdataConfigPram(MouseParamWriter::DpiStagesCode);
}

void QQuorixStyDpiPage::on_RefushDefultDpiUi(QWidget *row)
{
    auto *sender = qobject_cast<QDpiPageItem *>(row);
    if (!sender || QLatin1String(row->metaObject()->className()) != QLatin1String("QDpiPageItem"))
        return;
    for (QDpiPageItem *r : m_rows)
        r->setMChecked(false);
    sender->setMChecked(true);
    on_SetDefultDpi(sender);
}

void QQuorixStyDpiPage::on_SetDefultDpi(QWidget *row)
{
    auto *sender = qobject_cast<QDpiPageItem *>(row);
    if (!sender || !CurrentRecord())
        return;
    const QVector<uint> values = SentStages(true);
    if (!values.isEmpty())
        Q_EMIT ChangeDpis(values, int(sender->committedValue()));
    SavePresetFile();
}

void QQuorixStyDpiPage::on_valueChange(QWidget *row, uint value)
{
    if (!CurrentRecord())
        return;
    for (QDpiPageItem *r : m_rows)
        r->setMChecked(r == row);
    const QVector<uint> values = SentStages(false);
    if (!values.isEmpty())
        Q_EMIT ChangeDpis(values, int(value));
    SavePresetFile();
}

// ---- report rate ----

void QQuorixStyDpiPage::SetupReportRate(DeviceRecord *device, const MouseConfigRecord *record)
{
    Mose_RorCob->setItems({});
    Wired_Label->setText(GetLangText(877));
    if (!device || !record)
        return;
    uint max = 1000;
    if (device->subType == 4)
        max = record->maxReportRate;
    const QStringList items = ReportRateItems(max);
    if (!items.isEmpty())
        Mose_RorCob->setItems(items);
    const int index = ReportRateIndex(max, device->subType, record->reportRate);
    if (index >= 0)
        Mose_RorCob->setCurrentIndex(index);
}

void QQuorixStyDpiPage::on_Mose_RorCob_currentIndexChanged(int index)
{
    const int hz = Mose_RorCob->items().value(index).toInt();
    if (hz <= 0 || !CurrentRecord())
        return;
    MouseParamWriter::WriteReportRate(hz);
    if (QLStyleMouseTabWidget *tab = QLStyleMouseTabWidget::instance())
        tab->on_UpdataMouseRor();
}
