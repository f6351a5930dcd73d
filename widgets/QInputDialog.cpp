#include "widgets/QInputDialog.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace quorix {

namespace {
QString &lastText()
{
    static QString text;
    return text;
}
} // namespace

QInputDialog::QInputDialog(QWidget *parent) : QDialog(parent)
{
    setupUi();
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    But_Confirm->setText(GetLangText(1));
    But_Concel->setText(GetLangText(2));
    const QFont font = LoadAppFont(15);
    label->setFont(font);
    InputEdit->setFont(font);
}

void QInputDialog::setupUi()
{
    setObjectName(QStringLiteral("QInputDialog"));
    resize(262, 159);
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(1);
    gridLayout->setContentsMargins(2, 2, 2, 2);
    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    gridLayout->addWidget(widget, 0, 0);

    verticalLayout = new QVBoxLayout(widget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(3);
    verticalLayout->setContentsMargins(0, 10, 0, 0);
    label = new QLabel(widget);
    label->setObjectName(QStringLiteral("label"));
    label->setAlignment(Qt::AlignCenter);
    verticalLayout->addWidget(label, 1);
    verticalLayout->addItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding));

    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->setSpacing(20);
    horizontalLayout_2->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    InputEdit = new QLineEdit(widget);
    InputEdit->setObjectName(QStringLiteral("InputEdit"));
    InputEdit->setMinimumSize(160, 30);
    InputEdit->setAlignment(Qt::AlignCenter);
    horizontalLayout_2->addWidget(InputEdit);
    horizontalLayout_2->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(horizontalLayout_2, 1);
    verticalLayout->addItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding));

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(20);
    horizontalLayout->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    But_Confirm = new QPushButton(widget);
    But_Confirm->setObjectName(QStringLiteral("But_Confirm"));
    But_Confirm->setMinimumSize(80, 40);
    But_Confirm->setFocusPolicy(Qt::NoFocus);
    horizontalLayout->addWidget(But_Confirm);
    But_Concel = new QPushButton(widget);
    But_Concel->setObjectName(QStringLiteral("But_Concel"));
    But_Concel->setMinimumSize(80, 40);
    But_Concel->setFocusPolicy(Qt::NoFocus);
    horizontalLayout->addWidget(But_Concel);
    horizontalLayout->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    horizontalLayout->setStretch(0, 6);
    horizontalLayout->setStretch(1, 3);
    horizontalLayout->setStretch(2, 3);
    horizontalLayout->setStretch(3, 6);
    verticalLayout->addLayout(horizontalLayout, 1);

    setStyleSheet(QStringLiteral(
        "#widget{border-radius:8px;background-color:rgb(18, 19, 17);border:0px ridge rgb(17, 85, 232);}"
        "#widget:hover{background-color:rgb(23, 24, 22);}"
        "QLabel{color:#ffffff;}"
        "#InputEdit{border-radius:6px;border:none;color:#aaaaaa;background-color:rgb(38, 38, 38);}"
        "#But_Confirm{color:rgb(255, 255, 255);border-radius:11px;background-color:rgb(48, 82, 132);}"
        "#But_Confirm:hover{background-color:rgb(68, 102, 152);}"
        "#But_Concel{color:#ffffff;border-radius:11px;background-color:rgb(18, 19, 17);}"
        "#But_Concel:hover{background-color:rgb(32, 32, 32);}"));
    // The form's button slots, reached by their names.
    QMetaObject::connectSlotsByName(this);
}

QString QInputDialog::GetText(const QString &prompt, const char *file, int line)
{
    if (NestedWait::EndRequested()) { // the program ends: nothing more is asked
        lastText().clear();
        return QString();
    }
    NestedWait::Scope wait(file, line);
    // Made on first use and kept; held weakly so a dialog someone deleted is made again.
    static QPointer<QInputDialog> shared;
    if (!shared)
        shared = new QInputDialog(nullptr);
    shared->label->setText(prompt);
    NestedWait::ExecDialog(*shared);
    // The end rejects it (Cancel); nothing typed or confirmed after the end is handed back.
    if (!shared || wait.DeviceWent() || NestedWait::EndRequested()) {
        lastText().clear();
        return QString();
    }
    lastText() = shared->InputEdit->text();
    return lastText();
}

QString QInputDialog::LastText()
{
    return lastText();
}

void QInputDialog::on_But_Confirm_clicked()
{
    hide();
}

void QInputDialog::on_But_Concel_clicked()
{
    InputEdit->clear();
    hide();
}

void QInputDialog::reject()
{
    // Escape is a cancel: without this the typed text would come back as if confirmed.
    InputEdit->clear();
    QDialog::reject();
}

void QInputDialog::showEvent(QShowEvent *event)
{
    InputEdit->clear();
    InputEdit->clearFocus();
    clearFocus();
    QDialog::showEvent(event);
}

} // namespace quorix
