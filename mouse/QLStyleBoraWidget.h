#pragma once
// The mouse key-definition page: on the left the configuration lists and the configuration file
// panel, on the right one button-assignment column per picture of the current user
// configuration. Every choice, drop or reset saves that configuration and has the worker
// manager write the buttons to the mouse.
#include "mouse/LineKeyRecord.h"
#include "mouse/MouseKeyRow.h"

#include <QList>
#include <QMap>
#include <QVector>
#include <QWidget>

class QButtonGroup;
class QConfigDirs;
class QConfigList;
class QGradualChangeLine;
class QHBoxLayout;
class QLabel;
class QLayerNavigationBar;
class QLeftMuenTabWidget;
class QLineInfo;
class QPushButton;
class QStackedWidget;

class QLStyleBoraWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QLStyleBoraWidget(QWidget *parent = nullptr);
    ~QLStyleBoraWidget() override;

    static QLStyleBoraWidget *instance();

    // Column name -> its rows in row order; a later column of the same name replaces an earlier.
    QMap<QString, QList<QLineInfo *>> LineValueMap() const;
    // The rows of every column in child order.
    QVector<QLineInfo *> LineValues() const;
    // Every row made by a column of this frame, in creation order.
    QList<QLineInfo *> &Rows() { return m_rows; }

    // "@<id>" -> the text of that id (id stored); "" -> "" (id 0); other texts unchanged.
    static QString ParseKeyText(const QString &text, uint16_t *id);

    // The tab buttons and list tabs of the product's item list file.
    void BuildConfigButtons(const QString &itemListPath);
    // One column per picture of a user configuration file.
    void LoadProduct(const QString &configPath);
    // Parses the product's memory map; the page keeps nothing of it.
    void SetDpiConfig(const QString &memoryMapPath);
    // A row for a new user configuration file in the list that creates them.
    void OpenConfigFile(const QString &path);
    bool IsThirdButtonChecked() const;
    // One stored row onto every row of the page with the same rectangle.
    void ApplyKeyRecord(const LineKeyRecord &record);
    // The buttons that play the macro play it under its new name (the file follows elsewhere);
    // only on the page of the product whose macro it is.
    void RenameMacroKeys(const QString &from, const QString &to);
    // A macro row whose name is no single safe file name becomes unassigned.
    static void DropUnsafeMacro(LineKeyRecord &record);
    // A picture name that stays inside the product folder.
    static bool SafePicture(const QString &name);
    // The product folder ("<app>/Products/<product>"), set by the mouse page.
    void SetProductDir(const QString &dir) { m_ProductDir = dir; }
    QString ProductDir() const { return m_ProductDir; }

    QConfigDirs *ConfigDirs() const { return m_ConfigDirs; }
    QStackedWidget *Pages() const { return m_Pages; }
    QLeftMuenTabWidget *ListTabs() const { return tabWidget_2; }
    const QVector<QConfigList *> &ConfigLists() const { return m_ConfigLists; }
    QLabel *ConfigNameLabel() const { return ConfigenameLabel; }

    // Copies the rows and the mouse page's selected button for the workers (GUI thread).
    void TakeKeySnapshot(bool allKeys = false);
    // The last copy, from any thread; on the GUI thread a fresh one is taken first.
    static MouseKeySnapshot KeySnapshot();

Q_SIGNALS:
    void freeLines();
    void ConfigDataChange();
    void ZrMouseKeyValueChange();
    void resizes();

public Q_SLOTS:
    // After a drop or reset in a column: save, then the assignments go to the mouse.
    void on_LineValueDtdaChange();
    void on_ConfigChangeTofile();
    void on_SetLeftenabeld(bool enabeld);
    void on_SetLeftenabeld();
    void on_ClearItems();
    // The new-macro row: names a macro and opens the editor on it.
    void on_toEditDefinepage();
    void on_ChangeConfig(QString open_file);
    void TabBarClicked(int Buttonid);
    void on_toEditMacroUi(QString MacroFile);
    void on_DeleteMacroUi(QString MacroFile);
    void on_DeleteConfigUi(QString File);
    void on_toCreatMacr();
    void on_ButtonChange(int _id, QString _text);
    void on_But_Left_Move_clicked();
    void on_But_Reight_Move_clicked();
    void on_ButLock_LeftWidget_clicked(bool checked);
    void on_ButConfig_clicked(bool checked);
    void on_ConfigDirs_Itemclicked(QString itemtext);
    void on_LanguageChange();
    void on_ResetKeyButton();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setupUi();
    void retranslateUi();
    void SetTabButtonStyle();
    // Shows a configuration's name; the product's own files show as the default one.
    void ShowConfigName(const QString &name);
    QString CurrentConfigName();
    void ConnectColumn(QGradualChangeLine *column);
    // Save, then the key write; the busy indicator stays until the write has ended.
    void SaveAndSend(bool allKeys);

    QWidget *LeftWidget = nullptr;
    QLabel *ConfigenameLabel = nullptr;
    QPushButton *ButConfig = nullptr;
    QPushButton *ButLock_LeftWidget = nullptr;
    QWidget *Tab_BarWidget = nullptr;
    QHBoxLayout *m_TabBarLayout = nullptr;
    QLeftMuenTabWidget *tabWidget_2 = nullptr;
    QLabel *ProDuctNameLabel = nullptr;
    QLayerNavigationBar *layerNavigationBar = nullptr;
    QWidget *TabBackImageWidget = nullptr;
    QStackedWidget *m_Pages = nullptr;
    QPushButton *But_Left_Move = nullptr;
    QPushButton *But_Reight_Move = nullptr;

    QButtonGroup *m_ButtonGroup = nullptr;
    QString m_ProductDir;
    QVector<QConfigList *> m_ConfigLists;
    QList<QLineInfo *> m_rows;
    QLabel *m_LockCover = nullptr;
    QConfigDirs *m_ConfigDirs = nullptr;
};
