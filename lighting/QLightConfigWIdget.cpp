#include "lighting/QLightConfigWIdget.h"
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyBoradMApMange.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "lighting/LightRowsFile.h"
#include "widgets/AppFont.h"
#include "widgets/QEditColourDialog.h"
#include "widgets/QSliderAlterMax.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <memory>

QLightConfigWIdget *QLightConfigWIdget::s_instance = nullptr;

namespace {
const QColor kGreyBar(178, 179, 180, 255);
// Longer than any lighting command of the worker takes, receiver retries included.
constexpr int kReplyWaitMs = 8000;

// The group of a lighting model's rows in "rhythmLight.ini" (81..97); 98 has none.
const char *const kModelGroups[] = {"FIXED_ON",        "RESPIRE",          "RAINBOW",          "FLASH_AWAY",
                                    "RAINDROPS",       "RAINBOW_WHEEL",    "RIPPLES_SHINING",  "STARS_TWINKLE",
                                    "SHADOW_DISAPPEAR", "RETRO_SNAKE",     "NEON_STREAM",      "REACTION",
                                    "SINE_WAVE",       "ROTATING_WINDMILL", "COLORFUL_WATERFALL", "BLOSSOMING",
                                    "SELF_DEFINE"};

const char kPanelStyle[] = "border-radius:10px;background-color:#131213;";
const char kListStyle[] =
    "QListWidget{background:transparent;border:none;outline:none;}"
    "QListWidget::item{color:rgb(148,148,148);height:30px;padding-left:10px;border-radius:4px;}"
    "QListWidget::item:hover{background-color:rgba(78,220,252,20);}"
    "QListWidget::item:selected{background-color:#305284;color:#ffffff;}";
const char kValueStyle[] =
    "QLabel{color:#cccccc;background:transparent;}QLabel:disabled{color:#565656;}"
    "QSlider::groove:horizontal{height:5px;background:#262626;}"
    "QSlider::sub-page:horizontal{background:#28569A;}"
    "QSlider::handle:horizontal{background:#D6D6D6;width:12px;margin:-4px 0;border-radius:6px;}"
    "QSlider::handle:horizontal:hover{background:#E6E6E6;}"
    "QSlider::handle:horizontal:disabled{background:#363636;}";
const char kTabStyle[] =
    "QTabBar::tab{color:#b4b4b4;}QTabBar::tab:hover{color:#eeeeee;}"
    "QTabBar::tab:selected{color:#ffffff;}QTabBar{color:#dddddd;}";

template <class T> T *Make(QWidget *parent, const char *name)
{
    T *w = new T(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QFrame *Line(QWidget *parent, const char *name)
{
    auto *l = Make<QFrame>(parent, name);
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    l->setFixedHeight(1);
    return l;
}

QLabel *Label(QWidget *parent, const char *name, const char *text = "")
{
    auto *l = Make<QLabel>(parent, name);
    l->setText(QString::fromUtf8(text));
    return l;
}

// A type panel: title, line and list.
QWidget *TypePanel(QWidget *tab, const char *name, QVBoxLayout **layout, const char *layoutName, QLabel *&title,
                   const char *titleName, QFrame *&line, const char *lineName, QListWidget *&list, const char *listName)
{
    auto *panel = Make<QWidget>(tab, name);
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QString::fromLatin1(kPanelStyle) + QString::fromLatin1(kListStyle));
    auto *v = new QVBoxLayout(panel);
    if (layoutName)
        v->setObjectName(QLatin1String(layoutName));
    if (layout)
        *layout = v;
    title = Label(panel, titleName, "灯效类型");
    line = Line(panel, lineName);
    list = Make<QListWidget>(panel, listName);
    list->setMinimumHeight(150);
    list->setFocusPolicy(Qt::NoFocus);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->addWidget(title);
    v->addWidget(line);
    v->addWidget(list, 1);
    return panel;
}

QWidget *ValuePanel(QWidget *tab, const char *name, QVBoxLayout *&v, const char *layoutName, QLabel *&title,
                    const char *titleName, QFrame *&line, const char *lineName)
{
    auto *panel = Make<QWidget>(tab, name);
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QString::fromLatin1(kPanelStyle) + QString::fromLatin1(kValueStyle));
    v = new QVBoxLayout(panel);
    if (layoutName)
        v->setObjectName(QLatin1String(layoutName));
    v->setContentsMargins(10, 10, 10, 10);
    v->setSpacing(15);
    title = Label(panel, titleName, "设置灯光");
    line = Line(panel, lineName);
    v->addWidget(title);
    v->addWidget(line);
    return panel;
}

QHBoxLayout *Row(QVBoxLayout *v, const char *name, QWidget *a, QWidget *b, QWidget *c)
{
    auto *h = new QHBoxLayout;
    if (name)
        h->setObjectName(QLatin1String(name));
    h->addWidget(a);
    h->addWidget(b, 1);
    h->addWidget(c);
    v->addLayout(h);
    return h;
}

QTabWidget *BuildTabs(QWidget *form)
{
    auto *tabs = Make<QTabWidget>(form, "LightConfigWIdget");
    tabs->setMaximumHeight(500);
    tabs->setFocusPolicy(Qt::NoFocus);
    tabs->setTabsClosable(false);
    tabs->setStyleSheet(QString::fromLatin1(kTabStyle));
    return tabs;
}
} // namespace

