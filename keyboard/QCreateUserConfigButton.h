#pragma once
#include "keyboard/QCreatMacroButton.h"

// The button row that creates a user configuration; looks like the new-macro button.
class QCreateUserConfigButton : public QCreatMacroButton
{
    Q_OBJECT
public:
    explicit QCreateUserConfigButton(QWidget *parent = nullptr);
    int ItemType() const override { return 8; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
