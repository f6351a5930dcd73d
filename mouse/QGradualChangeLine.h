#pragma once
// One page of the key-definition frame: a picture of the mouse with one callout row and head per
// button, built from the stored rows of a user configuration.
#include "mouse/LineKeyRecord.h"

#include <QImage>
#include <QPixmap>
#include <QVector>
#include <QWidget>

class QLineInfo;
class QLineLabelHead;
class QPushButton;

class QGradualChangeLine : public QWidget
{
    Q_OBJECT
public:
    explicit QGradualChangeLine(QWidget *parent = nullptr);

    bool SetBackImage(const QString &path);
    void SetColumnName(const QString &name) { m_ColumnName = name; }
    QString ColumnName() const { return m_ColumnName; }
    // One row and head per record, in order; at most 255 rows.
    void SetLines(const QVector<LineKeyRecord> &records);
    const QVector<QLineInfo *> &Lines() const { return m_Lines; }
    const QVector<QLineLabelHead *> &Heads() const { return m_Heads; }
    QPushButton *ResetButton() const { return m_ResetButton; }
    QLineInfo *DropTarget() const { return m_DropLine; }
    // Rows that act as the left button: assigned it, or keeping it from the factory.
    int LeftButtonRows() const;
    static bool IsLeftButtonRow(const QLineInfo *row);
    // Target replaced whole by a copy of factory; false (target kept) when factory is missing.
    static bool ReplaceFromFactory(const QString &factory, const QString &target);

Q_SIGNALS:
    void ResetButtonKey();
    void DispLineAnimation();
    void LinesLockStatic(bool Lock);
    void LineValueDtdaChange();

public Q_SLOTS:
    // Drag from a configuration list: hover, drop of a command, drop of a macro file.
    void on_MouseDragMove(QPoint GPos);
    void on_MouseDragRePress(QString Select_text, QString ObjCode, uchar buttonTyp, ushort leftcode, ushort centcode);
    void on_MouseDragPixRePress(QString Select_text, QPixmap img, QString ObjCode, uchar buttonTyp);
    // Back to the factory assignment: one row (right click), all rows (the reset button).
    void on_ReSetButton(QWidget *ObjHeand);
    void on_ResetButtonCheck();
    void on_enterWidget(QWidget *w);
    void on_leaveWidget(QWidget *w);
    void on_setLinesChickStatic(bool lineStatic);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateLines(const LineKeyRecord &record);
    void ClearDropTarget();
    // True, the target cleared, when a drop must not change the row: it would take the last
    // left button (told to the user) or the button is disabled (silently).
    bool RefuseDrop(const QLineInfo *row, bool lastLeftButton);
    void SetSelectedButton(uint8_t index);
    // The message pop-up of the main window; 0 (nothing done) without one.
    uchar Ask(const QString &text, bool yesOnly);

    QPushButton *m_ResetButton = nullptr;
    QVector<QLineInfo *> m_Lines;
    QVector<QLineLabelHead *> m_Heads;
    QImage m_BackImage;
    QString m_ColumnName;
    bool m_Lock = false;
    bool m_Drag = false;
    QLineInfo *m_DropLine = nullptr;
    QLineLabelHead *m_DropHead = nullptr;
    QLineInfo *m_LastHit = nullptr;
};