QLightConfigWIdget::QLightConfigWIdget(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
    setupUi();
    Refulsh_Label->hide();
    EditVertrefresh->hide();
    label_2->hide();
    InitPage();
    ConnectSignals();
    m_ReplyWatch.setSingleShot(true);
    m_ReplyWatch.setInterval(kReplyWaitMs);
    connect(&m_ReplyWatch, &QTimer::timeout, this, &QLightConfigWIdget::HideBusy);
}

QLightConfigWIdget::~QLightConfigWIdget()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QLightConfigWIdget *QLightConfigWIdget::instance()
{
    return s_instance;
}

// ---- form ------------------------------------------------------------------------------------

void QLightConfigWIdget::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QLightConfigWIdget"));
    resize(502, 605);
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(0);
    LightConfigWIdget = BuildTabs(this);

    // backlight
    TabBacklightPage = Make<QWidget>(nullptr, "TabBacklightPage");
    horizontalLayout = new QHBoxLayout(TabBacklightPage);
    BacklightTypPage = TypePanel(TabBacklightPage, "BacklightTypPage", &verticalLayout_6, "verticalLayout_6",
                                 Back_Effict, "Back_Effict", line_3, "line_3", LightListWidget, "LightListWidget");
    BacklightValuePage = ValuePanel(TabBacklightPage, "BacklightValuePage", verticalLayout_2, "verticalLayout_2",
                                    BackLightInfo, "BackLightInfo", line_4, "line_4");
    Backlight_Speed = Label(BacklightValuePage, "Backlight_Speed", "速度");
    Backlight_Slider = Make<QSliderAlterMax>(BacklightValuePage, "Backlight_Slider");
    Backlight_Speed_Value = Label(BacklightValuePage, "Backlight_Speed_Value", "0%");
    horizontalLayout_8 = Row(verticalLayout_2, "horizontalLayout_8", Backlight_Speed, Backlight_Slider, Backlight_Speed_Value);
    Backlight_Lumin = Label(BacklightValuePage, "Backlight_Lumin", "亮度");
    Back_Slider_Lumin = Make<QSliderAlterMax>(BacklightValuePage, "Back_Slider_Lumin");
    Back_Lumin_Value = Label(BacklightValuePage, "Back_Lumin_Value", "100%");
    horizontalLayout_9 = Row(verticalLayout_2, "horizontalLayout_9", Backlight_Lumin, Back_Slider_Lumin, Back_Lumin_Value);
    ColourWidget_Back = Make<QEditColourDialog>(BacklightValuePage, "ColourWidget_Back");
    verticalLayout_2->addWidget(ColourWidget_Back, 1);
    horizontalLayout->addWidget(BacklightTypPage, 1);
    horizontalLayout->addWidget(BacklightValuePage, 2);

    // audio
    TabAudionPage = Make<QWidget>(nullptr, "TabAudionPage");
    horizontalLayout_2 = new QHBoxLayout(TabAudionPage);
    AudionTypPage = TypePanel(TabAudionPage, "AudionTypPage", &verticalLayout_4, "verticalLayout_4", Audion_effict,
                              "Audion_effict", line, "line", AudionLightWidget, "AudionLightWidget");
    AudionValuePage = ValuePanel(TabAudionPage, "AudionValuePage", verticalLayout_7, "verticalLayout_7",
                                 AudionLightInfo, "AudionLightInfo", line_2, "line_2");
    Audion_Gian_Label = Label(AudionValuePage, "Audion_Gian_Label", "增益");
    Audin_Gian_Slider = Make<QSliderAlterMax>(AudionValuePage, "Audin_Gian_Slider");
    Audin_Gian_Value = Label(AudionValuePage, "Audin_Gian_Value", "0");
    horizontalLayout_4 = Row(verticalLayout_7, "horizontalLayout_4", Audion_Gian_Label, Audin_Gian_Slider, Audin_Gian_Value);
    Audin_Gian_Info_Label = Label(AudionValuePage, "Audin_Gian_Info_Label");
    line_7 = Line(AudionValuePage, "line_7");
    verticalLayout_7->addWidget(Audin_Gian_Info_Label);
    verticalLayout_7->addWidget(line_7);
    Audio_Smoot_Label = Label(AudionValuePage, "Audio_Smoot_Label", "平滑");
    Audio_Slider_Smoot = Make<QSliderAlterMax>(AudionValuePage, "Audio_Slider_Smoot");
    Audio_Smoot_Value = Label(AudionValuePage, "Audio_Smoot_Value", "0");
    horizontalLayout_5 = Row(verticalLayout_7, "horizontalLayout_5", Audio_Smoot_Label, Audio_Slider_Smoot, Audio_Smoot_Value);
    Audio_Smoot_Info_Label = Label(AudionValuePage, "Audio_Smoot_Info_Label");
    line_8 = Line(AudionValuePage, "line_8");
    verticalLayout_7->addWidget(Audio_Smoot_Info_Label);
    verticalLayout_7->addWidget(line_8);
    Refulsh_Label = Label(AudionValuePage, "Refulsh_Label", "刷新率");
    EditVertrefresh = Make<QLineEdit>(AudionValuePage, "EditVertrefresh");
    EditVertrefresh->setText(QStringLiteral("30"));
    label_2 = Label(AudionValuePage, "label_2", "范围:30-500");
    for (QWidget *w : {static_cast<QWidget *>(Refulsh_Label), static_cast<QWidget *>(EditVertrefresh),
                       static_cast<QWidget *>(label_2)})
        w->setToolTip(QString::fromUtf8("enter 键后生效"));
    horizontalLayout_10 = Row(verticalLayout_7, "horizontalLayout_10", Refulsh_Label, EditVertrefresh, label_2);
    ColourWidget_Audion = Make<QEditColourDialog>(AudionValuePage, "ColourWidget_Audion");
    verticalLayout_7->addWidget(ColourWidget_Audion, 1);
    line_10 = Line(AudionValuePage, "line_10");
    label = Label(AudionValuePage, "label");
    ButRefurshButton = Make<QPushButton>(AudionValuePage, "ButRefurshButton");
    ButRefurshButton->setText(QString::fromUtf8("刷新设备"));
    horizontalLayout_11 = Row(verticalLayout_7, "horizontalLayout_11", line_10, label, ButRefurshButton);
    horizontalLayout_2->addWidget(AudionTypPage, 1);
    horizontalLayout_2->addWidget(AudionValuePage, 2);

    // light strip
    TabTapelightPage = Make<QWidget>(nullptr, "TabTapelightPage");
    horizontalLayout_3 = new QHBoxLayout(TabTapelightPage);
    TapelightTypPage = TypePanel(TabTapelightPage, "TapelightTypPage", nullptr, nullptr, TapeEffict, "TapeEffict",
                                 line_5, "line_5", TapelighListWidget, "TapelighListWidget");
    QVBoxLayout *tapeValues = nullptr;
    TapelightValuePage = ValuePanel(TabTapelightPage, "TapelightValuePage", tapeValues, nullptr, TapeLightInfo,
                                    "TapeLightInfo", line_6, "line_6");
    Tapelight_Speed = Label(TapelightValuePage, "Tapelight_Speed", "速度");
    Tapelight_Slider = Make<QSlider>(TapelightValuePage, "Tapelight_Slider");
    Tapelight_Speed_Value = Label(TapelightValuePage, "Tapelight_Speed_Value", "0%");
    Row(tapeValues, nullptr, Tapelight_Speed, Tapelight_Slider, Tapelight_Speed_Value);
    Tapelight_Lumin = Label(TapelightValuePage, "Tapelight_Lumin", "亮度");
    Tape_Slider_Lumin = Make<QSlider>(TapelightValuePage, "Tape_Slider_Lumin");
    Tape_Lumin_Value = Label(TapelightValuePage, "Tape_Lumin_Value", "100%");
    Row(tapeValues, nullptr, Tapelight_Lumin, Tape_Slider_Lumin, Tape_Lumin_Value);
    for (QSlider *s : {Tapelight_Slider, Tape_Slider_Lumin}) {
        s->setOrientation(Qt::Horizontal);
        s->setMaximum(40);
    }
    ColourWidget_Tape = Make<QEditColourDialog>(TapelightValuePage, "ColourWidget_Tape");
    tapeValues->addWidget(ColourWidget_Tape, 1);
    horizontalLayout_3->addWidget(TapelightTypPage, 1);
    horizontalLayout_3->addWidget(TapelightValuePage, 2);

    LightConfigWIdget->addTab(TabBacklightPage, QString());
    LightConfigWIdget->addTab(TabAudionPage, QString());
    LightConfigWIdget->addTab(TabTapelightPage, QString());
    gridLayout->addWidget(LightConfigWIdget, 0, 0);
    retranslateUi();
    LightConfigWIdget->setCurrentIndex(0);
}

