// The Format options: a small menu button beside Format whose checkable choices are
// remembered for the user (QSettings in the XDG config location).
#pragma once

#include "formatter/unicode_text.h"

#include <QToolButton>

class QAction;

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

signals:
    // An option was changed by the user (and stored).
    void optionsChanged();

private:
    QAction *columns_ = nullptr;
};

} // namespace lintrel
