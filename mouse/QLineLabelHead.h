#pragma once
// The head at the far end of a button row's callout: what the button does, as a text or as a
// macro picture with its name.
#include <QLabel>
#include <QPixmap>

#include <cstdint>

class QLineLabelHead : public QLabel
{
    Q_OBJECT
public:
    enum Kind : uint8_t { TextKind = 0, PictureKind = 2 };

    explicit QLineLabelHead(QWidget *parent = nullptr);

    void SetHeadText(const QString &text);
    void SetHeadInfo(const QString &text, const QPixmap &picture);
    void SetSelected();
    void ClearSelected();
    bool IsSelected() const { return m_Selected; }

    // The point the head is centred over (its bottom sits 5 pixels above it).
    void SetAnchor(int x, int y) { m_AnchorX = x; m_AnchorY = y; }
    // Width from the text (16 px per character, 30 more with a picture), placed over the anchor.
    void PlaceAtAnchor(int height);

    QString HeadText() const { return m_Text; }
    uint16_t TextId() const { return m_TextId; }
    void SetTextId(uint16_t id) { m_TextId = id; }
    uint8_t HeadKind() const { return m_Kind; }

Q_SIGNALS:
    void clicked();
    void Headclicked(bool click);
    void head_select_Manage(QLabel *label);
    void SetLineHeadSelectstatic(QLineLabelHead *ptr, bool open);
    void HeadRightRightButton(QWidget *Widget);

public Q_SLOTS:
    void on_RefreshLangual();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void SetHead(uint8_t kind, const QString &text, const QPixmap &picture);

    int m_AnchorX = 0, m_AnchorY = 0;
    bool m_Selected = false;
    uint8_t m_Kind = TextKind;
    QPixmap m_Picture;
    QString m_Text;
    uint16_t m_TextId = 0;
};