void QLightConfigWIdget::retranslateUi()
{
    setWindowTitle(QStringLiteral("Form"));
    LightConfigWIdget->setTabText(0, QString::fromUtf8("背光"));
    LightConfigWIdget->setTabText(1, QString::fromUtf8("音乐律动"));
    LightConfigWIdget->setTabText(2, QString::fromUtf8("灯带"));
}

void QLightConfigWIdget::InitPage()
{
    label->setText(QString::fromUtf8("接入或切换音频设备后 需更新设备连接"));
    for (QWidget *w : {static_cast<QWidget *>(Back_Effict), static_cast<QWidget *>(BackLightInfo),
                       static_cast<QWidget *>(Audion_effict), static_cast<QWidget *>(AudionLightInfo),
                       static_cast<QWidget *>(TapeEffict), static_cast<QWidget *>(TapeLightInfo)})
        w->setFont(LoadAppFont(20));
    const QFont small = LoadAppFont(10);
    for (QWidget *w : {static_cast<QWidget *>(label), static_cast<QWidget *>(Backlight_Speed),
                       static_cast<QWidget *>(Backlight_Speed_Value), static_cast<QWidget *>(Backlight_Lumin),
                       static_cast<QWidget *>(Back_Lumin_Value), static_cast<QWidget *>(Tapelight_Speed),
                       static_cast<QWidget *>(Tapelight_Speed_Value), static_cast<QWidget *>(Tapelight_Lumin),
                       static_cast<QWidget *>(Tape_Lumin_Value), static_cast<QWidget *>(Audion_Gian_Label),
                       static_cast<QWidget *>(Audin_Gian_Value), static_cast<QWidget *>(Audio_Smoot_Label),
                       static_cast<QWidget *>(Audio_Smoot_Value), static_cast<QWidget *>(Audin_Gian_Info_Label),
                       static_cast<QWidget *>(Audio_Smoot_Info_Label), static_cast<QWidget *>(label_2),
                       static_cast<QWidget *>(Refulsh_Label), static_cast<QWidget *>(EditVertrefresh)})
        w->setFont(small);
    LightConfigWIdget->tabBar()->hide();
    EditVertrefresh->installEventFilter(this);
    EditVertrefresh->setValidator(new QIntValidator(30, 500, EditVertrefresh));
    Audin_Gian_Slider->min = 0;
    Audin_Gian_Slider->max = 200;
    Audin_Gian_Slider->stepSize = 10;
    Audio_Slider_Smoot->min = 0;
    Audio_Slider_Smoot->max = 100;
    Audio_Slider_Smoot->stepSize = 10;
}

