#pragma once
#include "keyboard/QConfigListItemBase.h"

// A user configuration file: a press opens it, its "X" deletes it. The product's own
// description and its base configuration have no "X".
class QUserConfig_Item : public QConfigListItemBase
{
    Q_OBJECT
public:
    explicit QUserConfig_Item(QWidget *parent = nullptr);
    int ItemType() const override { return 7; }
    // Shows the file name without its trailing ".xml"; texts are not text ids.
    void SetItemInfo(const QString &left, const QString &centre, const QString &code) override;
    // "Base" and "imageAndLines" cannot be deleted from a row.
    static bool IsProtectedName(const QString &name);

Q_SIGNALS:
    void DeleteItem(QString MacroFile);
    void OPenConfigFile(QString MacroFile);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_hover = false;
    QPixmap m_picture;
};
