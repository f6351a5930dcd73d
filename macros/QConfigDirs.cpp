#include "macros/QConfigDirs.h"
#include "app/CheckedSave.h"

#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "macros/ConfigDirFiles.h"
#include "widgets/AppFont.h"
#include "widgets/QInputDialogCopy.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QColor kBlueBar(0, 169, 224);
const QColor kGreyBar(178, 179, 180);
const QString kIcons = QStringLiteral(":/new/prefix1/Imges/QLStyleKeybordTabWidget/icon18x18/");
} // namespace

QConfigDirs::QConfigDirs(QWidget *parent) : QWidget(parent)
{
    setupUi();
    connect(But_AddFile, &QPushButton::clicked, this, &QConfigDirs::on_But_AddFile_clicked);
    connect(But_DeleteFile, &QPushButton::clicked, this, &QConfigDirs::on_But_DeleteFile_clicked);
    connect(But_RenameFile, &QPushButton::clicked, this, &QConfigDirs::on_But_RenameFile_clicked);
    connect(But_InPutFile, &QPushButton::clicked, this, &QConfigDirs::on_But_InPutFile_clicked);
    connect(But_OutFile, &QPushButton::clicked, this, &QConfigDirs::on_But_OutFile_clicked);
    connect(But_ToMouseConfig, &QPushButton::clicked, this, &QConfigDirs::on_But_ToMouseConfig_clicked);
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QConfigDirs::on_LanguageChange);
    on_LanguageChange();
}

QPushButton *QConfigDirs::MakeButton(const QString &objectName, const QString &picture)
{
    auto *button = new QPushButton(widget);
    button->setObjectName(objectName);
    button->setFixedSize(22, 22);
    button->setStyleSheet(QStringLiteral("QPushButton{border:none;image:url(%1%2_nr.png);}"
                                         "QPushButton:hover{image:url(%1%2_ov.png);}")
                              .arg(kIcons, picture));
    horizontalLayout->addWidget(button);
    return button;
}

