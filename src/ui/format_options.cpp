// The Format options button and the storing of its choices.
#include "ui/format_options.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

namespace lintrel {

namespace {

constexpr auto kColumnsKey = "Format/MeasureInScreenColumns";

// The user's options file: $XDG_CONFIG_HOME/lintrel/lintrel.ini.
QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("lintrel"),
                     QStringLiteral("lintrel"));
}

} // namespace

FormatOptionsButton::FormatOptionsButton(QWidget *parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("btnFormatOptions"));
    setText(QStringLiteral("\u25BE")); // a small downward triangle
    setToolTip(QStringLiteral("Format options"));
    setPopupMode(QToolButton::InstantPopup);
    setFixedSize(20, 20);
    auto *menu = new QMenu(this);
    columns_ = menu->addAction(QStringLiteral("Measure in screen columns"));
    columns_->setObjectName(QStringLiteral("actMeasureColumns"));
    columns_->setCheckable(true);
    columns_->setChecked(userSettings().value(QLatin1String(kColumnsKey), false).toBool());
    setMenu(menu);
    connect(columns_, &QAction::toggled, this, [this](bool on) {
        userSettings().setValue(QLatin1String(kColumnsKey), on);
        emit optionsChanged();
    });
}

Measure FormatOptionsButton::measure() const
{
    return columns_->isChecked() ? Measure::Columns : Measure::Clusters;
}

} // namespace lintrel
