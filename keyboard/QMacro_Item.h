#pragma once
#include "keyboard/QConfigListItemBase.h"

#include <QElapsedTimer>

// A macro file: dragged after a 200 ms hold it assigns the macro; a click opens it in the
// editor, a right click renames it and its "X" deletes it.
class QMacro_Item : public QConfigListItemBase
{
    Q_OBJECT
public:
    explicit QMacro_Item(QWidget *parent = nullptr);
    int ItemType() const override { return 3; }
    // Shows the file name without its trailing ".bin"; texts are not text ids.
    void SetItemInfo(const QString &left, const QString &centre, const QString &code) override;
    // Asks for a new name until one is usable or the answer is empty.
    void Rename();

Q_SIGNALS:
    void DeleteItem(QString MacroFile);
    void OPenMacroFile(QString MacroFile);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_hover = false;
    QPixmap m_picture;
    QElapsedTimer m_pressTime; // invalid while no left press is pending
};
