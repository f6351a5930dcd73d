#pragma once
// One page of the key-definition frame: a picture of the mouse with one callout row and head per
// button, built from the stored rows of a user configuration.
#include "mouse/LineKeyRecord.h"

#include <QImage>
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

Q_SIGNALS:
    void ResetButtonKey();
    void DispLineAnimation();
    void LinesLockStatic(bool Lock);
    void LineValueDtdaChange();

public Q_SLOTS:
    void on_enterWidget(QWidget *w);
    void on_leaveWidget(QWidget *w);
    void on_setLinesChickStatic(bool lineStatic);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateLines(const LineKeyRecord &record);

    QPushButton *m_ResetButton = nullptr;
    QVector<QLineInfo *> m_Lines;
    QVector<QLineLabelHead *> m_Heads;
    QImage m_BackImage;
    QString m_ColumnName;
    bool m_Lock = false;
};
