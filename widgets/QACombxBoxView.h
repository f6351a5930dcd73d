#pragma once
#include <QListWidget>
#include <QPointer>
#include <functional>

class QACombxBox;
class QPropertyAnimation;

// The list a drop-down unfolds under itself; one exists at a time. While it is open a press
// anywhere outside it folds it again.
class QACombxBoxView : public QListWidget
{
    Q_OBJECT
public:
    explicit QACombxBoxView(QWidget *parent = nullptr);
    ~QACombxBoxView() override;

    // Opens the shared list under a box; with null, tears the shared list down.
    static void PopupFor(QACombxBox *box);
    // The shared list while one exists.
    static QACombxBoxView *Shared();
    // Folds and closes the shared list, if any; for callers that lose the device under it.
    static void CloseShared();

    QACombxBox *Owner() const { return m_owner; }
    bool IsFolding() const { return m_folding; }

    // What a press at a global position does to this list: true to swallow it.
    bool HandleOutsidePress(const QPoint &globalPos);

Q_SIGNALS:
    void currentindexChanged(int index);
    void unfold();

public Q_SLOTS:
    void Animationgeometry_show(bool show);
    void Animationgeometry_show();
    void onEndView();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void animate(bool show, std::function<void()> done);
    void foldThenRelease();
    void removeHook();

    QPointer<QACombxBox> m_owner;
    int m_hook = 0;
    bool m_folding = false;
    QPointer<QPropertyAnimation> m_animation;
};