void QLightConfigWIdget::on_LanguageChange()
{
    Back_Effict->setText(GetLangText(341));
    Audion_effict->setText(GetLangText(341));
    BackLightInfo->setText(GetLangText(342));
    AudionLightInfo->setText(GetLangText(342));
    Backlight_Speed->setText(GetLangText(100));
    Tapelight_Speed->setText(GetLangText(100));
    Backlight_Lumin->setText(GetLangText(99));
    Tapelight_Lumin->setText(GetLangText(99));
    Audion_Gian_Label->setText(GetLangText(165));
    Audio_Smoot_Label->setText(GetLangText(166));
    Audin_Gian_Info_Label->setText(GetLangText(426));
    Audio_Smoot_Info_Label->setText(GetLangText(427));
    Refulsh_Label->setText(GetLangText(343));
}

void QLightConfigWIdget::ConnectSignals()
{
    for (QEditColourDialog *c : {ColourWidget_Tape, ColourWidget_Audion, ColourWidget_Back}) {
        connect(c, &QEditColourDialog::ChickColorChange, this, &QLightConfigWIdget::on_ChickColorChange);
        connect(c, &QEditColourDialog::MoreColorChange, this, &QLightConfigWIdget::on_MoreColorChange);
    }
    for (QSliderAlterMax *s : {Backlight_Slider, Back_Slider_Lumin, Audin_Gian_Slider, Audio_Slider_Smoot})
        connect(s, QOverload<>::of(&QSliderAlterMax::sliderReleased), this, &QLightConfigWIdget::on_sliderReleased);
    for (QSlider *s : {Tapelight_Slider, Tape_Slider_Lumin})
        connect(s, &QSlider::sliderReleased, this, &QLightConfigWIdget::on_sliderReleased);
    connect(Backlight_Slider, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Backlight_Slider_valueChanged);
    connect(Back_Slider_Lumin, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Back_Slider_Lumin_valueChanged);
    connect(Audin_Gian_Slider, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Audin_Gian_Slider_valueChanged);
    connect(Audio_Slider_Smoot, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Audio_Slider_Smoot_valueChanged);
    connect(ButRefurshButton, &QPushButton::clicked, this, &QLightConfigWIdget::on_ButRefurshButtonchect);
    connect(LightListWidget, &QListWidget::itemClicked, this, &QLightConfigWIdget::on_LightListWidget_itemClicked);
    connect(AudionLightWidget, &QListWidget::itemClicked, this, &QLightConfigWIdget::on_AudionLightWidget_itemClicked);
    connect(LightConfigWIdget, &QTabWidget::currentChanged, this, &QLightConfigWIdget::on_LightConfigWIdget_currentChanged);
    if (HID_API *api = HID_API::instance()) {
        if (QHid_Threads_Manage *manager = api->Manager()) {
            connect(this, &QLightConfigWIdget::KeyResetLightModel, manager, &QHid_Threads_Manage::on_KeyResetLightModel);
            connect(this, &QLightConfigWIdget::KeyResetLightModelColor, manager,
                    &QHid_Threads_Manage::on_KeyResetLightModelColor);
            connect(this, &QLightConfigWIdget::KeyBoradLightMColor, manager, &QHid_Threads_Manage::on_KeyBoradLightMColor);
            connect(this, &QLightConfigWIdget::KeyBoradLightSleep_Lumina, manager,
                    &QHid_Threads_Manage::on_KeyBoradLightSleep_Lumina);
            connect(manager, &QHid_Threads_Manage::mChangeResetLightModelSucceed, this,
                    &QLightConfigWIdget::on_ChangeResetLightModelSucceed);
            connect(manager, &QHid_Threads_Manage::mChangeLightColorSucceed, this,
                    &QLightConfigWIdget::On_LightColorCHangeSucceed);
            connect(manager, &QHid_Threads_Manage::mChangeMoreColorSucceed, this,
                    &QLightConfigWIdget::on_MoreColorChangeSucceed);
            connect(manager, &QHid_Threads_Manage::mCHangeLightSleep_LuminaSucceed, this,
                    &QLightConfigWIdget::on_LightSleep_LuminaCHangeSucceed);
        }
    }
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::LangualChange, this, &QLightConfigWIdget::on_LanguageChange);
}

