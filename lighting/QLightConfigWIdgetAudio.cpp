// The audio lighting tab of the lighting page: the audio effect list, each effect's settings in
#include "app/CheckedSave.h"
// "rhythmLight.ini", the hand-over to the audio monitor and the raised sleep of a wireless keyboard.
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyBoradMApMange.h"
#include "lighting/AudioMonitor.h"
#include "lighting/LightRowsFile.h"
#include "lighting/QLightConfigWIdget.h"
#include "widgets/AppFont.h"
#include "widgets/QEditColourDialog.h"
#include "widgets/QSliderAlterMax.h"

#include <QEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTabWidget>
#include <cstdlib>
#include <memory>

namespace {
constexpr uint kLightOff = 98;
// The sleep value an audio effect holds the wireless keyboard at; a stored 1..39 goes back.
constexpr uint8_t kAudioSleep = 40;

struct AudioName
{
    uint id;
    const char *name;
};
const AudioName kAudioNames[] = {{168, "Audio_dance_Soft"},    {169, "Dazzling_rock"},
                                 {170, "Clouds_Rise_and_snow_fly"}, {171, "Light_Field_Change"},
                                 {172, "The_gurgling_stream"}, {173, "Blooming_passion"},
                                 {428, "Dynamic_Spectrum"},    {kLightOff, "LIGHT_OFF"}};

const QString kLightOffName = QStringLiteral("LIGHT_OFF");

struct FreeBlock
{
    void operator()(uint8_t *p) const { std::free(p); }
};
} // namespace

QString QLightConfigWIdget::AudioEffectName(uint id)
{
    for (const AudioName &n : kAudioNames)
        if (n.id == id)
            return QString::fromLatin1(n.name);
    return QString();
}

uint QLightConfigWIdget::AudioEffectIdFromName(const QString &name)
{
    for (const AudioName &n : kAudioNames)
        if (name == QLatin1String(n.name))
            return n.id;
    return kLightOff;
}

void QLightConfigWIdget::BuildAudioList(const QString &audioNames)
{
    m_AudioIds.clear();
    m_LastAudioItem = nullptr; // the items it pointed at go with the list
    ui->AudionLightWidget->clear();
    QString text = audioNames;
    for (const QString &part : text.remove(QLatin1Char('@')).split(QLatin1Char('|'))) {
        const uint id = part.toUInt(); // a part that is not a number is 0
        m_AudioIds.append(id);
        new QListWidgetItem(GetLangText(id), ui->AudionLightWidget);
    }
    FitEffectNames(ui->AudionLightWidget);
}

uint QLightConfigWIdget::CurrentAudioId() const
{
    const int row = ui->AudionLightWidget->currentRow();
    return row >= 0 && row < m_AudioIds.size() ? m_AudioIds.at(row) : 0;
}

void QLightConfigWIdget::ApplyModelEditState(uint id)
{
    // These effects take their colours from the spectrum itself and have no gain or smoothing.
    const bool editable = id != kLightOff && id != 428 && id != 171;
    ui->ColourWidget_Audion->SetEditEnabled(editable);
    for (QWidget *w : {static_cast<QWidget *>(ui->Audion_Gian_Label), static_cast<QWidget *>(ui->Audin_Gian_Slider),
                       static_cast<QWidget *>(ui->Audin_Gian_Value), static_cast<QWidget *>(ui->Audin_Gian_Info_Label),
                       static_cast<QWidget *>(ui->line_7), static_cast<QWidget *>(ui->Audio_Smoot_Label),
                       static_cast<QWidget *>(ui->Audio_Slider_Smoot), static_cast<QWidget *>(ui->Audio_Smoot_Value),
                       static_cast<QWidget *>(ui->Audio_Smoot_Info_Label), static_cast<QWidget *>(ui->line_8)})
        w->setVisible(editable);
}

