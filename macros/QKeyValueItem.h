#pragma once
#include "macros/QEditMacroItemBase.h"

// A key-down or key-up row: the key's short name in a rounded box and an arrow for the direction.
class QKeyValueItem : public QEditMacroItemBase
{
    Q_OBJECT
public:
    using QEditMacroItemBase::QEditMacroItemBase;
    int ClassTyp() const override { return 2; }
    void SetItemData(const QString &name, bool down, uint code, uint delay) override;
    QEditMacroItemBase *Clone(QWidget *parent) const override;
    uint KeyCode() const { return m_code; }

protected:
    void paintEvent(QPaintEvent *event) override;
};