// ---- building and selecting ------------------------------------------------------------------

void QLightConfigWIdget::BuildEffectList(const LayoutEffectTable &map, const QString &, quint16 EffectTypeIndex,
                                         uchar speedSteps, uchar luminanceSteps)
{
    m_EditMap = map;
    m_ModelIds = map.keys();
    m_EffectTypeIndex = EffectTypeIndex;
    // Fewer than 4 steps would make the level divisor 0: such a layout counts as 4 steps.
    m_SpeedSteps = std::max<int>(4, speedSteps);
    m_LuminanceSteps = std::max<int>(4, luminanceSteps);
    for (QSliderAlterMax *s : {Backlight_Slider, Back_Slider_Lumin}) {
        s->min = 10;
        s->max = 40;
        s->stepSize = 10;
    }
    LightListWidget->clear();
    const QFont font = LoadAppFont(20);
    for (uchar model : qAsConst(m_ModelIds)) {
        auto *item = new QListWidgetItem(GetLangText(model), LightListWidget);
        item->setFont(font);
        if (!IsLightModelSupported(model))
            item->setToolTip(GetLangText(291));
    }
}

bool QLightConfigWIdget::IsLightModelSupported(int model)
{
    if (model == 98)
        return true;
    if (model < 81 || model > 98)
        return false;
    const std::unique_ptr<QSettings> ini(OpenRhythmLightIni());
    if (!ini)
        return true;
    const QString key = QString::fromLatin1(kModelGroups[model - 81]) + QStringLiteral("/Index_numble");
    return ini->value(key, 0).toInt() != -1;
}

void QLightConfigWIdget::SetStripTabEnabled(bool enabled)
{
    if (!enabled)
        LightConfigWIdget->setTabEnabled(2, false);
}

void QLightConfigWIdget::SetCurrentTab(int index)
{
    LightConfigWIdget->setCurrentIndex(index);
}

void QLightConfigWIdget::SelectEffect(int model)
{
    if (model < 0)
        return;
    const int row = m_ModelIds.indexOf(static_cast<uchar>(model & 0xFF));
    LightListWidget->setCurrentRow(row < 0 ? 0 : row);
    ApplyEditFlags(EditTextOf(CurrentModel()));
    LoadModelUiValues();
}

int QLightConfigWIdget::CurrentModel() const
{
    const int row = LightListWidget->currentRow();
    return row >= 0 && row < m_ModelIds.size() ? m_ModelIds.at(row) : -1;
}

int QLightConfigWIdget::CurrentEffectFlag() const
{
    return CurrentModel();
}

QString QLightConfigWIdget::EditTextOf(int model) const
{
    // A model the layout does not list has no edit text (and is not added to the map).
    return model < 0 ? QString() : m_EditMap.value(static_cast<uint8_t>(model)).EditModel;
}

int QLightConfigWIdget::SliderLevel(unsigned int position, int steps)
{
    return static_cast<int>(position / 10) * (std::max(4, steps) / 4);
}

// ---- controls --------------------------------------------------------------------------------

void QLightConfigWIdget::SetSpeedRowEnabled(bool on)
{
    Backlight_Speed->setEnabled(on);
    Backlight_Slider->setEnabled(on);
    Backlight_Speed_Value->setEnabled(on);
}

void QLightConfigWIdget::SetLuminRowEnabled(bool on)
{
    Backlight_Lumin->setEnabled(on);
    Back_Slider_Lumin->setEnabled(on);
    Back_Lumin_Value->setEnabled(on);
}

