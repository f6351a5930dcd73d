#include "keyboard/QCreateUserConfigButton.h"
#include "app/CheckedSave.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "macros/QGenderConfigInput.h"
#include "macros/QUserKeyBordConfig.h"
#include "mouse/QLStyleBoraWidget.h"

#include <QFileInfo>
#include <QMouseEvent>

QCreateUserConfigButton::QCreateUserConfigButton(QWidget *parent) : QCreatMacroButton(5, parent) {}

void QCreateUserConfigButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Q_EMIT clicked();
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    // Each page writes the new file in its own format from what it shows: the mouse page its
    // buttons, the keyboard page its key assignments. A row on neither page makes nothing, or a
    // folder would get a file its page cannot read.
    QLStyleBoraWidget *frame = QLStyleBoraWidget::instance();
    if (frame && frame->isAncestorOf(this)) {
        const QString path = QGenderConfigInput::GetFilePath(main->UserConfigDir(), QStringLiteral(".xml"));
        // The list shows the new file only once it is written.
        if (path.isEmpty())
            return;
        if (QUserKeyBordConfig().WriteDefault(path))
            frame->OpenConfigFile(path);
        else if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(QColor(178, 179, 180), CheckedSave::FailureText(CheckedSave::Configuration), true);
        return;
    }
    QLStyleKeybordTabWidget *keyboard = QLStyleKeybordTabWidget::instance();
    if (keyboard && keyboard->isAncestorOf(this))
        CreateKeyboardConfig(keyboard);
}

void QCreateUserConfigButton::CreateKeyboardConfig(QLStyleKeybordTabWidget *keyboard)
{
    MainWidget *main = MainWidget::instance();
    // Without a configuration of its own the page shows no assignments worth copying.
    if (keyboard->CurrentConfigPath().isEmpty()) {
        WriteLogLine(QStringLiteral("keyboard configuration not created: no configuration is open"));
        return;
    }
    const QString path = QGenderConfigInput::GetFilePath(main->UserConfigDir(), QStringLiteral(".xml"));
    if (path.isEmpty())
        return;
    if (!keyboard->KeyBoard()->SaveLayerKeys(path)) {
        WriteLogLine(QStringLiteral("keyboard configuration not created: %1").arg(path));
        main->ShowMessage(QColor(178, 179, 180), CheckedSave::FailureText(CheckedSave::Configuration), true);
        return;
    }
    for (QWidget *w = parentWidget(); w; w = w->parentWidget())
        if (auto *list = qobject_cast<QConfigList *>(w)) {
            list->AddItem(7, QFileInfo(path).completeBaseName(), QString(), QStringLiteral("0x00"));
            return;
        }
}
