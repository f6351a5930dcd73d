#pragma once
#include <QString>
#include <QWidget>

class QComboBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
struct DownTask;

// The form and behaviour of the global settings page: language, close behaviour, auto-start,
// installed version, the online version check and the installer download.
class InerWidget : public QWidget
{
    Q_OBJECT
public:
    // The update state and what the check button offers in it.
    enum UpdateState : uchar {
        CatalogueLoading = 0,
        NewerOffered = 2,
        InstallerLoading = 3,
        InstallerReady = 4,
        ProgramCurrent = 5,
        NothingOffered = 6,
    };

    explicit InerWidget(QWidget *parent = nullptr);
    ~InerWidget() override;

    bool IsCloseToTray() const { return m_TrayIcon; }
    uchar UpdateStateValue() const { return m_UpdataState; }
    QString InstallerPath() const { return m_InstallerPath; }

    void LoadSystemSettings();

    // Where the installer is saved: the program folder's download folder.
    static QString InstallerFolder();
    // The maker's web site, opened by the web-site button.
    static const char *const MakerWebSite;

Q_SIGNALS:
    void MLan(uchar lan);

public Q_SLOTS:
    void on_Currn_Langue_activated(int index);
    void on_CloseComboxTyp_activated(int index);
    void on_StarteComBox_activated(int index);
    void on_But_toWed_clicked();
    void on_ButCheckUpda_clicked();
    void on_CheckVersionsStatic();
    void on_TaskEnd(DownTask **ptrs, int count);
    void on_Signal_DownLoadProgress(qlonglong bytesRead, qlonglong totalBytes);
    void RefreshLangual();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setupUi();
    void applyStyle();
    void connectForm();
    void selectStoredChoices();
    void SayNotStored(); // a choice the settings file refused
    void startDownload(DownTask *task);
    void catalogueEnded(const DownTask *task);
    void installerEnded(const DownTask *task);
    void installerWaitEscaped();
    void setButton(uint textId, uchar state);

    bool m_TrayIcon = false;
    uchar m_UpdataState = CatalogueLoading;
    bool m_Shown = false;
    QString m_InstallerPath;
    // The records this page has handed to the download manager and not yet had back.
    DownTask *m_CatalogueTask = nullptr;
    DownTask *m_InstallerTask = nullptr;

    // The form.
    QGridLayout *gridLayout = nullptr;
    QLabel *label = nullptr;
    QWidget *widget_2 = nullptr;
    QLabel *label_8 = nullptr;
    QPushButton *But_toWed = nullptr;
    QLabel *label_2 = nullptr;
    QLabel *label_4 = nullptr;
    QLabel *label_5 = nullptr;
    QLabel *BigLabel_1 = nullptr;
    QComboBox *Currn_Langue = nullptr;
    QLabel *MinLabel_1 = nullptr;
    QLabel *BigLabel_2 = nullptr;
    QComboBox *CloseComboxTyp = nullptr;
    QLabel *MinLabel_2 = nullptr;
    QLabel *BigLabel_3 = nullptr;
    QComboBox *StarteComBox = nullptr;
    QLabel *MinLabel_3 = nullptr;
    QWidget *widget = nullptr;
    QLabel *UpdaLabel = nullptr;
    QLabel *LabelTime = nullptr;
    QPushButton *ButCheckUpda = nullptr;
    QProgressBar *progressBar = nullptr;
    QLabel *label_10 = nullptr;
    QLabel *label_3 = nullptr;
    QLabel *label_6 = nullptr;
    QComboBox *UpdataComboBox = nullptr;
    QLabel *label_7 = nullptr;
    QLabel *label_9 = nullptr;
    QComboBox *UpdataComboBox24G = nullptr;
};