void QLightConfigWIdget::ApplyEditFlags(const QString &text)
{
    if (LightConfigWIdget->currentIndex() != 0)
        return; // the audio tab's edit state is its own; the strip tab has none
    SetSpeedRowEnabled(false);
    SetLuminRowEnabled(false);
    ColourWidget_Back->SetEditEnabled(false);
    ColourWidget_Back->SetMColorButtonEnabled(false);
    if (text.isEmpty())
        return;
    for (const QString &token : text.split(QLatin1Char(','))) {
        if (token == QLatin1String("EDIT_N"))
            return;
        if (token == QLatin1String("EDIT_A")) {
            SetSpeedRowEnabled(true);
            SetLuminRowEnabled(true);
            ColourWidget_Back->SetEditEnabled(true);
            ColourWidget_Back->SetMColorButtonEnabled(true);
            return;
        }
        if (token == QLatin1String("EDIT_M"))
            ColourWidget_Back->SetMColorButtonEnabled(true);
        else if (token == QLatin1String("EDIT_S"))
            SetSpeedRowEnabled(true);
        else if (token == QLatin1String("EDIT_L"))
            SetLuminRowEnabled(true);
        else if (token == QLatin1String("EDIT_C"))
            ColourWidget_Back->SetEditEnabled(true);
    }
}

void QLightConfigWIdget::LoadModelUiValues()
{
    if (LightConfigWIdget->currentIndex() != 0)
        return;
    const int model = CurrentModel();
    HID_API *api = HID_API::instance();
    DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    QKeyBoradMApMange *store = device ? device->keyboardStore : nullptr;
    uint8_t speed = 0, luminance = 0, multi = 0, r = 0, g = 0, b = 0;
    if (model < 0 || !store || !store->KeyInfo(static_cast<uint8_t>(model), &speed, &luminance, &multi, &r, &g, &b))
        return;
    if (ColourWidget_Back->IsGradientRampEnabled())
        ColourWidget_Back->SetColour(r, g, b);
    if (ColourWidget_Back->IsMColorButtonEnabled())
        ColourWidget_Back->SetMColorButtonChecked(multi != 0);
    // A device value beyond the slider's range shows as the nearest step, so what is written
    // back later is always one of the slider's steps.
    if (Backlight_Slider->isEnabled()) {
        const int level = std::min(4, speed / (m_SpeedSteps / 4));
        Backlight_Slider->setValue(static_cast<uint>(std::max(1, level) * 10));
        Backlight_Speed_Value->setText(QString::number(Backlight_Slider->Value() / 10));
    }
    if (Back_Slider_Lumin->isEnabled()) {
        const int level = std::min(4, luminance / (m_LuminanceSteps / 4));
        Back_Slider_Lumin->setValue(static_cast<uint>(std::max(1, level) * 10));
        Back_Lumin_Value->setText(QString::number(Back_Slider_Lumin->Value() / 10));
    }
}

void QLightConfigWIdget::CollectEffectSettings(int &multiColour, QColor &colour, int &speed, int &luminance,
                                               const QColor &fallback) const
{
    if (ColourWidget_Back->IsGradientRampEnabled()) {
        colour = ColourWidget_Back->CurrentColour();
        colour.setAlpha(255);
    } else {
        colour = fallback.isValid() ? fallback : QColor(0, 0, 0);
        colour.setAlpha(0);
    }
    multiColour = ColourWidget_Back->IsMColorButtonEnabled() ? (ColourWidget_Back->IsMColorButtonChecked() ? 1 : 0) : -1;
    speed = Backlight_Slider->isEnabled() ? SliderLevel(Backlight_Slider->Value(), m_SpeedSteps) : -1;
    luminance = Back_Slider_Lumin->isEnabled() ? SliderLevel(Back_Slider_Lumin->Value(), m_LuminanceSteps) : -1;
}

bool QLightConfigWIdget::SaveChangeLight()
{
    if (LightConfigWIdget->currentIndex() != 0)
        return false; // the audio tab keeps its own file; the strip tab writes nothing
    QListWidgetItem *item = LightListWidget->currentItem();
    const int model = CurrentModel();
    MainWidget *main = MainWidget::instance();
    if (!item || model < 0 || !main)
        return false;
    const std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
    // Without the product's data file there is nothing the worker could read back.
    if (!ini || !QFileInfo::exists(ini->fileName()))
        return false;
    ini->setValue(QStringLiteral("ChangeLight/Name"), item->text());
    ini->setValue(QStringLiteral("ChangeLight/Model"), model);
    if (ColourWidget_Back->IsGradientRampEnabled())
        ini->setValue(QStringLiteral("ChangeLight/Color"), ColourWidget_Back->HexText());
    if (ColourWidget_Back->IsMColorButtonEnabled())
        ini->setValue(QStringLiteral("ChangeLight/MColor"), ColourWidget_Back->IsMColorButtonChecked() ? 1 : 0);
    if (Backlight_Slider->isEnabled())
        ini->setValue(QStringLiteral("ChangeLight/Speed"), static_cast<uint>(SliderLevel(Backlight_Slider->Value(), m_SpeedSteps)));
    if (Back_Slider_Lumin->isEnabled())
        ini->setValue(QStringLiteral("ChangeLight/Luminance"),
                      static_cast<uint>(SliderLevel(Back_Slider_Lumin->Value(), m_LuminanceSteps)));
    ini->sync();
    return ini->status() == QSettings::NoError;
}

// ---- busy, results, messages -----------------------------------------------------------------

void QLightConfigWIdget::AwaitReply()
{
    m_ReplyWatch.start();
}

void QLightConfigWIdget::ShowBusy()
{
    if (MainWidget *main = MainWidget::instance())
        main->on_Show_busy_Status(true);
}

