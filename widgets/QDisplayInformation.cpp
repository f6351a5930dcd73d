#include "widgets/QDisplayInformation.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

QDisplayInformation::QDisplayInformation(QWidget *parent) : QWidget(parent)
{
    setupUi();
    ApplyAppFont(this, 35);
    // It opens under the pointer and has nothing to click: were it to take the pointer, the key
    // beneath would see a leave, close it, see an enter and open it again, without end.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowStaysOnTopHint
                   | Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QDisplayInformation::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QDisplayInformation"));
    resize(214, 100);
    setStyleSheet(QStringLiteral("#widget{border-radius:10px;background-color:rgb(30, 30, 30);border:2px ridge #305384;}"
                                 "QLabel{color:rgb(120, 160, 220);}"));
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    gridLayout->addWidget(widget, 0, 0);
    verticalLayout = new QVBoxLayout(widget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    CurValue = new QLabel(widget);
    CurValue->setObjectName(QStringLiteral("CurValue"));
    verticalLayout->addWidget(CurValue);
    DefultValue = new QLabel(widget);
    DefultValue->setObjectName(QStringLiteral("DefultValue"));
    verticalLayout->addWidget(DefultValue);
    retranslateUi();
}

void QDisplayInformation::retranslateUi()
{
    setWindowTitle(QStringLiteral("Form"));
    CurValue->setText(QStringLiteral("目标值："));
    DefultValue->setText(QStringLiteral("键名："));
}

void QDisplayInformation::SetValues(const QString &value, const QString &keyName)
{
    CurValue->setText(GetLangText(3) + value);
    DefultValue->setText(GetLangText(4) + keyName);
}

QString QDisplayInformation::ValueLine() const
{
    return CurValue->text();
}

QString QDisplayInformation::KeyNameLine() const
{
    return DefultValue->text();
}
