#pragma once
#include "keyboard/KeyValueInfo.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "widgets/QDisplayInformation.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QHBoxLayout;
class QKeyBoradConfigSet;
class QHid_Work_Interface;
class QLabel;
class QLayerNavigationBar;
class QLeftMuenTabWidget;
class QLightConfigWIdget;
class QConfigList;
class KeyConfigChoice;
class QMultifunKeyBoard;
class QPushButton;
class QQuorixLabel;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class RectSwitchButton;

// The keyboard device page: key assignment on the on-screen keyboard with the configuration
// tabs beside it, the lighting sub-pages, the keyboard settings and the restore row. Built once;
// filled by BuildPage for the keyboard opened from its tile and emptied when it is left.
class QLStyleKeybordTabWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QLStyleKeybordTabWidget(QWidget *parent = nullptr);
    ~QLStyleKeybordTabWidget() override;
    static QLStyleKeybordTabWidget *instance();

    // Fills the page for a product folder (its layout, configuration list and current user
    // configuration); the current device's store decides the effect shown.
    void BuildPage(const QString &productFolder);
    // Empties the page; the main window stays on the page it shows.
    void ExitPage();
    QString BuiltProduct() const { return m_product; }
    QMultifunKeyBoard *KeyBoard() const { return KeyBoardWidget_Pro; }
    QLightConfigWIdget *LightPage() const { return LightValueSet; }
    QList<QConfigList *> ConfigLists() const { return ConfigTabPages; }

    // What the on-screen keyboard and the key-assignment store read of the page.
    int LevelComboIndex() const;
    void SetLevelComboIndex(int index);
    QStringList LevelComboItems() const;
    bool IsDisplayOn() const;
    void SetDisplayOn(bool on);
    uchar LightSubPage = 1; // 1 backlight, 2 audio light, 3 light strip
    uchar DiyCount = 126;   // distance of the planes of the self-define colour map
    quint16 EffectTypeIndex = 17;
    uchar LuminanceSteps = 4;

    // The file of the current user configuration ("default/UserConfig" of the product data INI):
    // the one path of saving, backing up and restoring key assignments; empty for a name that
    // would leave the "UserConfig" folder.
    QString CurrentConfigPath() const;
    void SetConfigName(const QString &name);

    // The value pop-up of an on-screen key: at most one at a time.
    void ShowKeyInfoPopup(const QString &title, const QString &text);
    void HidePopup();
    QDisplayInformation *Popup() const;

    void BuildConfigButtons(const QString &file);
    void RefreshMacroTab();

Q_SIGNALS:
    void KeybortCleartabs();
    void _TabChangeLayerkeyWidget(uchar id);
    void SetKeyboardKeys(const QString &file, uchar layer);
    void ResetKeyboradConfig(const QString &file);
    void PageChange(uchar page);

public Q_SLOTS:
    void ButExit_on_clicked();
    void on_RefreshLangual();
    void on_LanguageChange();
    void on_butlefit_on_buttonClicked(QAbstractButton *but);
    void on_DispNotEffct(bool op);
    void on_MacroFileChangge(const QString &file);
    void on_MarcoQuitPage();
    void on_InputKeyBoradLightChange();
    void on_InputKeyBoradLuckWinChange();
    void on_TaskRunBegin();
    void on_TabBarClicked(int buttonid);
    void on_LayerbarButtonChange(int id);
    void on_ButResetConfing_clicked();
    void on_RestDispText(int id);
    // Saves the key assignments of every layer to the current configuration and has the worker
    // manager send them; a save that fails sends nothing and puts the backup back.
    void ON_SAEVE(bool openac = true);
    // Refills the macro rows of the key-definition tab's configuration list; nothing while the
    // page has no such list.
    void ShowLightingTabItems();
    // Starts making a user configuration of the folder the keyboard's own (KeyConfigChoice);
    // the page shows it once the keyboard has taken it. A refusal says why.
    void on_ConfigDirs_Itemclicked(QString itemtext);
    void on_ChoiceSends();
    void on_ChoiceFinished(bool chosen, QString name, QString text);
    // The keyboard's answer to a key write: to the choice on its way, else to the page's save.
    void on_KeysWritten(bool succeeded);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupUi();
    void InitWidgets();
    void Leave(bool toDeviceList);
    QStringList LayerNames() const;
    void TurnOffDisplaySwitch();
    void CheckSpeaker();
    void PlaceWidgets();
    // True when the page was left (or rebuilt) since fill was taken.
    bool Stale(quint64 fill) const { return fill != m_fill; }

public:
    // The form.
    QLayerNavigationBar *TopLayerbarWidget = nullptr;
    QLabel *TopLabel = nullptr;
    QPushButton *ButExit = nullptr;
    QWidget *LightModelWidget = nullptr;
    QRadioButton *ButBaseLight = nullptr, *ButAudionLight = nullptr, *ButTileLight = nullptr;
    QLabel *label = nullptr;
    QComboBox *LevaCombox = nullptr;
    QWidget *LiftButtons = nullptr;
    QRadioButton *ButBora = nullptr, *ButLight = nullptr, *ButKeyFour = nullptr, *ButSysSet = nullptr;
    QTabWidget *MainTabWidget = nullptr;
    QWidget *tab = nullptr, *KeyBoardSet = nullptr, *FunctionSet = nullptr, *SysTimeSet = nullptr;
    QKeyBoradConfigSet *KeyBoradConfigSet = nullptr;
    QStackedWidget *EffctAndKeyboardTab = nullptr;
    QLightConfigWIdget *LightValueSet = nullptr;
    QWidget *KeyValueSet = nullptr;
    QWidget *LeftWidget = nullptr, *TopButtonWidget = nullptr, *Tab_BarWidget = nullptr;
    QLabel *ConfigenameLabel = nullptr;
    QHBoxLayout *Tab_Button_Layout = nullptr;
    QLeftMuenTabWidget *KeyBoradValueWdiget = nullptr;
    QMultifunKeyBoard *KeyBoardWidget_Pro = nullptr;
    QLabel *DispInfoLabel = nullptr;
    QWidget *SelectDIspWidget = nullptr;
    QLabel *label_7 = nullptr;
    RectSwitchButton *ButDIpsAc = nullptr;
    QWidget *widget = nullptr, *RX_FW_Widget = nullptr, *widget_2 = nullptr;
    QQuorixLabel *FwLabel = nullptr, *RxLabel = nullptr, *label_5 = nullptr;
    QLabel *FwInfoLabel = nullptr, *RxFwInfoLabel = nullptr;
    QPushButton *FwButUpdata = nullptr, *RxButupdata = nullptr, *ButResetConfing = nullptr;

    QButtonGroup *LeftButtonGroup = nullptr;
    QButtonGroup *LightButtonGroup = nullptr;
    QButtonGroup *ConfigButtonGroup = nullptr;

private:
    QList<QConfigList *> ConfigTabPages;
    QString LayerTexts;
    QString m_product;
    QString m_configName;
    KeyConfigChoice *m_choice = nullptr;
    quint64 m_fill = 0;
    bool m_leaveHeld = false; // a leave asked inside a wait follows it
    QPointer<QHid_Work_Interface> m_worker;
    QList<QMetaObject::Connection> m_workerConnections;
    QPointer<QDisplayInformation> m_popup;
    static QLStyleKeybordTabWidget *s_instance;
};
