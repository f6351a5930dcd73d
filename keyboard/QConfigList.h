#pragma once
#include "keyboard/ConfigItem.h"
#include "keyboard/KeyValueInfo.h"

#include <QListWidget>
#include <QPointer>
#include <QVector>

// The rows of one configuration tab. Command and macro rows are drag sources: a press on one
// reports the cursor while it moves and, on release, the value as a key-assignment record.
class QConfigList : public QListWidget
{
    Q_OBJECT
public:
    enum Role { KindRole = Qt::UserRole + 1, LeftRole, CentreRole, CodeRole };

    explicit QConfigList(QWidget *parent = nullptr);

    // 1 mouse page, 2 keyboard page: how a release is handed on.
    uchar DropMode = 1;

    void LoadItems(const QVector<ConfigItem *> &items);
    QListWidgetItem *AddItem(uint8_t kind, const QString &left, const QString &centre, const QString &code);
    // Refills the macro rows from "<productDir>/moidefConfig" when the tab starts with the
    // new-macro button; any other list is left as it is.
    void LoadMacroItems(const QString &productDir);

    // What a release on the row hands on: emits Drag_KeyEditPage_RePress with the record in
    // drop mode 2; nothing for rows that are no drag sources or codes that cannot be sent.
    void ReleaseRow(QListWidgetItem *item, const QPoint &globalPos);

    // The record a keyboard key receives for a row (null: nothing to drop). Commands carry
    // one code byte for two hex digits, four for eight; macros carry the macro's name.
    static _KeyValueInfo *MakeDropRecord(uint8_t kind, const QString &text, const QString &code, int centreId);
    // A text that begins with "@" names a text id of the language tables.
    static QString ResolveText(const QString &text, int *id = nullptr);

Q_SIGNALS:
    void DragLeftMove(QPoint GPos);
    void Drag_KeyEditPage_RePress(QPoint pos, _KeyValueInfo *InfoPtr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QListWidgetItem *m_pressed = nullptr;
};
