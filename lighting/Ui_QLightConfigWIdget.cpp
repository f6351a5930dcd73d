#include "lighting/Ui_QLightConfigWIdget.h"
#include "widgets/QEditColourDialog.h"
#include "widgets/QSliderAlterMax.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// Scoped to the panel itself: bare declarations ahead of the rules below would make the whole
// sheet one declaration block, and the labels and list items would lose their colours.
const char kPanelStyle[] = "#%1{border-radius:10px;background-color:#131213;}";
const char kListStyle[] =
    "QLabel{color:#cccccc;background:transparent;}"
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
    panel->setStyleSheet(QString::fromLatin1(kPanelStyle).arg(QLatin1String(name)) + QString::fromLatin1(kListStyle));
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
    panel->setStyleSheet(QString::fromLatin1(kPanelStyle).arg(QLatin1String(name)) + QString::fromLatin1(kValueStyle));
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

void Ui_QLightConfigWIdget::setupUi(QWidget *form)
{
    if (form->objectName().isEmpty())
        form->setObjectName(QStringLiteral("QLightConfigWIdget"));
    form->resize(502, 605);
    gridLayout = new QGridLayout(form);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(0);
    LightConfigWIdget = BuildTabs(form);

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
    retranslateUi(form);
    LightConfigWIdget->setCurrentIndex(0);
}

void Ui_QLightConfigWIdget::retranslateUi(QWidget *form)
{
    form->setWindowTitle(QStringLiteral("Form"));
    LightConfigWIdget->setTabText(0, QString::fromUtf8("背光"));
    LightConfigWIdget->setTabText(1, QString::fromUtf8("音乐律动"));
    LightConfigWIdget->setTabText(2, QString::fromUtf8("灯带"));
}