void QLightConfigWIdget::HideBusy()
{
    m_ReplyWatch.stop();
    if (MainWidget *main = MainWidget::instance())
        main->on_Hide_busy_Status();
}

bool QLightConfigWIdget::DeviceWriteOk() const
{
    const MainWidget *main = MainWidget::instance();
    return main && main->DeviceWriteResult();
}

void QLightConfigWIdget::ShowFailure(const QString &text)
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowMessage(kGreyBar, text, true);
}

// ---- preview ---------------------------------------------------------------------------------

void QLightConfigWIdget::StartPreview(int model)
{
    int multi = 0, speed = 0, luminance = 0;
    QColor colour;
    CollectEffectSettings(multi, colour, speed, luminance, QColor());
    const bool noColour = colour.alpha() == 0;
    Q_EMIT ChangLightModel(model, multi, speed, luminance, noColour ? 0 : colour.red(), noColour ? 0 : colour.green(),
                           noColour ? 0 : colour.blue());
}

void QLightConfigWIdget::ApplyTabSettings()
{
    if (LightConfigWIdget->currentIndex() != 0)
        return; // the audio tab hands its settings to the audio monitor
    const int row = LightListWidget->currentRow();
    if (row < 0 || row > 50)
        return;
    const int model = CurrentModel();
    Q_EMIT ReSetStandardDiy(model == 97);
    StartPreview(model);
}

void QLightConfigWIdget::on_SwtchDispStatic(bool Open)
{
    m_PreviewFlag = Open ? 1 : 0;
    if (!Open) {
        Q_EMIT ChangLightModel(98, 0, 0, 0, 0, 0, 0);
        return;
    }
    ShowBusy();
    on_ChangeResetLightModelSucceed();
    HideBusy();
}

// ---- sequences -------------------------------------------------------------------------------

void QLightConfigWIdget::on_LightListWidget_itemClicked(QListWidgetItem *item)
{
    if (!item || item->listWidget() != LightListWidget)
        return;
    if (!SaveChangeLight())
        return;
    LightListWidget->setEnabled(false);
    Q_EMIT KeyResetLightModel();
    AwaitReply();
    DelayMs(300);
    LightListWidget->setEnabled(true);
}

void QLightConfigWIdget::on_ChangeResetLightModelSucceed()
{
    const int model = CurrentModel();
    if (!m_PreviewFlag) {
        LoadModelUiValues();
        HideBusy();
        if (model >= 0)
            ApplyEditFlags(EditTextOf(model));
        return;
    }
    if (model < 0) {
        HideBusy();
        LoadModelUiValues();
        return;
    }
    ApplyEditFlags(EditTextOf(model));
    LoadModelUiValues();
    // A mode the keyboard refused is not previewed: the preview would show what it does not run.
    if (!DeviceWriteOk()) {
        HideBusy();
        ShowFailure(QString::fromUtf8("信号异常 灯效切换失败"));
        return;
    }
    Q_EMIT ReSetStandardDiy(false);
    if (model == 97)
        Q_EMIT ReSetStandardDiy(true);
    StartPreview(model);
    DelayMs(100);
    HideBusy();
}

void QLightConfigWIdget::on_ChickColorChange(int R, int G, int B)
{
    if (LightConfigWIdget->currentIndex() != 0)
        return; // the audio tab's colour belongs to the audio monitor
    const bool saved = SaveChangeLight();
    if (!LightListWidget->currentItem())
        return;
    if (CurrentModel() == 97) {
        Q_EMIT LightColorChange(static_cast<uchar>(R), static_cast<uchar>(G), static_cast<uchar>(B));
        return;
    }
    if (!saved)
        return;
    ShowBusy();
    DelayMs(100);
    ColourWidget_Back->SetMColorButtonChecked(false);
    Q_EMIT KeyResetLightModelColor();
    AwaitReply();
}

void QLightConfigWIdget::On_LightColorCHangeSucceed()
{
    if (m_PreviewFlag) {
        if (DeviceWriteOk())
            StartPreview(CurrentModel());
        else
            ShowFailure(QString::fromUtf8("信号异常 颜色调整失败"));
    }
    HideBusy();
}

void QLightConfigWIdget::on_MoreColorChange(bool OPen)
{
    const bool saved = SaveChangeLight();
    ShowBusy();
    if (LightConfigWIdget->currentIndex() == 1) {
        ApplyTabSettings();
        HideBusy();
        return;
    }
    if (LightConfigWIdget->currentIndex() == 0 && LightListWidget->currentItem() && saved) {
        if (OPen)
            Q_EMIT KeyBoradLightMColor();
        else
            Q_EMIT KeyResetLightModelColor();
    }
    HideBusy();
}

void QLightConfigWIdget::on_MoreColorChangeSucceed()
{
    if (!DeviceWriteOk()) {
        HideBusy();
        ShowFailure(QString::fromUtf8("切换颜色模式失败"));
        return;
    }
    const QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
    if (m_PreviewFlag && page && page->IsDisplayOn())
        StartPreview(CurrentModel());
    HideBusy();
}

