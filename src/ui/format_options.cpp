// The Format options button and the storing of its choices.
#include "ui/format_options.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

namespace lintrel {

namespace {

constexpr auto kColumnsKey = "Format/MeasureInScreenColumns";
constexpr auto kEmailAwareKey = "Format/EmailAware";

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
    // The triangle is the whole caption: no second arrow from the style.
    setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    setFixedSize(20, 20);
    auto *menu = new QMenu(this);
    columns_ = addOption(menu, QStringLiteral("Measure in screen columns"), "actMeasureColumns",
                         kColumnsKey);
    connect(columns_, &QAction::toggled, this, &FormatOptionsButton::optionsChanged);
    emailAware_ = addOption(menu, QStringLiteral("Email-aware Format"), "actEmailAwareFormat",
                            kEmailAwareKey);
    setMenu(menu);
}

QAction *FormatOptionsButton::addOption(QMenu *menu, const QString &caption, const char *name,
                                        const char *key)
{
    QAction *option = menu->addAction(caption);
    option->setObjectName(QLatin1String(name));
    option->setCheckable(true);
    option->setChecked(userSettings().value(QLatin1String(key), false).toBool());
    connect(option, &QAction::toggled, this,
            [key](bool on) { userSettings().setValue(QLatin1String(key), on); });
    return option;
}

bool FormatOptionsButton::emailAware() const
{
    return emailAware_->isChecked();
}

Measure FormatOptionsButton::measure() const
{
    return columns_->isChecked() ? Measure::Columns : Measure::Clusters;
}

} // namespace lintrel