void QLightConfigWIdget::ShowAudioValues(const AudioEffectSettings &s)
{
    ui->EditVertrefresh->setText(QString::number(s.GrabAudioTime));
    ui->Audin_Gian_Slider->setValue(s.SliderGain);
    ui->Audio_Slider_Smoot->setValue(s.SliderSmooth);
    ui->Audin_Gian_Value->setText(QString::asprintf("%0.1f", s.SliderGain / 100.0));
    ui->Audio_Smoot_Value->setText(QString::number(s.SliderSmooth / 10));
    ui->ColourWidget_Audion->SetColour(static_cast<uchar>(s.R), static_cast<uchar>(s.G), static_cast<uchar>(s.B));
    ui->ColourWidget_Audion->SetMColorButtonChecked(s.MColour);
}

static AudioEffectSettings ReadStoredSettings(const QString &name)
{
    const std::unique_ptr<QSettings> ini(OpenRhythmLightIni());
    return ini ? LightRowsFile::ReadAudioSettings(*ini, name) : AudioEffectSettings();
}

static void HandOver(uint id, const AudioEffectSettings &s)
{
    if (AudioMonitor *audio = AudioMonitor::instance())
        audio->on_SetAudioEffectModel(static_cast<ushort>(id), s.MColour, s.GrabAudioTime, static_cast<uchar>(s.R),
                                      static_cast<uchar>(s.G), static_cast<uchar>(s.B), s.SliderGain, s.SliderSmooth);
}

void QLightConfigWIdget::LoadAudioUiValues()
{
    const QString name = AudioEffectName(CurrentAudioId());
    if (name.isEmpty())
        return;
    if (name == kLightOffName) {
        // The effect stops before the keyboard's sleep goes back: no frame streams while the
        // configuration block is sent.
        HandOver(kLightOff, AudioEffectSettings());
        RestoreDefaultSleep(kLightOff);
        return;
    }
    const AudioEffectSettings s = ReadStoredSettings(name);
    ShowAudioValues(s);
    const uint id = AudioEffectIdFromName(name);
    ApplyModelEditState(id);
    RestoreDefaultSleep(id);
    HandOver(id, s);
}

void QLightConfigWIdget::on_AudionLightWidget_itemClicked(QListWidgetItem *item)
{
    if (!item || item == m_LastAudioItem)
        return;
    m_LastAudioItem = item;
    ApplyEditFlags(QString());
    LoadModelUiValues();
    const QString name = AudioEffectName(CurrentAudioId());
    if (ui->LightConfigWIdget->currentIndex() != 1 || name.isEmpty())
        return;
    const std::unique_ptr<QSettings> ini(OpenRhythmLightIni());
    if (!ini)
        return;
    ini->setValue(QStringLiteral("AudioParam/DefaultAudio"), name);
    ini->setValue(QStringLiteral("AudioParam/OPen"), name != kLightOffName);
}

bool QLightConfigWIdget::SaveAudioSettings()
{
    const QString name = AudioEffectName(CurrentAudioId());
    const std::unique_ptr<QSettings> ini(name.isEmpty() ? nullptr : OpenRhythmLightIni());
    if (!ini)
        return false;
    if (name == kLightOffName) {
        ini->setValue(QStringLiteral("AudioParam/OPen"), false);
    } else {
        const QColor c = ui->ColourWidget_Audion->CurrentColour();
        ini->setValue(name + QStringLiteral("/LabelColorMap"), QString::asprintf("%d,%d,%d", c.red(), c.green(), c.blue()));
        ini->setValue(name + QStringLiteral("/MColour"), ui->ColourWidget_Audion->IsMColorButtonChecked());
        ini->setValue(name + QStringLiteral("/SliderGain"), ui->Audin_Gian_Slider->Value());
        ini->setValue(name + QStringLiteral("/SliderSmooth"), ui->Audio_Slider_Smoot->Value());
        ini->setValue(QStringLiteral("AudioParam/DefaultAudio"), name);
        ini->setValue(QStringLiteral("AudioParam/OPen"), true);
    }
    return CheckedSave::SyncSettings(*ini);
}

