// Calling and link control: own call, calls from the dialog and the call
// list, change over, "His de My" and disconnects. Filled in with the calling
// work.
#include "shell/HoofdForm.h"

void THoofdForm::MenuYourcallClick() {}
void THoofdForm::MenuCallAstationClick() {}
void THoofdForm::MenuCallAListStationClick() {}
void THoofdForm::MenuDisconnectClick() {}
void THoofdForm::MenuHardDisconnectClick() {}
void THoofdForm::MenuChangeOverClick() {}
void THoofdForm::MenuSendHiscalldeMycallClick() {}
