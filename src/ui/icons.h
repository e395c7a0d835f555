// Icons of the main window's tool buttons, drawn in code so no icon theme is needed.
#pragma once

#include <QIcon>

namespace lintrel {

enum class ToolIcon { News, Update, Help };

QIcon toolIcon(ToolIcon which);

} // namespace lintrel
