// The program's icon, drawn in code so it needs no resource files.
#pragma once

#include <QIcon>

namespace kelvora::ui {

// The Moon over a dish aerial, at the usual icon sizes.
QIcon programIcon();

} // namespace kelvora::ui
