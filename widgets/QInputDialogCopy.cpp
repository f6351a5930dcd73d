#include "widgets/QInputDialogCopy.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

QInputDialogCopy::QInputDialogCopy(QWidget *parent) : QDialog(parent)
{
    setupUi();
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    But_Confirm->setText(GetLangText(1));
    But_Concel->setText(GetLangText(2));
    if (NestedWait::EndRequested())
        return; // the program ends: nothing is asked, the name stays empty
    NestedWait::Scope wait;
    NestedWait::ExecDialog(*this);
    if (wait.DeviceWent() || NestedWait::EndRequested())
        InputEdit->clear(); // the name was given for a device that has gone, or the program ends
}

void QInputDialogCopy::setupUi()
{
    setObjectName(QStringLiteral("QInputDialogCopy"));
    resize(254, 121);
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(1);
    gridLayout->setContentsMargins(2, 2, 2, 2);
    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    gridLayout->addWidget(widget, 0, 0);
    verticalLayout = new QVBoxLayout(widget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));

    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    InputEdit = new QLineEdit(widget);
    InputEdit->setObjectName(QStringLiteral("InputEdit"));
    InputEdit->setMaximumWidth(150);
    horizontalLayout_2->addWidget(InputEdit);
    horizontalLayout_2->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(horizontalLayout_2);

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    But_Confirm = new QPushButton(widget);
    But_Confirm->setObjectName(QStringLiteral("But_Confirm"));
    But_Confirm->setMinimumSize(85, 25);
    horizontalLayout->addWidget(But_Confirm);
    But_Concel = new QPushButton(widget);
    But_Concel->setObjectName(QStringLiteral("But_Concel"));
    But_Concel->setMinimumSize(85, 25);
    horizontalLayout->addWidget(But_Concel);
    horizontalLayout->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    horizontalLayout->setStretch(0, 1);
    horizontalLayout->setStretch(1, 3);
    horizontalLayout->setStretch(2, 3);
    horizontalLayout->setStretch(3, 1);
    verticalLayout->addLayout(horizontalLayout);

    setStyleSheet(QStringLiteral(
        "#widget{border-radius:10px;background-color:rgb(30, 30, 30);border:2px ridge #f0fa20;}"
        "QLabel{color:#f0fa20;font:75 12pt \"Arial\";}"
        "QPushButton{color:rgb(139, 139, 139);border-radius:3px;background-color:rgb(30, 30, 30);border:1px ridge #f0fa20;}"
        "QPushButton:hover{background-color:rgb(56, 169, 255);color:#f0fa20;}"));
    QMetaObject::connectSlotsByName(this);
}

QString QInputDialogCopy::text() const
{
    return InputEdit->text();
}

void QInputDialogCopy::on_But_Confirm_clicked()
{
    if (InputEdit->text().isEmpty())
        return;
    hide();
}

void QInputDialogCopy::on_But_Concel_clicked()
{
    InputEdit->clear();
    hide();
}

void QInputDialogCopy::reject()
{
    // Escape is a cancel; otherwise it would hand back the text and skip the non-empty rule.
    InputEdit->clear();
    QDialog::reject();
}
