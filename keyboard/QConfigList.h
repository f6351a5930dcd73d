#pragma once
#include "keyboard/ConfigItem.h"
#include "keyboard/KeyValueInfo.h"
#include "widgets/QTextAndpictue.h"

#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QVector>

class QConfigListItemBase;

// The rows of one configuration tab, in groups that start at each header. Command and macro
// rows are drag sources: the list shows a drag picture at the cursor and, on release, hands the
// row's value to the page: to the mouse button columns (drop mode 1) or as a key-assignment
// record to the on-screen keyboard (drop mode 2).
class QConfigList : public QListWidget
{
    Q_OBJECT
public:
    explicit QConfigList(QWidget *parent = nullptr);
    ~QConfigList() override;

    // 1 mouse page, 2 keyboard page: how a release is handed on.
    uchar DropMode = 1;


    // A row of the kind with its texts at the end of the list; null for a kind without a row.
    QListWidgetItem *AddItem(uint8_t kind, const QString &left, const QString &centre, const QString &code);
    // One row per record, grouped at each header.
    void LoadItems(const QVector<ConfigItem *> &items);
    // Refills the macro rows from "<productDir>/moidefConfig" when the list starts with the
    // new-macro button; any other list is left as it is.
    void LoadMacroItems(const QString &productDir);
    // Refills the configuration rows from the product's configuration folder when the list
    // starts with the new-configuration button; any other list is left as it is.
    void LoadUserConfigItems();
    // Removes the first row whose left text is the name (groups first, then every row).
    void RemoveItem(const QString &name);

    QListWidgetItem *FindItem(const QString &name) const;
    QConfigListItemBase *Row(QListWidgetItem *item) const;
    // The kind of the first row, -1 for an empty list.
    int FirstRowType() const;
    QTextAndpictue *DragPicture() const { return m_picture; }
    const QVector<QVector<QListWidgetItem *> *> &Groups() const { return m_groups; }

    // The record a keyboard key receives (null: nothing to drop). A command carries one code
    // byte for two hex digits, four for eight; a macro carries its name.
    static _KeyValueInfo *MakeDropRecord(uint8_t kind, const QString &text, const QString &code, ushort centreId);
    // A text that begins with "@" names a text id of the language tables (id -1 otherwise).
    static QString ResolveText(const QString &text, int *id = nullptr);

Q_SIGNALS:
    void DragLeftMove(QPoint GPos);
    void DragLeftRePress(QString text, QString _code, uchar typ, ushort _leftcode, ushort _centcode);
    void DragLeftPixRePress(QString text, QPixmap Pixname, QString _code, uchar typ);
    void Drag_KeyEditPage_RePress(QPoint pos, _KeyValueInfo *InfoPtr);
    void to_EditAddPage();
    void tabcheng_userconfig(QString file);

public Q_SLOTS:
    void on_Expande(QConfigListItemBase *obj, bool Ex);
    void on_OPenConfigFile(QString file);
    void on_deleteItem(QString itemname);
    void on_myMsleep(int msec);
    void on_DragLeftRePress(QString _Cent_text, QPixmap img, QString code, uchar typ, ushort leftcode, ushort centcode);
    void on_DragLeftPress(QString _Cent_text, QPixmap img);
    void on_DragLeftMove(QPoint GlobalPos);

private:
    QVector<QListWidgetItem *> *GroupOf(QListWidgetItem *item) const;
    void Detach(QListWidgetItem *item);
    void MovePicture(const QPoint &globalPos);

    QVector<QVector<QListWidgetItem *> *> m_groups;
    QPointer<QTextAndpictue> m_picture;
    bool m_reloadHeld = false;
    QSet<QString> m_deletesHeld; // macro deletes held by a wait
};
