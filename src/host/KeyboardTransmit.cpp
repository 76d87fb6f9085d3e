// Typed keys to the controller, and the application-wide message hook.
#include "shell/HoofdForm.h"

// The keyboard path and the message hook come with the receive-output and
// keyboard work; the hook is installed already and runs before every input
// and timer event.
void THoofdForm::ZendWindowKeyPress(quint8) {}
void THoofdForm::ReceiveHandle() {}
