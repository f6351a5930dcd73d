#include "macros/QGenderConfigInput.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "macros/ConfigDirFiles.h"
#include "widgets/AppFont.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QString QGenderConfigInput::s_Folder;
QStringList QGenderConfigInput::s_Reserved;
QString QGenderConfigInput::s_Suffix;
QString QGenderConfigInput::s_Result;
bool QGenderConfigInput::s_Open = false;

QGenderConfigInput::QGenderConfigInput(QWidget *parent) : QDialog(parent)
{
    setupUi();
    m_Timer.setInterval(100);
    connect(&m_Timer, &QTimer::timeout, this, &QGenderConfigInput::on_Timeer);
    connect(ExitButton, &QPushButton::clicked, this, &QGenderConfigInput::on_Exit);
    connect(lineEdit, &QLineEdit::editingFinished, this, &QGenderConfigInput::on_lineEdit_editingFinished);
}

QGenderConfigInput::~QGenderConfigInput()
{
    m_Timer.stop();
}

void QGenderConfigInput::setupUi()
{
    setObjectName(QStringLiteral("QGenderConfigInput"));
    setWindowTitle(QStringLiteral("QGenderConfigInput"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setFixedSize(400, 151);
    setStyleSheet(QStringLiteral("#QGenderConfigInput{border:1px solid gray;border-radius:2px;background-color:#010203;}"));
    ExitButton = new QPushButton(QStringLiteral("X"), this);
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    ExitButton->setGeometry(360, 0, 35, 35);
    ExitButton->setFocusPolicy(Qt::NoFocus);
    ExitButton->setStyleSheet(QStringLiteral("QPushButton{border:none;font: 15pt 'Arial Black';color: rgb(182, 183, 184);}"
                                             "QPushButton:hover{color: rgb(255, 255, 255);}"));
    lineEdit = new QLineEdit(this);
    lineEdit->setObjectName(QStringLiteral("lineEdit"));
    lineEdit->setGeometry(40, 60, 331, 35);
    lineEdit->setMinimumHeight(30);
    lineEdit->setMaximumHeight(35);
    lineEdit->setAlignment(Qt::AlignCenter);
    // Light text on a dark field, as the popup around it.
    lineEdit->setStyleSheet(QStringLiteral("color: rgb(243, 243, 243);background-color: rgb(38, 38, 38);"
                                           "border:1px solid rgb(120, 120, 120);font: 10pt 'Arial Black';"));
    lineEdit->setPlaceholderText(GetLangText(879));
    InputLable = new QLabel(this);
    InputLable->setObjectName(QStringLiteral("InputLable"));
    InputLable->setGeometry(150, 80, 121, 31);
    InputLable->setAlignment(Qt::AlignCenter);
    // The font is the label's own, not the sheet's: the pulse sets the colour alone.
    InputLable->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    FitLabelText(InputLable, GetLangText(878), QFont(QStringLiteral("Arial Black"), 12));
}

QString QGenderConfigInput::GetFilePath(const QString &folder, const QString &suffix, const QStringList &reserved)
{
    if (s_Open)
        return s_Result;
    s_Result.clear();
    if (folder.isEmpty())
        return QString();
    s_Folder = folder;
    s_Suffix = suffix;
    s_Reserved = reserved;
    s_Open = true;
    {
        NestedWait::Scope wait;
        QGenderConfigInput popup;
        NestedWait::ExecDialog(popup);
        if (wait.DeviceWent() || NestedWait::EndRequested())
            s_Result.clear(); // the name was given for a device that has gone, or the program ends
    }
    s_Open = false;
    return s_Result;
}

void QGenderConfigInput::on_lineEdit_editingFinished()
{
    if (m_Refusing)
        return;
    const QString name = lineEdit->text();
    if (name.isEmpty())
        return;
    if (HID_API::PageDeviceGoing()) {
        reject(); // a name given after the device went is none: nothing more is said or asked
        return;
    }
    // The name becomes a file of the folder: refused as the configuration panel refuses it.
    ConfigDirFiles::Result check = ConfigDirFiles::CheckName(name);
    if (check == ConfigDirFiles::Result::Ok && s_Reserved.contains(name, Qt::CaseInsensitive))
        check = ConfigDirFiles::Result::Reserved;
    if (check != ConfigDirFiles::Result::Ok) {
        Refuse(ConfigDirFiles::RefusalTextId(check));
        return;
    }
    const QString path = QStringLiteral("%1/%2%3").arg(s_Folder, name, s_Suffix);
    if (QFileInfo::exists(path)) {
        FitLabelText(InputLable, GetLangText(882), QFont(QStringLiteral("Arial Black"), 12));
        return;
    }
    s_Result = path;
    hide();
    accept();
}

void QGenderConfigInput::Refuse(uint textId)
{
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    m_Refusing = true;
    main->ShowMessage(QColor(178, 179, 180), GetLangText(textId), true);
    m_Refusing = false;
    // Nothing is asked again for a device that went during the message, nor at the end.
    if (HID_API::PageDeviceGoing() || NestedWait::EndRequested()) {
        reject();
        return;
    }
    activateWindow();
    lineEdit->setFocus();
}

void QGenderConfigInput::on_Exit()
{
    reject();
}

void QGenderConfigInput::on_Timeer()
{
    if (m_Grey > 230)
        m_Darker = 1;
    else if (m_Grey <= 80)
        m_Darker = 0;
    m_Grey = static_cast<uint8_t>(m_Darker ? m_Grey - 10 : m_Grey + 10);
    InputLable->setStyleSheet(QStringLiteral("color: rgb(%1,%1,%1);").arg(m_Grey));
}

void QGenderConfigInput::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_Timer.start();
}
