#pragma once
#include "keyboard/QCreatMacroButton.h"

class QLStyleKeybordTabWidget;

// The button row that creates a user configuration; looks like the new-macro button.
class QCreateUserConfigButton : public QCreatMacroButton
{
    Q_OBJECT
public:
    explicit QCreateUserConfigButton(QWidget *parent = nullptr);
    int ItemType() const override { return 8; }

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    // A named copy of the keyboard's key assignments as the page shows them, in the keyboard's
    // own configuration format, and a row for it in this list.
    void CreateKeyboardConfig(QLStyleKeybordTabWidget *keyboard);
};
