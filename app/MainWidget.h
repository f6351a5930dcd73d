#pragma once
#include "app/BackdropShadow.h"
#include <QColor>
#include <QHash>
#include <QMutex>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>

class QGridLayout;
class QHBoxLayout;
class QSettings;
class QTabWidget;
class QVBoxLayout;
class QTitleWin;
class QMaskGrayLabel;
class infotext;
class HID_API;
class QLStyleMouseTabWidget;
class QLStyleKeybordTabWidget;
class QGlobalSetWidget;
class QEditPage;

// The one main window: frameless, translucent, a title bar over a tab widget whose tabs are the
// program's pages. Also home of the program-wide services every page and worker uses.
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    // Null before construction and once the window has quit: every caller checks.
    static MainWidget *instance();

    // Paths and INI openers of the current product.
    QString ProductDir() const;
    QString UserConfigDir() const;
    QString ModifyConfigDir() const;
    QSettings *OpenProductDataIni();
    QSettings *OpenMouseParamConfig();
    // Also read on the workers' threads.
    QString CurrentProductName() const;
    // Display names of the device command codes, filled from the products' configuration lists.
    QHash<uint, QString> &CommandTextTable() { return m_CommandTextTable; }

    // Pop-ups.
    // The answer: 1 Yes, 0 otherwise, also when the open page's device went while it was asked.
    uchar ShowMessage(const QColor &colour, const QString &text, bool yesOnly,
                      const char *file = __builtin_FILE(), int line = __builtin_LINE());
    void ShowBottomTip(const QString &caption, const QString &text);
    void ShowErrorCode(bool clog, int code);
    void ShowInfoText(const QString &text);
    bool HideInfoText();
    void ShowBusyAt(bool spinner);
    void ShowMaskGray(bool showText, bool showMovie);
    void HideMaskGray();
    void ShowPageMask(int unused = 0);
    // A wait the busy indicator stands for, from its start (true) to its end (false, which
    // hides the indicator): meanwhile nothing else takes it down.
    void HoldBusy(bool hold);

    // The wait for a device's data after a device page was requested. Returns false when it
    // gave up after 52 periods of 200 ms without the worker ending it.
    bool WaitDeviceSync();
    void EndSyncWait();
    void ClearSyncFlag2();
    bool IsSyncWaiting() const { return m_SyncWait.load(); }

    // Flags shared with the worker threads.
    void SetDeviceWriteResult(bool ok) { m_DeviceWriteResult.store(ok); }
    bool DeviceWriteResult() const { return m_DeviceWriteResult.load(); }
    void SetRestoreFlag(bool on) { m_RestoreFlag.store(on); }
    bool RestoreFlag() const { return m_RestoreFlag.load(); }

    // Page opening and switching.
    void OpenKeyboardPage(const QString &productFolder);
    void OpenMousePage(const QString &productFolder);
    void BackFromDevicePage();
    void SetPageIndex();
    void SetFormWidgetEnabled(bool enabled);
    int PageState() const { return m_PageState; }
    // The kind of device page opened last: 1 mouse, 2 keyboard; the macro editor reads it on leaving.
    uchar DevicePageKind() const { return m_DevicePageKind; }
    QWidget *PreviousPage() const { return m_PreviousPage; }
    QTabWidget *TabWidget() const { return Tab_BeseWdiget; }

    // The one shutdown path: stops the effect, audio and device threads and emits W_Close once.
    void Shutdown();

Q_SIGNALS:
    void W_Maximized();
    void W_Minimized();
    void W_NoState();
    void W_Change();
    void W_Close();
    void DispExitButton(bool disp);
    void WMSYSCOMMAND();
    void LangualChange();
    void MarcoQuitPage();
    void WinresizeEvent();
    void CheckVersionsStatic();

public Q_SLOTS:
    void on_TabChangeEditkeysDefinition();
    void on_TabChangeEditkeysDefinition(const QString &file, bool Read);
    void on_TabChangeEditkeysDefinition(const QString &file);
    void on_ExitPage(uint page);
    void on_SetEditkeysDefinitionRunWay(int modef);
    void on_ErrorMessgeBox(bool clog, int errorID);
    void on_DpiInPut(uint Dpi);
    void on_CloroMessgBox(const QString &text);
    void on_Hide_busy_Status();
    void on_Show_busy_Status(bool ciecle);
    void on_Show_busy_Status();
    void on_freeDevicePageMemory();
    void on_TabChangeGlobalSet();
    void on_TabChangeHID_API();
    void on_PopBottomWindow(const QString &t, const QString &m);
    void on_setLanuage(uchar lan);
    void on_MarcoQuitPage();
    void on_MarcoquitPage();
    void on_quit();
    void on_min();
    void on_Resize(bool re);
    void on_pushIndex(int index);
    void on_TabChangeMouseTabWidget();
    void on_TabChangeKeybordTabWidgett();
    void on_But_ExitPage();
    void on_RollBackPage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setupUi();
    void InitWindow();
    void CreatePages();
    void ConnectSignals();
    void switchTo(QWidget *page, int state);
    void LeaveBuiltDevicePages();
    void ShowDevicePage(int index);
    void FinishQuit();
    void ShowMask();
    void on_TabChanged(int index);
    void SetProductName(const QString &folder);
    QString ProductNameForFiles();

    // The generated form.
    QGridLayout *gridLayout = nullptr;
    QWidget *Backdrop_Circle = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QTitleWin *m_TitleWidget = nullptr;
    QWidget *_mainWidget = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QTabWidget *Tab_BeseWdiget = nullptr;
    // The backdrop's drop shadow: offset (0, 0), black, blur radius 8.
    BackdropShadow m_Shadow{QPoint(0, 0), QColor(0, 0, 0, 255), 8};

    std::atomic<bool> m_DeviceWriteResult{false};
    QPointer<infotext> m_InfoText;
    HID_API *m_HidApi = nullptr;
    QLStyleMouseTabWidget *m_MousePage = nullptr;
    QLStyleKeybordTabWidget *m_KeyboardPage = nullptr;
    QGlobalSetWidget *m_GlobalSet = nullptr;
    QEditPage *m_EditPage = nullptr;
    QMaskGrayLabel *m_MaskGray = nullptr;
    std::atomic<bool> m_RestoreFlag{false};
    QPointer<QWidget> m_PreviousPage;
    // The page switch a wait holds: one, to the page asked last.
    QPointer<QWidget> m_HeldSwitchPage;
    int m_HeldSwitchState = 0;
    bool m_SwitchHeld = false;
    int m_BusyHolds = 0;
    int m_PageState = 0;
    uchar m_DevicePageKind = 0;
    int m_LastTab = 0;
    // The product of the open device page; the workers open its files from their threads.
    mutable QMutex m_ProductNameLock;
    QString m_ProductName;
    QHash<uint, QString> m_CommandTextTable;
    std::atomic<bool> m_SyncWait{false};
    std::atomic<bool> m_SyncFlag2{false};
    bool m_ShutDown = false;
    bool m_Quitting = false;
    bool m_CloseAccepted = false;

    static std::atomic<MainWidget *> s_instance; // read on the workers' threads
};
