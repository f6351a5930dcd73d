#pragma once
#include "keyboard/ConfigItem.h"

#include <QTabWidget>
#include <QVector>

class QConfigList;

// The tab widget of the left configuration lists; the pages show their own tab buttons.
class QLeftMuenTabWidget : public QTabWidget
{
    Q_OBJECT
public:
    explicit QLeftMuenTabWidget(QWidget *parent = nullptr);

    // Adds a tab named tabName with the caption (following captionId when not 0) above its
    // rows and returns its list; page is the page whose new-macro flow the list's button opens.
    QConfigList *AddListTab(const QString &tabName, const QString &caption, quint16 captionId, QWidget *page,
                            const QVector<ConfigItem *> &items);

    // Removes the macro's row from the first list that starts with the new-macro button, and
    // its file, as that list's own delete does (refused while configurations use the macro).
    void DeleteMacroFile(const QString &name);
    // The same for a user configuration, in the first list that starts with the new
    // configuration button. "Base", "imageAndLines" and the configuration in use stay.
    void DeleteUserConfigFile(const QString &name);

private:
    QConfigList *FirstListOfType(int type) const;
};
