#pragma once
#include "macros/QEditMacroItemBase.h"

#include <QPointer>

class QLabel;
class QLineEdit;

// A delay row: shows and edits the wait before the event row it belongs to.
class QSleepItem : public QEditMacroItemBase
{
    Q_OBJECT
public:
    // Typed delays stay within what a record holds, with a small margin.
    static constexpr uint kMaxTypedDelay = 1048570;

    QSleepItem(QEditMacroItemBase *owner, QWidget *parent);
    int ClassTyp() const override { return m_owner ? 3 : 4; }
    void SetCheck(bool check) override;
    QEditMacroItemBase *Owner() const { return m_owner; }
    QLineEdit *Edit() const { return m_edit; }

    // The shown value and unit for a delay: ms below 1000, seconds below 60000, else minutes.
    static void FormatDelay(uint ms, QString *value, QString *unit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void StartEditing();
    void FinishEditing();
    void NoteTyping(const QString &text);
    void FollowTyping(const QString &text);
    void Show(uint ms);
    void UpdateColours();

    QPointer<QEditMacroItemBase> m_owner;
    QLineEdit *m_edit = nullptr;
    QLabel *m_unit = nullptr;
    bool m_typed = false; // the user changed the field since editing last ended
};