void QLightConfigWIdget::on_sliderReleased()
{
    ShowBusy();
    DelayMs(200);
    const bool saved = SaveChangeLight();
    if (LightConfigWIdget->currentIndex() != 0) {
        ApplyTabSettings();
        DelayMs(100);
        HideBusy();
        return;
    }
    if (LightListWidget->currentItem() && saved) {
        Q_EMIT KeyBoradLightSleep_Lumina(); // busy stays up until the reply
        AwaitReply();
        return;
    }
    HideBusy();
}

void QLightConfigWIdget::on_LightSleep_LuminaCHangeSucceed()
{
    if (!DeviceWriteOk()) {
        HideBusy();
        ShowFailure(QString::fromUtf8("调整参数失败"));
        return;
    }
    int multi = 0, speed = 0, luminance = 0;
    QColor colour;
    CollectEffectSettings(multi, colour, speed, luminance, QColor());
    Q_EMIT _KeyBoradLightSleep_Lumina(speed, luminance);
    HideBusy();
}

void QLightConfigWIdget::on_Backlight_Slider_valueChanged(uint value)
{
    Backlight_Speed_Value->setText(QString::number(value / 10));
}

void QLightConfigWIdget::on_Back_Slider_Lumin_valueChanged(uint value)
{
    Back_Lumin_Value->setText(QString::number(value / 10));
}

void QLightConfigWIdget::on_Audin_Gian_Slider_valueChanged(uint value)
{
    Audin_Gian_Value->setText(QString::asprintf("%.1f", (value / 10) * 0.1));
}

void QLightConfigWIdget::on_Audio_Slider_Smoot_valueChanged(uint value)
{
    Audio_Smoot_Value->setText(QString::number(value / 10));
}

void QLightConfigWIdget::on_AudionLightWidget_itemClicked(QListWidgetItem *)
{
    // The audio effects are handed to the audio monitor by the audio lighting tab.
}

void QLightConfigWIdget::on_ButRefurshButtonchect()
{
    // The audio device refresh belongs to the audio lighting tab.
}

void QLightConfigWIdget::RefreshFromConfig()
{
    HID_API *api = HID_API::instance();
    DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    QKeyBoradMApMange *store = device ? device->keyboardStore : nullptr;
    if (!store)
        return;
    const int model = store->KeyAtFlagPosition();
    const int row = model < 0 ? -1 : m_ModelIds.indexOf(static_cast<uchar>(model));
    LightListWidget->setCurrentRow(row);
    if (row < 0)
        LightListWidget->clearSelection();
    ApplyEditFlags(EditTextOf(model));
    LoadModelUiValues();
    if (!m_PreviewFlag)
        return;
    int multi = 0, speed = 0, luminance = 0;
    QColor colour;
    CollectEffectSettings(multi, colour, speed, luminance, QColor());
    Q_EMIT ReSetStandardDiy(false);
    if (model == 98 || model == 97) {
        Q_EMIT ChangLightModel(98, 0, 0, 0, 0, 0, 0);
        if (model == 97) {
            Q_EMIT ReSetStandardDiy(true);
            QHid_Work_Interface *worker = api->Manager() ? api->Manager()->CurrentWorker() : nullptr;
            QMultifunKeyBoard *board = QMultifunKeyBoard::instance();
            if (worker && board)
                board->on_DispDiyEffect(worker->DiyColorMap());
        }
    } else if (multi == 0) {
        Q_EMIT ChangLightModel(model, 0, speed, luminance, static_cast<uchar>(colour.red()),
                               static_cast<uchar>(colour.green()), static_cast<uchar>(colour.blue()));
    } else {
        Q_EMIT ChangLightModel(model, multi, speed, luminance, 0, 0, 0);
    }
}

// ---- tabs ------------------------------------------------------------------------------------

void QLightConfigWIdget::on_LightConfigWIdget_currentChanged(int index)
{
    if (index == 0)
        Q_EMIT PageChange(1);
    else if (index == 1)
        Q_EMIT PageChange(2);
}

void QLightConfigWIdget::on_LightConfigWIdget_ReChanged(int index)
{
    LightConfigWIdget->setCurrentIndex(index);
}

void QLightConfigWIdget::ShowMask(bool found)
{
    if (m_MaskLabel) {
        m_MaskLabel->close();
        m_MaskLabel->deleteLater();
        m_MaskLabel = nullptr;
    }
    if (found) {
        TabAudionPage->setEnabled(true);
        return;
    }
    auto *mask = new QLabel(TabAudionPage);
    mask->setGeometry(QRect(QPoint(2, 2), QPoint(width() - 7, height() - 6)));
    mask->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 150);border-radius:10px;"));
    mask->show();
    m_MaskLabel = mask;
    if (AudionLightWidget->count() > 0)
        AudionLightWidget->setCurrentRow(AudionLightWidget->count() - 1);
    TabAudionPage->setEnabled(false);
}

void QLightConfigWIdget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    Q_EMIT endLightPage();
}
