#pragma once
// The mouse device page: a left column of four buttons over four inner pages (button
// assignment, DPI stages and presets, mouse settings, firmware and reset). The settings page
// shows what the mouse's worker read into its MouseConfigRecord; each change the user makes is
// written to "MouseParamConfig.ini" and then announced with its mouse change code.
#include <QVector>
#include <QWidget>

struct DownTask;
struct MouseConfigRecord;
class QABstractButton;
class QACombxBox;
class QButtonGroup;
class QDispRedCircle;
class QLabel;
class QLStyleBoraWidget;
class QPushButton;
class QQuorixStyDpiPage;
class QRadioButton;
class QSliderAlterMax;
class QTabWidget;

class QLStyleMouseTabWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QLStyleMouseTabWidget(QWidget *parent = nullptr);
    ~QLStyleMouseTabWidget() override;
    static QLStyleMouseTabWidget *instance();

    void LoadProductItems(const QString &productFolder);
    void CloseTabs();
    void RefreshFirmwareInfo();
    QString LoadedProduct() const { return m_product; }
    // Whether a device's settings are shown (from ConfigMouse to leaving the page).
    bool IsDeviceLoaded() const { return m_loaded; }

    // The mouse button whose assignment is written next; 0xFF means all back to defaults.
    uchar m_CurrentKeyIndex = 0;
    // The firmware rows' states from the last RefreshFirmwareInfo, as the device list gives
    // them: 0 no update over this connection, 1 or 4 nothing newer, else newer firmware listed.
    uchar m_FirmwareStatus = 0;
    uchar m_RxFirmwareStatus = 0;

    // ---- the form ----
    QPushButton *ButExit = nullptr;
    QLabel *label = nullptr;         // page title
    QLabel *ProductLabel = nullptr;
    QRadioButton *ButKeySet = nullptr;
    QRadioButton *ButDpi = nullptr;
    QRadioButton *ButConfigPar = nullptr;
    QRadioButton *Butset = nullptr;
    QTabWidget *MaIntabwidget = nullptr;
    QLStyleBoraWidget *m_LStyleBoraWidget = nullptr; // inner page 0
    QQuorixStyDpiPage *m_DPIWidget = nullptr;        // inner page 1
    QWidget *tab = nullptr;                          // inner page 2: settings
    QWidget *tab_2 = nullptr;                        // inner page 3: firmware and reset
    QSliderAlterMax *SleepSlider = nullptr;
    QLabel *label_26 = nullptr;
    QLabel *label_2 = nullptr;
    QACombxBox *LodCombox = nullptr;
    QLabel *label_25 = nullptr;
    QACombxBox *MotionCombox = nullptr;
    QLabel *label_4 = nullptr;
    QACombxBox *modifiedCombox = nullptr;
    QLabel *label_16 = nullptr;
    QSliderAlterMax *ShakeSlider = nullptr;
    QLabel *label_27 = nullptr;
    QLabel *label_19 = nullptr;
    QACombxBox *RippleCombox = nullptr;
    QLabel *label_22 = nullptr;
    QLabel *FwLabel = nullptr;
    QLabel *FwInfoLabel = nullptr;
    QPushButton *FwButUpdata = nullptr;
    QWidget *RX_FW_Widget = nullptr;
    QLabel *RxLabel = nullptr;
    QLabel *RxInfoLabel = nullptr;
    QPushButton *RxButupdata = nullptr;
    QLabel *label_33 = nullptr;
    QLabel *label_34 = nullptr;
    QPushButton *ButResetConfig = nullptr;
    QDispRedCircle *UpdateMarker = nullptr;

Q_SIGNALS:
    void Cleartabs();
    void Exit();
    void ChangeMousePram(uchar code, uint v1, uint v2, uint v3, uint v4);
    void ResetMouseCofig();
    void UpdataMouseConfigPram(uchar code);

public Q_SLOTS:
    void ConfigMouse(MouseConfigRecord *record);
    void ButExit_on_clicked();
    void on_RefreshLangual();
    void on_MacroFileChangge(const QString &file);
    void on_UpdataMouseRor();
    void on_ThreadDPichange(uint comid, int v);
    void butlefit_on_buttonClicked(int buttonId);
    void on_ButResetConfigClicked();
    void on_currentIndexChanged(int index);
    void on_SleepSlider_valueChanged(uint value);
    void on_SleepSlider_sliderReleased(uint value);
    void on_ShakeSlider_valueChanged(uint value);
    void on_ShakeSlider_sliderReleased(uint value);
    void on_MaIntabwidget_currentChanged(int index);
    void on_FW_ButUpdata_clicked();
    void on_RX_ButUpdata_clicked();
    void on_TaskEnd(DownTask **Tasks, int Count);

private Q_SLOTS:
    void on_Cleared();

private:
    void setupUi();
    QWidget *BuildSettingsPage();
    QWidget *BuildResetPage();
    void InitWidgets();
    void ConnectSignals();
    void LoadMouseConfig(const MouseConfigRecord &record);
    void ResetControls();
    void SaveMouseParam(QWidget *control);
    static void SetActive(QACombxBox *box, bool active);
    void OnFirmwareButton(uchar status, uint unavailableText);
    void StartFirmwareDownload();
    static void SetButtonTextFitted(QPushButton *button, const QString &text);

    QButtonGroup *m_buttons = nullptr;
    QString m_product;
    bool m_loaded = false;
    quint64 m_fill = 0;       // counts the page's fillings and emptyings
    bool m_leaveHeld = false; // a leave asked inside a wait follows it
    // Slider ranges of the loaded mouse (ten times the device's units): a text refresh keeps them.
    bool m_sleepRangeLoaded = false;
    // Firmware downloads this page queued and the download manager has not handed back yet.
    QVector<DownTask *> m_firmwareTasks;
    uint32_t m_firmwareDevice = 0; // the device (tile id) those tasks update
    QMetaObject::Connection m_taskEndConnection;

    static QLStyleMouseTabWidget *s_instance;
};
