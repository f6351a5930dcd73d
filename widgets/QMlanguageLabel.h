#pragma once
#include <QLabel>

// A label that shows the text of its text id in the current language, again after each change.
// Text id 0: no text id, the label keeps whatever text it was given.
class QMlanguageLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QMlanguageLabel(QWidget *parent = nullptr);

    // Sets the text id and shows its text at once.
    void SetTextId(quint16 id);
    quint16 TextId = 0;

public Q_SLOTS:
    void on_RefreshLangual();
};
