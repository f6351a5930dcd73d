#pragma once
#include <QLineEdit>

// The in-place editor of a preset name. Return or Enter confirms the typed name; Escape and
// losing the focus end the edit with an empty name, which the page takes as "no change".
class QItemInputWin : public QLineEdit
{
    Q_OBJECT
public:
    explicit QItemInputWin(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