void QLightConfigWIdget::ApplyAudioSettings()
{
    DelayMs(100);
    AudioMonitor *audio = AudioMonitor::instance();
    if (!audio)
        return;
    const QColor c = ui->ColourWidget_Audion->CurrentColour();
    audio->on_AudionLightColorChange(static_cast<uchar>(c.red()), static_cast<uchar>(c.green()),
                                     static_cast<uchar>(c.blue()));
    audio->on_setAudionGian(ui->Audin_Gian_Slider->Value() / 100.0);
    audio->on_setAudionSmooth(ui->Audio_Slider_Smoot->Value() / 10.0);
    audio->on_setMoreAudionColor(ui->ColourWidget_Audion->IsMColorButtonChecked());
}

void QLightConfigWIdget::AudioColourPicked()
{
    ShowBusy();
    DelayMs(100);
    AudioMonitor *audio = AudioMonitor::instance();
    if (ui->ColourWidget_Audion->IsMColorButtonChecked()) {
        ui->ColourWidget_Audion->SetMColorButtonChecked(false);
        if (audio)
            audio->on_setMoreAudionColor(false);
    }
    const QColor c = ui->ColourWidget_Audion->CurrentColour();
    if (audio)
        audio->on_AudionLightColorChange(static_cast<uchar>(c.red()), static_cast<uchar>(c.green()),
                                         static_cast<uchar>(c.blue()));
    const QString name = AudioEffectName(CurrentAudioId());
    // The keyboard may have gone in the wait above: its file stays as it was.
    const std::unique_ptr<QSettings> ini(name.isEmpty() || HID_API::PageDeviceGoing() ? nullptr : OpenRhythmLightIni());
    if (ini && name == kLightOffName) {
        ini->setValue(QStringLiteral("AudioParam/OPen"), false);
    } else if (ini) {
        ini->setValue(name + QStringLiteral("/LabelColorMap"), QString::asprintf("%d,%d,%d", c.red(), c.green(), c.blue()));
        ini->setValue(name + QStringLiteral("/MColour"), ui->ColourWidget_Audion->IsMColorButtonChecked());
    }
    HideBusy();
}

// A wireless keyboard would fall asleep while only sound drives its lights: an audio effect holds
// its sleep at 40 and LIGHT_OFF puts the replaced value back. The block goes through the worker
// manager, so it never interleaves with the worker's own requests.
void QLightConfigWIdget::RestoreDefaultSleep(uint id)
{
    HID_API *api = HID_API::instance();
    DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    if (!device || !device->keyboardStore)
        return;
    const uint8_t state = device->connectionState;
    if ((state != StateWirelessAwake && state != StateWirelessAsleep) || (device->subType != 1 && device->subType != 2))
        return;
    const int pos = api->SleepPos.load();
    if (pos < 0 || pos >= QKeyBoradMApMange::kBlockSize)
        return; // the layout names no sleep byte the block holds
    QKeyBoradMApMange *store = device->keyboardStore;
    const std::unique_ptr<uint8_t, FreeBlock> block(store->KeyBlockCopy(QKeyBoradMApMange::kMapSize));
    const uint8_t current = block.get()[pos];
    QString tip;
    if (id == kLightOff) {
        if (current != kAudioSleep)
            return;
        MainWidget *main = MainWidget::instance();
        const std::unique_ptr<QSettings> ini(main ? main->OpenProductDataIni() : nullptr);
        // Only a value that was stored goes back: a missing key would read 0, "never sleep".
        const int stored = ini ? ini->value(QStringLiteral("user/KeybordAudioSleep"), 0).toInt() : 0;
        if (stored < 1 || stored > kAudioSleep)
            return;
        ShowBusy();
        block.get()[pos] = static_cast<uint8_t>(stored);
        tip = GetLangText(858);
    } else {
        if (current < 1 || current >= kAudioSleep)
            return;
        ShowBusy();
        m_SavedSleep = current;
        if (MainWidget *main = MainWidget::instance()) {
            const std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
            if (ini)
                ini->setValue(QStringLiteral("user/KeybordAudioSleep"), int(current));
        }
        block.get()[pos] = kAudioSleep;
        tip = GetLangText(859);
    }
    store->SetKeyBlock(block.get(), QKeyBoradMApMange::kMapSize, false);
    QHid_Threads_Manage *manager = api->Manager();
    if (manager && manager->CurrentWorker()) {
        manager->on_KeyBoradConfigPramChange(block.get()); // copied into the request
        ShowTip(tip);
    }
    HideBusy();
}

