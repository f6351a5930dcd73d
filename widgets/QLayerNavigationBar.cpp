#include "widgets/QLayerNavigationBar.h"
#include "widgets/AppFont.h"
#include "widgets/QDiyQRadioButton.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>

QLayerNavigationBar::QLayerNavigationBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QLayerNavigationBar"));
    resize(158, 51);
    setWindowTitle(QStringLiteral("QLayerNavigationBar"));
    setStyleSheet(QStringLiteral(
        "QDiyQRadioButton{spacing:12px;padding-left:5px;padding:0px;color:rgb(219, 219, 219);}"
        "QDiyQRadioButton:unchecked{color:rgb(219, 219, 219);border-bottom:5px ridge #00ff00;}"
        "QDiyQRadioButton:checked{color:rgb(255, 0, 0);border-bottom:5px ridge #cd0519;}"
        "QDiyQRadioButton::indicator{padding-left:0px;padding-right:0px;width:0px;height:0px;image:none;}"
        "QDiyQRadioButton:hover{border-bottom:5px ridge #ff0000;}"));
    horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(2);
    horizontalLayout->setContentsMargins(1, 1, 1, 1);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &QLayerNavigationBar::on_mbuttonGroup_buttonClicked);
}

void QLayerNavigationBar::BuildButtons(const QStringList &names, int minimumWidth)
{
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        auto *button = new QDiyQRadioButton(this);
        button->setObjectName(QStringLiteral("LayerRadioButton_%1").arg(name));
        horizontalLayout->addWidget(button);
        button->SetButtonText(name);
        if (minimumWidth > 0)
            button->setMinimumWidth(minimumWidth);
        m_group->addButton(button, i);
        ApplyAppFont(button, 18);
    }
}

int QLayerNavigationBar::CheckedButtonId() const
{
    return m_group->checkedId();
}

void QLayerNavigationBar::UnBuilbButtons()
{
    // May run from a ButtonChange slot while the clicked button is still emitting: detach the
    // buttons at once, delete them later.
    const auto buttons = findChildren<QDiyQRadioButton *>();
    for (QDiyQRadioButton *button : buttons) {
        m_group->removeButton(button);
        horizontalLayout->removeWidget(button);
        button->hide();
        button->setParent(nullptr);
        button->deleteLater();
    }
}

void QLayerNavigationBar::on_mbuttonGroup_buttonClicked(int id)
{
    QAbstractButton *button = m_group->button(id);
    const QString text = button ? button->text() : QString();
    Q_EMIT ButtonChange(id, text);
    Q_EMIT ButtonChange(id);
}
