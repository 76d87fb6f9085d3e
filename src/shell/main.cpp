// Program entry: the application, the main window and its dialogs.
#include <QDir>
#include <cstdio>

#include "link/QtSerialBackend.h"
#include "shell/Clock.h"
#include "shell/DervaloApplication.h"
#include "shell/DesktopStart.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

int main(int argc, char** argv) {
    // From the desktop menu: work in ~/Dervalo, made on the first start.
    if (DesktopStart::Requested(argc, argv) &&
        DesktopStart::EnterWorkingFolder(QDir::homePath()).isEmpty())
        std::fprintf(stderr, "dervalo: cannot use the folder %s in %s; working in %s\n",
                     DesktopStart::kFolderName, qPrintable(QDir::homePath()),
                     qPrintable(QDir::currentPath()));

    DervaloApplication app(argc, argv);
    DervaloApplication::SetTitle();

    QtSerialBackend serial;
    SystemClock clock;
    QtPrompts prompts;
    THoofdForm form(serial, clock, prompts, QDir::currentPath());
    prompts.SetParent(&form);
    form.CreateDialogs();
    form.show();
    return app.exec();
}