void QLightConfigWIdget::ShowTip(const QString &text)
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowBottomTip(QString(), text);
}

void QLightConfigWIdget::OpenAudioTab()
{
    const std::unique_ptr<QSettings> ini(OpenRhythmLightIni());
    uint id = kLightOff;
    if (ini && ini->value(QStringLiteral("AudioParam/OPen"), false).toBool()) {
        id = AudioEffectIdFromName(ini->value(QStringLiteral("AudioParam/DefaultAudio")).toString());
        if (id != kLightOff) {
            const AudioEffectSettings s = LightRowsFile::ReadAudioSettings(*ini, AudioEffectName(id));
            ShowAudioValues(s);
            ApplyModelEditState(id);
            HandOver(id, s);
        }
    }
    if (id == kLightOff) {
        ApplyModelEditState(kLightOff);
        HandOver(kLightOff, AudioEffectSettings());
    }
    const int row = m_AudioIds.indexOf(id);
    if (row >= 0)
        ui->AudionLightWidget->setCurrentRow(row);
}

// An effect name is shown whole: in a smaller font or on two lines where the list is too narrow
// for it (a row is 30 px high; its left padding and the text margins take 20 px).
void QLightConfigWIdget::FitEffectNames(QListWidget *list)
{
    FitListItemFonts(list, 20, list->viewport()->width() - 20, 30);
}

bool QLightConfigWIdget::eventFilter(QObject *watched, QEvent *event)
{
    // Only a new width changes what fits: a height change (a scroll bar coming) refits nothing.
    if (event->type() == QEvent::Resize
        && (watched == ui->LightListWidget->viewport() || watched == ui->AudionLightWidget->viewport())
        && static_cast<QResizeEvent *>(event)->size().width() != static_cast<QResizeEvent *>(event)->oldSize().width())
        FitEffectNames(static_cast<QListWidget *>(watched->parent()));
    if (watched == ui->EditVertrefresh) {
        const bool enter = event->type() == QEvent::KeyPress &&
                           (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return ||
                            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter);
        if (enter || event->type() == QEvent::FocusOut)
            on_EditVertrefresh_EditFinished();
    }
    return QWidget::eventFilter(watched, event);
}

void QLightConfigWIdget::on_EditVertrefresh_EditFinished()
{
    const QString name = AudioEffectName(CurrentAudioId());
    if (m_IntervalEditing || name.isEmpty() || name == kLightOffName)
        return;
    const std::unique_ptr<QSettings> ini(OpenRhythmLightIni());
    const uint stored = ini ? ini->value(name + QStringLiteral("/GrabAudioTime")).toUInt() : 0;
    bool ok = false;
    const int value = ui->EditVertrefresh->text().toInt(&ok);
    if (!ok || value < m_GrabTimeMin || value > m_GrabTimeMax) {
        ui->EditVertrefresh->setText(QString::number(stored));
        return;
    }
    m_IntervalEditing = true;
    ui->EditVertrefresh->clearFocus();
    m_IntervalEditing = false;
    Q_EMIT ResetAudionGrabTime(static_cast<uint>(value));
    if (ini)
        ini->setValue(name + QStringLiteral("/GrabAudioTime"), value);
}

void QLightConfigWIdget::on_ButRefurshButtonchect()
{
    AudioMonitor *audio = AudioMonitor::instance();
    if (!audio)
        return;
    ShowBusy();
    ApplyModelEditState(kLightOff);
    audio->on_SetAudioEffectModel(kLightOff, false, 0, 0, 0, 0, 0.0, 0.0);
    if (audio->Reinitialize() == -1) {
        ShowTip(GetLangText(860));
        if (ui->AudionLightWidget->count() > 0)
            ui->AudionLightWidget->setCurrentRow(ui->AudionLightWidget->count() - 1);
    } else {
        ShowTip(GetLangText(861));
        // The refresh switched the effect off: the current row is handed over again, not taken
        // for a repeated click.
        m_LastAudioItem = nullptr;
        on_AudionLightWidget_itemClicked(ui->AudionLightWidget->currentItem());
    }
    HideBusy();
}
