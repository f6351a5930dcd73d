#pragma once
#include "macros/QEditMacroItemBase.h"

// A mouse-button row; its code is the button index (0 left, 1 middle, 2 right, 3 and 4 the
// second and first side buttons).
class QMouseKeyItem : public QEditMacroItemBase
{
    Q_OBJECT
public:
    using QEditMacroItemBase::QEditMacroItemBase;
    int ClassTyp() const override { return 1; }
    void SetItemData(const QString &name, bool down, uint code, uint delay) override;
    QEditMacroItemBase *Clone(QWidget *parent) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
