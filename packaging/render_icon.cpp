// Writes the program's icon as PNG files for the desktop: render_icon OUTDIR SIZE...
// makes OUTDIR/SIZExSIZE/kelvora.png, drawn by the code that draws the window icon.
#include "ui/qt/program_icon.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: render_icon OUTDIR SIZE...\n", stderr);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        bool number = false;
        const int size = QString(argv[i]).toInt(&number);
        const QString folder = QString("%1/%2x%2").arg(argv[1]).arg(size);
        if (!number || size <= 0 || !QDir().mkpath(folder) ||
            !kelvora::ui::drawProgramIcon(size).save(folder + "/kelvora.png", "PNG")) {
            std::fprintf(stderr, "render_icon: cannot write the %s pixel icon in %s\n", argv[i],
                         argv[1]);
            return 1;
        }
    }
    return 0;
}
