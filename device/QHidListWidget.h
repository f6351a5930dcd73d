#pragma once
#include <QList>
#include <QWidget>

// The container of the device tiles: the visible tiles in a three-column grid whose tile size
// follows the width; the container fits its height to the tiles, also when some went. Every
// change re-lays out at once.
class QHidListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QHidListWidget(QWidget *parent = nullptr);

    // The tiles of the list that are not hidden, in list order.
    QList<QWidget *> VisibleWidgets() const;
    QList<QWidget *> Widgets() const { return m_widgets; }
    void Relayout();

public Q_SLOTS:
    void on_PushWidget(QWidget *w);
    void on_ReMoveWidget(QWidget *w, bool deleteva);
    void on_ReMoveWidget(QWidget *w);
    void on_HideWidget(QWidget *w);
    void on_ShowWidget(QWidget *w);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<QWidget *> m_widgets;
    int m_columns = 3;
    int m_vSpacing = 20;
    int m_hGap = 20;
};
