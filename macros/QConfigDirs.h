#pragma once
// The panel of a product's user configuration files: use, export, import, rename, delete, add.
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

class QConfigDirs : public QWidget
{
    Q_OBJECT
public:
    explicit QConfigDirs(QWidget *parent = nullptr);

    // Rebuilds the list from the current product's user configuration folder.
    void Refresh();
    // The configuration the page has open: it can be neither renamed nor deleted.
    void SetInUseName(const QString &name) { m_InUse = name; }
    QListWidget *List() const { return ConfigFileListWidget; }

Q_SIGNALS:
    void Itemclicked(QString text);
    // A file was added, deleted (or found gone), renamed or imported: the page's own lists of
    // configurations follow. Export changes no file of the folder and says nothing.
    void AddFile();
    void DeleteFil();
    void RenameFil();
    void InPutFile();
    void OutFile();

public Q_SLOTS:
    void on_LanguageChange();

private Q_SLOTS:
    void on_But_AddFile_clicked();
    void on_But_DeleteFile_clicked();
    void on_But_RenameFile_clicked();
    void on_But_InPutFile_clicked();
    void on_But_OutFile_clicked();
    void on_But_ToMouseConfig_clicked();

private:
    void setupUi();
    void retranslateUi();
    QPushButton *MakeButton(const QString &objectName, const QString &picture);
    void AppendRow(const QString &name);
    QString Dir() const;
    void Notice(const QColor &bar, uint textId) const;
    // The text that says why a row is kept from rename and delete (the base configuration, the
    // one in use), or 0.
    uint KeptText(const QString &name) const;
    // A file to import, or to export the configuration exportName to; empty when none was chosen.
    QString ChooseFile(const QString &exportName);

    QVBoxLayout *verticalLayout = nullptr;
    QWidget *widget = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *Label_Tilt = nullptr;
    QPushButton *But_ToMouseConfig = nullptr;
    QPushButton *But_OutFile = nullptr;
    QPushButton *But_InPutFile = nullptr;
    QPushButton *But_RenameFile = nullptr;
    QPushButton *But_DeleteFile = nullptr;
    QPushButton *But_AddFile = nullptr;
    QListWidget *ConfigFileListWidget = nullptr;
    QString m_InUse;
};
