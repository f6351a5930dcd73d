#pragma once
#include <QString>

class QEditColourDialog;
class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSliderAlterMax;
class QTabWidget;
class QVBoxLayout;
class QWidget;

// The form of the lighting page: three tabs (backlight, audio lighting, light strip), each a type
// panel with its list beside a value panel with its sliders and colour editor.
class Ui_QLightConfigWIdget
{
public:
    void setupUi(QWidget *form);
    void retranslateUi(QWidget *form);

    QGridLayout *gridLayout = nullptr;
    QTabWidget *LightConfigWIdget = nullptr;
    QWidget *TabBacklightPage = nullptr, *TabAudionPage = nullptr, *TabTapelightPage = nullptr;
    QHBoxLayout *horizontalLayout = nullptr, *horizontalLayout_2 = nullptr, *horizontalLayout_3 = nullptr;
    // backlight
    QWidget *BacklightTypPage = nullptr;
    QVBoxLayout *verticalLayout_6 = nullptr;
    QLabel *Back_Effict = nullptr;
    QFrame *line_3 = nullptr;
    QListWidget *LightListWidget = nullptr;
    QWidget *BacklightValuePage = nullptr;
    QVBoxLayout *verticalLayout_2 = nullptr;
    QLabel *BackLightInfo = nullptr;
    QFrame *line_4 = nullptr;
    QHBoxLayout *horizontalLayout_8 = nullptr;
    QLabel *Backlight_Speed = nullptr;
    QSliderAlterMax *Backlight_Slider = nullptr;
    QLabel *Backlight_Speed_Value = nullptr;
    QHBoxLayout *horizontalLayout_9 = nullptr;
    QLabel *Backlight_Lumin = nullptr;
    QSliderAlterMax *Back_Slider_Lumin = nullptr;
    QLabel *Back_Lumin_Value = nullptr;
    QEditColourDialog *ColourWidget_Back = nullptr;
    // audio
    QWidget *AudionTypPage = nullptr;
    QVBoxLayout *verticalLayout_4 = nullptr;
    QLabel *Audion_effict = nullptr;
    QFrame *line = nullptr;
    QListWidget *AudionLightWidget = nullptr;
    QWidget *AudionValuePage = nullptr;
    QVBoxLayout *verticalLayout_7 = nullptr;
    QLabel *AudionLightInfo = nullptr;
    QFrame *line_2 = nullptr;
    QHBoxLayout *horizontalLayout_4 = nullptr;
    QLabel *Audion_Gian_Label = nullptr;
    QSliderAlterMax *Audin_Gian_Slider = nullptr;
    QLabel *Audin_Gian_Value = nullptr;
    QLabel *Audin_Gian_Info_Label = nullptr;
    QFrame *line_7 = nullptr;
    QHBoxLayout *horizontalLayout_5 = nullptr;
    QLabel *Audio_Smoot_Label = nullptr;
    QSliderAlterMax *Audio_Slider_Smoot = nullptr;
    QLabel *Audio_Smoot_Value = nullptr;
    QLabel *Audio_Smoot_Info_Label = nullptr;
    QFrame *line_8 = nullptr;
    QHBoxLayout *horizontalLayout_10 = nullptr;
    QLabel *Refulsh_Label = nullptr;
    QLineEdit *EditVertrefresh = nullptr;
    QLabel *label_2 = nullptr;
    QEditColourDialog *ColourWidget_Audion = nullptr;
    QHBoxLayout *horizontalLayout_11 = nullptr;
    QFrame *line_10 = nullptr;
    QLabel *label = nullptr;
    QPushButton *ButRefurshButton = nullptr;
    // light strip
    QWidget *TapelightTypPage = nullptr;
    QLabel *TapeEffict = nullptr;
    QFrame *line_5 = nullptr;
    QListWidget *TapelighListWidget = nullptr;
    QWidget *TapelightValuePage = nullptr;
    QLabel *TapeLightInfo = nullptr;
    QFrame *line_6 = nullptr;
    QLabel *Tapelight_Speed = nullptr;
    QSlider *Tapelight_Slider = nullptr;
    QLabel *Tapelight_Speed_Value = nullptr;
    QLabel *Tapelight_Lumin = nullptr;
    QSlider *Tape_Slider_Lumin = nullptr;
    QLabel *Tape_Lumin_Value = nullptr;
    QEditColourDialog *ColourWidget_Tape = nullptr;

};
