// Program entry: the application, the main window and its dialogs.
#include <QDir>

#include "link/QtSerialBackend.h"
#include "shell/Clock.h"
#include "shell/DervaloApplication.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

int main(int argc, char** argv) {
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
