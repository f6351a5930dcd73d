#pragma once
#include <QPointer>
#include <QPushButton>
#include <QStringList>

class QACombxBoxView;

// The program's painted combo box: shows the current item and an arrow, and unfolds the one
// shared list under itself. currentIndexChanged comes only from a user's pick.
class QACombxBox : public QPushButton
{
    Q_OBJECT
public:
    explicit QACombxBox(QWidget *parent = nullptr);
    ~QACombxBox() override;

    void setItems(const QStringList &items);
    void addItem(const QString &item);
    QStringList items() const { return m_items; }
    void clear();
    int currentIndex() const { return m_index; }
    QString currentText() const;
    void setCurrentIndex(int index);
    void setCurrentText(const QString &text);

    bool IsFolded() const { return m_folded; }
    QACombxBoxView *OpenList() const { return m_view; }

    // Whether a press may open the list; pages set it to lock the box.
    bool CanUnfold = true;

Q_SIGNALS:
    void currentIndexChanged(int index);

private Q_SLOTS:
    void on_indexChanged(int index);
    void on_unfold();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showText(const QString &text);

    QString m_text;
    int m_index = -1;
    QPointer<QACombxBoxView> m_view;
    bool m_hover = false;
    bool m_folded = true;
    QStringList m_items;
};
