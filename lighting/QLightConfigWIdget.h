#pragma once
#include "keyboard/LayoutKeyRecord.h"
#include "lighting/Ui_QLightConfigWIdget.h"

#include <QColor>
#include <QLabel>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

class QListWidget;
class QListWidgetItem;
struct AudioEffectSettings;

// The lighting sub-page of the keyboard page: the keyboard's lighting mode with its colour,
// multi-colour switch, speed and brightness. A choice is written to the "ChangeLight" keys of the
// product data INI and requested from the worker manager; once the keyboard has acknowledged it,
// the host effect thread previews it on the on-screen keyboard. Three tabs (backlight, audio
// lighting, light strip) behind a hidden tab bar; the keyboard page chooses the tab.
class QLightConfigWIdget : public QWidget
{
    Q_OBJECT
public:
    explicit QLightConfigWIdget(QWidget *parent = nullptr);
    ~QLightConfigWIdget() override;
    static QLightConfigWIdget *instance();

    // What the keyboard page calls while it builds its page, in this order.
    void BuildEffectList(const LayoutEffectTable &map, const QString &audioNames, quint16 EffectTypeIndex,
                         uchar speedSteps, uchar luminanceSteps);
    void SetStripTabEnabled(bool enabled);
    void SelectEffect(int model);
    void SetCurrentTab(int index);

    // The device reported a lighting change made on the keyboard itself.
    void RefreshFromConfig();
    // The lighting model of the backlight list's current row; -1 without one.
    int CurrentEffectFlag() const;
    // Whether an audio output was found: false lays a dark mask over the audio tab.
    void ShowMask(bool found);
    bool Masked() const { return m_MaskLabel != nullptr; }
    // The host preview runs only while this is set (the keyboard page's display switch).
    bool IsPreviewRunning() const { return m_PreviewFlag != 0; }

    // The level the device takes for a slider position (10..40) with a layout step count.
    static int SliderLevel(unsigned int position, int steps);
    // Whether "rhythmLight.ini" of the current product lists the model's rows.
    static bool IsLightModelSupported(int model);

    QList<uchar> ModelIds() const { return m_ModelIds; }
    int SpeedSteps() const { return m_SpeedSteps; }
    int LuminanceSteps() const { return m_LuminanceSteps; }
    quint16 EffectTypeIndex() const { return m_EffectTypeIndex; }
    QList<uint> AudioIds() const { return m_AudioIds; }

    // An audio effect's type code and its group name in "rhythmLight.ini"; an unknown code has
    // the empty name, an unknown name means 98 (LIGHT_OFF).
    static QString AudioEffectName(uint id);
    static uint AudioEffectIdFromName(const QString &name);

Q_SIGNALS:
    void ChangLightModel(int model, int MColour, int Speed, int Luminance, uchar _R, uchar _G, uchar _B);
    void KeyBoradLightSleep_Lumina();
    void endLightPage();
    void ReSetStandardDiy(bool diy);
    void PageChange(uchar pageid);
    void LightColorChange(uchar R, uchar G, uchar B);
    void ResetAudionGrabTime(uint time);
    void KeyResetLightModelColor();
    void KeyResetLightModel();
    void _KeyBoradLightSleep_Lumina(int Speed, int Luminance);
    void KeyBoradLightMColor();

public Q_SLOTS:
    void on_SwtchDispStatic(bool Open);
    void on_LightConfigWIdget_ReChanged(int index);
    void on_LanguageChange();
    // Replies of the keyboard worker, relayed by the worker manager.
    void on_ChangeResetLightModelSucceed();
    void On_LightColorCHangeSucceed();
    void on_MoreColorChangeSucceed();
    void on_LightSleep_LuminaCHangeSucceed();

    void on_LightListWidget_itemClicked(QListWidgetItem *item);
    void on_AudionLightWidget_itemClicked(QListWidgetItem *item);
    void on_ChickColorChange(int R, int G, int B);
    void on_MoreColorChange(bool OPen);
    void on_sliderReleased();
    void on_Backlight_Slider_valueChanged(uint value);
    void on_Back_Slider_Lumin_valueChanged(uint value);
    void on_Audin_Gian_Slider_valueChanged(uint value);
    void on_Audio_Slider_Smoot_valueChanged(uint value);
    void on_ButRefurshButtonchect();
    void on_LightConfigWIdget_currentChanged(int index);
    void on_EditVertrefresh_EditFinished();

protected:
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void InitPage();
    void ConnectSignals();
    void FitEffectNames(QListWidget *list);

    void ApplyModelChange(bool fromDevice);
    void ApplyEditFlags(const QString &text);
    void LoadModelUiValues();
    bool SaveChangeLight(); // false: nothing written (no row, no data file, another tab, keyboard gone)
    void AwaitReply();
    void CollectEffectSettings(int &multiColour, QColor &colour, int &speed, int &luminance, const QColor &fallback) const;
    void ApplyTabSettings();
    void StartPreview(int model);
    QString EditTextOf(int model) const;
    int CurrentModel() const; // model of the current row, -1 without one
    void SetSpeedRowEnabled(bool on);
    void SetLuminRowEnabled(bool on);
    void ShowBusy();
    void HideBusy();
    bool DeviceWriteOk() const;
    void ShowFailure(const QString &text);

    // The audio tab.
    void BuildAudioList(const QString &audioNames);
    void ApplyModelEditState(uint id);
    void LoadAudioUiValues();
    void ShowAudioValues(const AudioEffectSettings &s);
    bool SaveAudioSettings();
    void ApplyAudioSettings();
    void AudioColourPicked();
    void RestoreDefaultSleep(uint id);
    void OpenAudioTab();
    uint CurrentAudioId() const; // 0 without a current row
    static void ShowTip(const QString &text);

public:
    // The form (object names as the style sheets select them).
    std::unique_ptr<Ui_QLightConfigWIdget> ui;

private:
    uchar m_PreviewFlag = 0;
    QList<uint> m_AudioIds;
    int m_SpeedSteps = 4;
    int m_LuminanceSteps = 4;
    QList<uchar> m_ModelIds;
    LayoutEffectTable m_EditMap;
    quint16 m_EffectTypeIndex = 17;
    QListWidgetItem *m_LastAudioItem = nullptr;
    int m_GrabTimeMin = 30;
    int m_GrabTimeMax = 500;
    QPointer<QLabel> m_MaskLabel;
    uchar m_SavedSleep = 2;
    bool m_IntervalEditing = false; // the focus loss of an accepted interval is not a second edit
    // Hides the busy indicator when a request's reply never comes (the keyboard went away).
    QTimer m_ReplyWatch;
    static QLightConfigWIdget *s_instance;
};
