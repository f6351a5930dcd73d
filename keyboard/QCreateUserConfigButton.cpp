#include "keyboard/QCreateUserConfigButton.h"
#include "app/MainWidget.h"
#include "macros/QGenderConfigInput.h"
#include "macros/QUserKeyBordConfig.h"
#include "mouse/QLStyleBoraWidget.h"

#include <QMouseEvent>

QCreateUserConfigButton::QCreateUserConfigButton(QWidget *parent) : QCreatMacroButton(5, parent) {}

void QCreateUserConfigButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Q_EMIT clicked();
    // The new file is written from the mouse page's buttons in the mouse page's format; only a
    // row of that page may make one, or another page's folder would get a file it cannot read.
    QLStyleBoraWidget *frame = QLStyleBoraWidget::instance();
    MainWidget *main = MainWidget::instance();
    if (!frame || !main || !frame->isAncestorOf(this))
        return;
    const QString path = QGenderConfigInput::GetFilePath(main->UserConfigDir(), QStringLiteral(".xml"));
    // The list shows the new file only once it is written.
    if (!path.isEmpty() && QUserKeyBordConfig().WriteDefault(path))
        frame->OpenConfigFile(path);
}
