// The Format options: a small menu button beside Format whose checkable choices are
// remembered for the user (QSettings in the XDG config location).
#pragma once

#include "formatter/unicode_text.h"

#include <QToolButton>

class QAction;
class QMenu;

namespace lintrel {

class FormatOptionsButton : public QToolButton
{
    Q_OBJECT
public:
    // Reads the stored choices; without any, every option is off.
    explicit FormatOptionsButton(QWidget *parent = nullptr);

    // Screen columns when "Measure in screen columns" is checked, else clusters.
    Measure measure() const;
    QAction *columnsAction() const { return columns_; }
    // "Email-aware Format": Format with the email rules.
    bool emailAware() const;
    QAction *emailAwareAction() const { return emailAware_; }

signals:
    // An option was changed by the user (and stored).
    void optionsChanged();

private:
    // A checkable entry stored under `key`.
    QAction *addOption(QMenu *menu, const QString &caption, const char *name, const char *key);

    QAction *columns_ = nullptr;
    QAction *emailAware_ = nullptr;
};

} // namespace lintrel
