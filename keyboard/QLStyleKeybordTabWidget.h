#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "widgets/QDisplayInformation.h"

class QLightConfigWIdget;
class QMultifunKeyBoard;

// The keyboard device page.
class QLStyleKeybordTabWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QLStyleKeybordTabWidget(QWidget *parent = nullptr);
    ~QLStyleKeybordTabWidget() override;
    static QLStyleKeybordTabWidget *instance();

    // Reads the product's layout (storing its parameter positions in the device manager), lays
    // the keys on the on-screen keyboard and loads the current user configuration.
    void BuildPage(const QString &productFolder);
    void ExitPage();
    QString BuiltProduct() const { return m_product; }
    QMultifunKeyBoard *KeyBoard() const { return m_board; }
    QLightConfigWIdget *LightPage() const { return m_light; }

    // What the on-screen keyboard and the key-assignment store read of the page.
    int LevelComboIndex() const { return m_levelIndex; }
    void SetLevelComboIndex(int index) { m_levelIndex = index; }
    QStringList LevelComboItems() const { return m_layerNames; }
    void SetLevelComboItems(const QStringList &names) { m_layerNames = names; }
    bool IsDisplayOn() const { return m_displayOn; }
    void SetDisplayOn(bool on) { m_displayOn = on; }
    uchar LightSubPage = 1; // 1 backlight, 2 audio light, 3 light strip
    uchar DiyCount = 126;   // distance of the planes of the self-define colour map
    bool NotEffctShown = false; // the hint that the mode shows only on the keyboard itself

    // The file of the current user configuration ("default/UserConfig" of the product data INI):
    // the one path of saving, backing up and restoring key assignments.
    QString CurrentConfigPath() const;
    void SetConfigName(const QString &name) { m_configName = name; }

    // The value pop-up of an on-screen key: at most one at a time.
    void ShowKeyInfoPopup(const QString &title, const QString &text);
    void HidePopup();
    QDisplayInformation *Popup() const;

Q_SIGNALS:
    void SetKeyboardKeys(const QString &file, uchar layer);
    void ResetKeyboradConfig(const QString &file);
    void PageChange(uchar page);

public Q_SLOTS:
    void on_DispNotEffct(bool show) { NotEffctShown = show; }
    void ButExit_on_clicked();
    void on_RefreshLangual();
    void on_MacroFileChangge(const QString &file);
    void on_MarcoQuitPage();
    // Saves the key assignments of every layer to the current configuration and has the worker
    // manager send them; a save that fails sends nothing and puts the backup back.
    void ON_SAEVE(bool openac = true);

private:
    QLightConfigWIdget *m_light = nullptr;
    QMultifunKeyBoard *m_board = nullptr;
    QString m_product;
    QString m_configName = QStringLiteral("Base");
    QStringList m_layerNames;
    int m_levelIndex = 0;
    bool m_displayOn = false;
    QPointer<QDisplayInformation> m_popup;
    static QLStyleKeybordTabWidget *s_instance;
};
