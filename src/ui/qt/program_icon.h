// The program's icon, drawn in code so it needs no resource files.
#pragma once

#include <QIcon>
#include <QImage>

namespace kelvora::ui {

// The Moon over a dish aerial, at the usual icon sizes.
QIcon programIcon();

// One size of it, `size` pixels square. Needs no application object: the build draws the
// desktop's icon files with it.
QImage drawProgramIcon(int size);

} // namespace kelvora::ui
