#include "lighting/QLightConfigWIdget.h"
#include "app/CheckedSave.h"
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
#include <cstdlib>
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
} // namespace

QLightConfigWIdget::QLightConfigWIdget(QWidget *parent) : QWidget(parent), ui(new Ui_QLightConfigWIdget)
{
    s_instance = this;
    ui->setupUi(this);
    ui->Refulsh_Label->hide();
    ui->EditVertrefresh->hide();
    ui->label_2->hide();
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

void QLightConfigWIdget::InitPage()
{
    for (QWidget *w : {static_cast<QWidget *>(ui->Back_Effict), static_cast<QWidget *>(ui->BackLightInfo),
                       static_cast<QWidget *>(ui->Audion_effict), static_cast<QWidget *>(ui->AudionLightInfo),
                       static_cast<QWidget *>(ui->TapeEffict), static_cast<QWidget *>(ui->TapeLightInfo)})
        w->setFont(LoadAppFont(20));
    const QFont small = LoadAppFont(10);
    for (QWidget *w : {static_cast<QWidget *>(ui->label), static_cast<QWidget *>(ui->Backlight_Speed),
                       static_cast<QWidget *>(ui->Backlight_Speed_Value), static_cast<QWidget *>(ui->Backlight_Lumin),
                       static_cast<QWidget *>(ui->Back_Lumin_Value), static_cast<QWidget *>(ui->Tapelight_Speed),
                       static_cast<QWidget *>(ui->Tapelight_Speed_Value), static_cast<QWidget *>(ui->Tapelight_Lumin),
                       static_cast<QWidget *>(ui->Tape_Lumin_Value), static_cast<QWidget *>(ui->Audion_Gian_Label),
                       static_cast<QWidget *>(ui->Audin_Gian_Value), static_cast<QWidget *>(ui->Audio_Smoot_Label),
                       static_cast<QWidget *>(ui->Audio_Smoot_Value), static_cast<QWidget *>(ui->Audin_Gian_Info_Label),
                       static_cast<QWidget *>(ui->Audio_Smoot_Info_Label), static_cast<QWidget *>(ui->label_2),
                       static_cast<QWidget *>(ui->Refulsh_Label), static_cast<QWidget *>(ui->EditVertrefresh)})
        w->setFont(small);
    ui->LightConfigWIdget->tabBar()->hide();
    ui->label->setWordWrap(true); // the refresh advice beside its button takes more lines, not more room
    ui->EditVertrefresh->installEventFilter(this);
    ui->LightListWidget->viewport()->installEventFilter(this);
    ui->AudionLightWidget->viewport()->installEventFilter(this);
    ui->EditVertrefresh->setValidator(new QIntValidator(30, 500, ui->EditVertrefresh));
    ui->Audin_Gian_Slider->min = 0;
    ui->Audin_Gian_Slider->max = 200;
    ui->Audin_Gian_Slider->stepSize = 10;
    ui->Audio_Slider_Smoot->min = 0;
    ui->Audio_Slider_Smoot->max = 100;
    ui->Audio_Slider_Smoot->stepSize = 10;
}

void QLightConfigWIdget::on_LanguageChange()
{
    ui->Back_Effict->setText(GetLangText(341));
    ui->Audion_effict->setText(GetLangText(341));
    ui->BackLightInfo->setText(GetLangText(342));
    ui->AudionLightInfo->setText(GetLangText(342));
    ui->Backlight_Speed->setText(GetLangText(100));
    ui->Tapelight_Speed->setText(GetLangText(100));
    ui->Backlight_Lumin->setText(GetLangText(99));
    ui->Tapelight_Lumin->setText(GetLangText(99));
    ui->Audion_Gian_Label->setText(GetLangText(165));
    ui->Audio_Smoot_Label->setText(GetLangText(166));
    ui->Audin_Gian_Info_Label->setText(GetLangText(426));
    ui->Audio_Smoot_Info_Label->setText(GetLangText(427));
    ui->Refulsh_Label->setText(GetLangText(343));
    ui->TapeEffict->setText(GetLangText(341));
    ui->TapeLightInfo->setText(GetLangText(342));
    ui->label->setText(GetLangText(852));
    ui->ButRefurshButton->setText(GetLangText(853));
}

void QLightConfigWIdget::ConnectSignals()
{
    for (QEditColourDialog *c : {ui->ColourWidget_Tape, ui->ColourWidget_Audion, ui->ColourWidget_Back}) {
        connect(c, &QEditColourDialog::ChickColorChange, this, &QLightConfigWIdget::on_ChickColorChange);
        connect(c, &QEditColourDialog::MoreColorChange, this, &QLightConfigWIdget::on_MoreColorChange);
    }
    for (QSliderAlterMax *s : {ui->Backlight_Slider, ui->Back_Slider_Lumin, ui->Audin_Gian_Slider, ui->Audio_Slider_Smoot})
        connect(s, QOverload<>::of(&QSliderAlterMax::sliderReleased), this, &QLightConfigWIdget::on_sliderReleased);
    for (QSlider *s : {ui->Tapelight_Slider, ui->Tape_Slider_Lumin})
        connect(s, &QSlider::sliderReleased, this, &QLightConfigWIdget::on_sliderReleased);
    connect(ui->Backlight_Slider, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Backlight_Slider_valueChanged);
    connect(ui->Back_Slider_Lumin, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Back_Slider_Lumin_valueChanged);
    connect(ui->Audin_Gian_Slider, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Audin_Gian_Slider_valueChanged);
    connect(ui->Audio_Slider_Smoot, &QSliderAlterMax::valueChanged, this, &QLightConfigWIdget::on_Audio_Slider_Smoot_valueChanged);
    connect(ui->ButRefurshButton, &QPushButton::clicked, this, &QLightConfigWIdget::on_ButRefurshButtonchect);
    connect(ui->LightListWidget, &QListWidget::itemClicked, this, &QLightConfigWIdget::on_LightListWidget_itemClicked);
    connect(ui->AudionLightWidget, &QListWidget::itemClicked, this, &QLightConfigWIdget::on_AudionLightWidget_itemClicked);
    connect(ui->LightConfigWIdget, &QTabWidget::currentChanged, this, &QLightConfigWIdget::on_LightConfigWIdget_currentChanged);
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

void QLightConfigWIdget::BuildEffectList(const LayoutEffectTable &map, const QString &audioNames, quint16 EffectTypeIndex,
                                         uchar speedSteps, uchar luminanceSteps)
{
    m_EditMap = map;
    m_ModelIds = map.keys();
    m_EffectTypeIndex = EffectTypeIndex;
    // Fewer than 4 steps would make the level divisor 0: such a layout counts as 4 steps.
    m_SpeedSteps = std::max<int>(4, speedSteps);
    m_LuminanceSteps = std::max<int>(4, luminanceSteps);
    for (QSliderAlterMax *s : {ui->Backlight_Slider, ui->Back_Slider_Lumin}) {
        s->min = 10;
        s->max = 40;
        s->stepSize = 10;
    }
    ui->LightListWidget->clear();
    for (uchar model : qAsConst(m_ModelIds)) {
        auto *item = new QListWidgetItem(GetLangText(model), ui->LightListWidget);
        if (!IsLightModelSupported(model))
            item->setToolTip(GetLangText(291));
    }
    FitEffectNames(ui->LightListWidget);
    BuildAudioList(audioNames);
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
        ui->LightConfigWIdget->setTabEnabled(2, false);
}

void QLightConfigWIdget::SetCurrentTab(int index)
{
    ui->LightConfigWIdget->setCurrentIndex(index);
}

void QLightConfigWIdget::SelectEffect(int model)
{
    if (model < 0)
        return;
    const int row = m_ModelIds.indexOf(static_cast<uchar>(model & 0xFF));
    ui->LightListWidget->setCurrentRow(row < 0 ? 0 : row);
    ApplyEditFlags(EditTextOf(CurrentModel()));
    LoadModelUiValues();
}

int QLightConfigWIdget::CurrentModel() const
{
    const int row = ui->LightListWidget->currentRow();
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
    ui->Backlight_Speed->setEnabled(on);
    ui->Backlight_Slider->setEnabled(on);
    ui->Backlight_Speed_Value->setEnabled(on);
}

void QLightConfigWIdget::SetLuminRowEnabled(bool on)
{
    ui->Backlight_Lumin->setEnabled(on);
    ui->Back_Slider_Lumin->setEnabled(on);
    ui->Back_Lumin_Value->setEnabled(on);
}

void QLightConfigWIdget::ApplyEditFlags(const QString &text)
{
    if (ui->LightConfigWIdget->currentIndex() == 1)
        ApplyModelEditState(CurrentAudioId());
    if (ui->LightConfigWIdget->currentIndex() != 0)
        return; // the strip tab has no edit state
    SetSpeedRowEnabled(false);
    SetLuminRowEnabled(false);
    ui->ColourWidget_Back->SetEditEnabled(false);
    ui->ColourWidget_Back->SetMColorButtonEnabled(false);
    if (text.isEmpty())
        return;
    for (const QString &token : text.split(QLatin1Char(','))) {
        if (token == QLatin1String("EDIT_N"))
            return;
        if (token == QLatin1String("EDIT_A")) {
            SetSpeedRowEnabled(true);
            SetLuminRowEnabled(true);
            ui->ColourWidget_Back->SetEditEnabled(true);
            ui->ColourWidget_Back->SetMColorButtonEnabled(true);
            return;
        }
        if (token == QLatin1String("EDIT_M"))
            ui->ColourWidget_Back->SetMColorButtonEnabled(true);
        else if (token == QLatin1String("EDIT_S"))
            SetSpeedRowEnabled(true);
        else if (token == QLatin1String("EDIT_L"))
            SetLuminRowEnabled(true);
        else if (token == QLatin1String("EDIT_C"))
            ui->ColourWidget_Back->SetEditEnabled(true);
    }
}

void QLightConfigWIdget::LoadModelUiValues()
{
    if (ui->LightConfigWIdget->currentIndex() == 1)
        LoadAudioUiValues();
    if (ui->LightConfigWIdget->currentIndex() != 0)
        return;
    const int model = CurrentModel();
    HID_API *api = HID_API::instance();
    DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    QKeyBoradMApMange *store = device ? device->keyboardStore : nullptr;
    uint8_t speed = 0, luminance = 0, multi = 0, r = 0, g = 0, b = 0;
    if (model < 0 || !store || !store->KeyInfo(static_cast<uint8_t>(model), &speed, &luminance, &multi, &r, &g, &b))
        return;
    if (ui->ColourWidget_Back->IsGradientRampEnabled())
        ui->ColourWidget_Back->SetColour(r, g, b);
    if (ui->ColourWidget_Back->IsMColorButtonEnabled())
        ui->ColourWidget_Back->SetMColorButtonChecked(multi != 0);
    // A device value beyond the slider's range shows as the nearest step, so what is written
    // back later is always one of the slider's steps.
    if (ui->Backlight_Slider->isEnabled()) {
        const int level = std::min(4, speed / (m_SpeedSteps / 4));
        ui->Backlight_Slider->setValue(static_cast<uint>(std::max(1, level) * 10));
        ui->Backlight_Speed_Value->setText(QString::number(ui->Backlight_Slider->Value() / 10));
    }
    if (ui->Back_Slider_Lumin->isEnabled()) {
        const int level = std::min(4, luminance / (m_LuminanceSteps / 4));
        ui->Back_Slider_Lumin->setValue(static_cast<uint>(std::max(1, level) * 10));
        ui->Back_Lumin_Value->setText(QString::number(ui->Back_Slider_Lumin->Value() / 10));
    }
}

void QLightConfigWIdget::CollectEffectSettings(int &multiColour, QColor &colour, int &speed, int &luminance,
                                               const QColor &fallback) const
{
    if (ui->ColourWidget_Back->IsGradientRampEnabled()) {
        colour = ui->ColourWidget_Back->CurrentColour();
        colour.setAlpha(255);
    } else {
        colour = fallback.isValid() ? fallback : QColor(0, 0, 0);
        colour.setAlpha(0);
    }
    multiColour = ui->ColourWidget_Back->IsMColorButtonEnabled() ? (ui->ColourWidget_Back->IsMColorButtonChecked() ? 1 : 0) : -1;
    speed = ui->Backlight_Slider->isEnabled() ? SliderLevel(ui->Backlight_Slider->Value(), m_SpeedSteps) : -1;
    luminance = ui->Back_Slider_Lumin->isEnabled() ? SliderLevel(ui->Back_Slider_Lumin->Value(), m_LuminanceSteps) : -1;
}

bool QLightConfigWIdget::SaveChangeLight()
{
    // The savers of both tabs are reached after a wait (a slider's release waits first).
    if (HID_API::PageDeviceGoing())
        return false;
    if (ui->LightConfigWIdget->currentIndex() == 1)
        return SaveAudioSettings();
    if (ui->LightConfigWIdget->currentIndex() != 0)
        return false; // the strip tab writes nothing
    QListWidgetItem *item = ui->LightListWidget->currentItem();
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
    if (ui->ColourWidget_Back->IsGradientRampEnabled())
        ini->setValue(QStringLiteral("ChangeLight/Color"), ui->ColourWidget_Back->HexText());
    if (ui->ColourWidget_Back->IsMColorButtonEnabled())
        ini->setValue(QStringLiteral("ChangeLight/MColor"), ui->ColourWidget_Back->IsMColorButtonChecked() ? 1 : 0);
    if (ui->Backlight_Slider->isEnabled())
        ini->setValue(QStringLiteral("ChangeLight/Speed"), static_cast<uint>(SliderLevel(ui->Backlight_Slider->Value(), m_SpeedSteps)));
    if (ui->Back_Slider_Lumin->isEnabled())
        ini->setValue(QStringLiteral("ChangeLight/Luminance"),
                      static_cast<uint>(SliderLevel(ui->Back_Slider_Lumin->Value(), m_LuminanceSteps)));
    return CheckedSave::SyncSettings(*ini);
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
    // A keyboard that went has its own tip: its failed request is not reported as well.
    const HID_API *api = HID_API::instance();
    if (!api || !api->CurrentDevice() || HID_API::PageDeviceGoing())
        return;
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
    if (ui->LightConfigWIdget->currentIndex() == 1)
        ApplyAudioSettings();
    if (ui->LightConfigWIdget->currentIndex() != 0)
        return;
    const int row = ui->LightListWidget->currentRow();
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
    ApplyModelChange(false);
    HideBusy();
}

// ---- sequences -------------------------------------------------------------------------------

void QLightConfigWIdget::on_LightListWidget_itemClicked(QListWidgetItem *item)
{
    if (!item || item->listWidget() != ui->LightListWidget)
        return;
    if (!SaveChangeLight())
        return;
    ui->LightListWidget->setEnabled(false);
    Q_EMIT KeyResetLightModel();
    AwaitReply();
    DelayMs(300);
    ui->LightListWidget->setEnabled(true);
}

void QLightConfigWIdget::on_ChangeResetLightModelSucceed()
{
    ApplyModelChange(true);
}

// After a model change, or when the preview is switched on. A mode the keyboard refused is
// reported and not previewed: the preview would show what the keyboard does not run.
void QLightConfigWIdget::ApplyModelChange(bool fromDevice)
{
    const int model = CurrentModel();
    const bool refused = fromDevice && !DeviceWriteOk();
    if (!m_PreviewFlag || model < 0) {
        LoadModelUiValues();
        HideBusy();
        if (model >= 0)
            ApplyEditFlags(EditTextOf(model));
    } else {
        ApplyEditFlags(EditTextOf(model));
        LoadModelUiValues();
        if (!refused) {
            Q_EMIT ReSetStandardDiy(false);
            if (model == 97)
                Q_EMIT ReSetStandardDiy(true);
            StartPreview(model);
            DelayMs(100);
        }
        HideBusy();
    }
    if (refused)
        ShowFailure(GetLangText(854));
}

void QLightConfigWIdget::on_ChickColorChange(int R, int G, int B)
{
    if (ui->LightConfigWIdget->currentIndex() == 1)
        AudioColourPicked();
    if (ui->LightConfigWIdget->currentIndex() != 0)
        return;
    const bool saved = SaveChangeLight();
    if (!ui->LightListWidget->currentItem())
        return;
    if (CurrentModel() == 97) {
        Q_EMIT LightColorChange(static_cast<uchar>(R), static_cast<uchar>(G), static_cast<uchar>(B));
        return;
    }
    if (!saved)
        return;
    ShowBusy();
    DelayMs(100);
    ui->ColourWidget_Back->SetMColorButtonChecked(false);
    Q_EMIT KeyResetLightModelColor();
    AwaitReply();
}

void QLightConfigWIdget::On_LightColorCHangeSucceed()
{
    if (m_PreviewFlag) {
        if (DeviceWriteOk())
            StartPreview(CurrentModel());
        else
            ShowFailure(GetLangText(855));
    }
    HideBusy();
}

void QLightConfigWIdget::on_MoreColorChange(bool OPen)
{
    const bool saved = SaveChangeLight();
    ShowBusy();
    if (ui->LightConfigWIdget->currentIndex() == 1) {
        ApplyTabSettings();
        HideBusy();
        return;
    }
    if (ui->LightConfigWIdget->currentIndex() == 0 && ui->LightListWidget->currentItem() && saved) {
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
        ShowFailure(GetLangText(856));
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
    if (ui->LightConfigWIdget->currentIndex() != 0) {
        ApplyTabSettings();
        DelayMs(100);
        HideBusy();
        return;
    }
    if (ui->LightListWidget->currentItem() && saved) {
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
        ShowFailure(GetLangText(857));
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
    ui->Backlight_Speed_Value->setText(QString::number(value / 10));
}

void QLightConfigWIdget::on_Back_Slider_Lumin_valueChanged(uint value)
{
    ui->Back_Lumin_Value->setText(QString::number(value / 10));
}

void QLightConfigWIdget::on_Audin_Gian_Slider_valueChanged(uint value)
{
    ui->Audin_Gian_Value->setText(QString::asprintf("%.1f", (value / 10) * 0.1));
}

void QLightConfigWIdget::on_Audio_Slider_Smoot_valueChanged(uint value)
{
    ui->Audio_Smoot_Value->setText(QString::number(value / 10));
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
    ui->LightListWidget->setCurrentRow(row);
    if (row < 0)
        ui->LightListWidget->clearSelection();
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
            if (worker && board) {
                // The board shows the copy and releases only frames of its pool: the copy is ours.
                const std::unique_ptr<uchar, decltype(&free)> map(worker->DiyColorMap(), &free);
                board->on_DispDiyEffect(map.get());
            }
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
    ui->LightConfigWIdget->setCurrentIndex(index);
    if (index == 1)
        OpenAudioTab();
}

void QLightConfigWIdget::ShowMask(bool found)
{
    if (m_MaskLabel) {
        m_MaskLabel->close();
        m_MaskLabel->deleteLater();
        m_MaskLabel = nullptr;
    }
    if (found) {
        ui->TabAudionPage->setEnabled(true);
        return;
    }
    auto *mask = new QLabel(ui->TabAudionPage);
    mask->setGeometry(QRect(QPoint(2, 2), QPoint(width() - 7, height() - 6)));
    mask->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 150);border-radius:10px;"));
    mask->show();
    m_MaskLabel = mask;
    if (ui->AudionLightWidget->count() > 0)
        ui->AudionLightWidget->setCurrentRow(ui->AudionLightWidget->count() - 1);
    ui->TabAudionPage->setEnabled(false);
}

void QLightConfigWIdget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    Q_EMIT endLightPage();
}