void QConfigDirs::setupUi()
{
    setObjectName(QStringLiteral("QConfigDirs"));
    resize(285, 536);
    setStyleSheet(QStringLiteral("#QConfigDirs{\n border:none;\n border-radius:25px;\n"
                                 " background-color: rgb(23, 34,42);\n}"));
    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(1);
    verticalLayout->setContentsMargins(1, 1, 1, 1);
    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setStyleSheet(QStringLiteral("background-color: rgb(23, 34,42);"));
    horizontalLayout = new QHBoxLayout(widget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(2);
    horizontalLayout->setContentsMargins(1, 1, 1, 1);
    Label_Tilt = new QLabel(widget);
    Label_Tilt->setObjectName(QStringLiteral("Label_Tilt"));
    horizontalLayout->addWidget(Label_Tilt);
    But_ToMouseConfig = MakeButton(QStringLiteral("But_ToMouseConfig"), QStringLiteral("save"));
    But_OutFile = MakeButton(QStringLiteral("But_OutFile"), QStringLiteral("export"));
    But_InPutFile = MakeButton(QStringLiteral("But_InPutFile"), QStringLiteral("import"));
    But_RenameFile = MakeButton(QStringLiteral("But_RenameFile"), QStringLiteral("rename"));
    But_DeleteFile = MakeButton(QStringLiteral("But_DeleteFile"), QStringLiteral("del"));
    But_AddFile = MakeButton(QStringLiteral("But_AddFile"), QStringLiteral("new"));
    verticalLayout->addWidget(widget);
    ConfigFileListWidget = new QListWidget(this);
    ConfigFileListWidget->setObjectName(QStringLiteral("ConfigFileListWidget"));
    ConfigFileListWidget->setAcceptDrops(false);
    ConfigFileListWidget->setLayoutDirection(Qt::LeftToRight);
    ConfigFileListWidget->setStyleSheet(QStringLiteral(
        "QListWidget{background-color: rgb(23, 34, 42);border:none;border-bottom-left-radius:25px;"
        "border-bottom-right-radius:25px;}"
        "QListWidget::item{height:30px;color: rgb(148, 148, 148);}"
        "QListWidget::item:hover{background-color: rgba(78, 220, 252, 20);}"
        "QListWidget::item:selected{background-color: red;color: white;}"));
    verticalLayout->addWidget(ConfigFileListWidget);
    retranslateUi();
}

void QConfigDirs::retranslateUi()
{
    setWindowTitle(QStringLiteral("Form"));
    Label_Tilt->setText(QString());
}

void QConfigDirs::on_LanguageChange()
{
    But_OutFile->setToolTip(GetLangText(56));
    But_InPutFile->setToolTip(GetLangText(57));
    But_RenameFile->setToolTip(GetLangText(58));
    But_DeleteFile->setToolTip(GetLangText(59));
    But_AddFile->setToolTip(GetLangText(60));
}

QString QConfigDirs::Dir() const
{
    MainWidget *w = MainWidget::instance();
    return w ? w->UserConfigDir() : QString();
}

void QConfigDirs::Notice(const QColor &bar, uint textId) const
{
    if (MainWidget *w = MainWidget::instance())
        w->ShowMessage(bar, textId == ConfigDirFiles::RefusalTextId(ConfigDirFiles::Result::WriteFailed)
                                ? CheckedSave::WithCause(GetLangText(textId))
                                : GetLangText(textId),
                       true);
}

void QConfigDirs::AppendRow(const QString &name)
{
    auto *row = new QListWidgetItem(QIcon(kIcons + QStringLiteral("fileicon.png")), name);
    row->setFont(LoadAppFont(15));
    ConfigFileListWidget->addItem(row);
}

void QConfigDirs::Refresh()
{
    ConfigFileListWidget->clear();
    const QString dir = Dir();
    if (dir.isEmpty())
        return;
    for (const QString &name : ConfigDirFiles(dir).List())
        AppendRow(name);
    // The buttons act on the current row: the configuration in use is it until another is
    // clicked, so none of them does nothing.
    if (QListWidgetItem *inUse = ConfigFileListWidget->findItems(m_InUse, Qt::MatchExactly).value(0))
        ConfigFileListWidget->setCurrentItem(inUse);
}

void QConfigDirs::on_But_ToMouseConfig_clicked()
{
    if (QListWidgetItem *row = ConfigFileListWidget->currentItem())
        Q_EMIT Itemclicked(row->text());
}

void QConfigDirs::on_But_AddFile_clicked()
{
    const ConfigDirFiles files(Dir());
    for (;;) {
        QInputDialogCopy ask(this);
        const QString name = ask.text();
        if (name.isEmpty())
            return;
        const ConfigDirFiles::Result result = files.Add(name);
        if (result == ConfigDirFiles::Result::Ok) {
            Refresh();
            Q_EMIT AddFile();
            return;
        }
        Notice(kGreyBar, ConfigDirFiles::RefusalTextId(result));
        if (result == ConfigDirFiles::Result::Missing || result == ConfigDirFiles::Result::WriteFailed)
            return;
        if (HID_API::PageDeviceGoing())
            return; // the device went during the notice: nothing is asked again for it
    }
}

uint QConfigDirs::KeptText(const QString &name) const
{
    if (ConfigDirFiles::IsReserved(name))
        return 761;
    return name == m_InUse ? 760 : 0;
}

void QConfigDirs::on_But_DeleteFile_clicked()
{
    QListWidgetItem *row = ConfigFileListWidget->currentItem();
    if (!row)
        return;
    if (const uint kept = KeptText(row->text())) {
        Notice(kGreyBar, kept);
        return;
    }
    const ConfigDirFiles::Result result = ConfigDirFiles(Dir()).Remove(row->text());
    if (result == ConfigDirFiles::Result::Ok) {
        delete ConfigFileListWidget->takeItem(ConfigFileListWidget->row(row));
        Q_EMIT DeleteFil();
        return;
    }
    Notice(kGreyBar, ConfigDirFiles::RefusalTextId(result));
    if (result == ConfigDirFiles::Result::Missing) {
        Refresh(); // the file went another way: the list shows the folder again
        Q_EMIT DeleteFil();
    }
}

void QConfigDirs::on_But_RenameFile_clicked()
{
    const ConfigDirFiles files(Dir());
    for (;;) {
        QListWidgetItem *row = ConfigFileListWidget->currentItem();
        if (!row)
            return;
        if (const uint kept = KeptText(row->text())) {
            Notice(kGreyBar, kept);
            return;
        }
        QInputDialogCopy ask(this);
        const QString name = ask.text();
        if (name.isEmpty())
            return;
        const ConfigDirFiles::Result result = files.Rename(row->text(), name);
        if (result == ConfigDirFiles::Result::Ok) {
            // The list is rebuilt to keep it sorted; the renamed row stays the chosen one.
            Refresh();
            ConfigFileListWidget->setCurrentItem(ConfigFileListWidget->findItems(name, Qt::MatchExactly).value(0));
            Q_EMIT RenameFil();
            return;
        }
        Notice(kGreyBar, ConfigDirFiles::RefusalTextId(result));
        if (result == ConfigDirFiles::Result::Missing || result == ConfigDirFiles::Result::WriteFailed)
            return;
        if (HID_API::PageDeviceGoing())
            return; // the device went during the notice: nothing is asked again for it
    }
}

QString QConfigDirs::ChooseFile(const QString &exportName)
{
    // The file dialog runs events like any other wait; a file chosen after the mouse went is
    // none.
    NestedWait::Scope wait;
    // Made as QFileDialog's own save and open choices make theirs, and run like every dialog so
    // that the program's end closes it (as a Cancel).
    const bool save = !exportName.isEmpty();
    QFileDialog dialog(this, GetLangText(save ? 880 : 881),
                       save ? ConfigDirFiles::ExportProposal(exportName) : ConfigDirFiles::StartFolder(),
                       save ? QStringLiteral("xml file(*.xml)") : QStringLiteral("Xml file(*.xml)"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save)
        dialog.setDefaultSuffix(QStringLiteral("xml")); // added before the dialog asks to replace
    if (NestedWait::ExecDialog(dialog) != QDialog::Accepted || wait.DeviceWent())
        return QString();
    return dialog.selectedFiles().value(0);
}

void QConfigDirs::on_But_InPutFile_clicked()
{
    const QString source = ChooseFile(QString());
    if (source.isEmpty())
        return;
    MainWidget *w = MainWidget::instance();
    if (!w || w->ShowMessage(kBlueBar, GetLangText(138), false) != 1)
        return;
    QString name;
    const ConfigDirFiles::Result result = ConfigDirFiles(Dir()).Import(source, &name);
    if (result != ConfigDirFiles::Result::Ok) {
        Notice(kBlueBar, ConfigDirFiles::RefusalTextId(result));
        return;
    }
    Refresh();
    Q_EMIT InPutFile();
}

void QConfigDirs::on_But_OutFile_clicked()
{
    QListWidgetItem *row = ConfigFileListWidget->currentItem();
    if (!row)
        return;
    const QString name = row->text(); // the list may be rebuilt while the dialog is up
    // The save dialog asks before an existing file is replaced.
    const QString target = ChooseFile(name);
    if (target.isEmpty())
        return;
    if (ConfigDirFiles(Dir()).Export(name, target) != ConfigDirFiles::Result::Ok) {
        if (MainWidget *w = MainWidget::instance())
            w->ShowMessage(kBlueBar, GetLangText(297) + QStringLiteral(": ") + target, true);
    }
}
