// Transmitting a text file. Filled in with the file transmission work.
#include "shell/HoofdForm.h"

void THoofdForm::MenuTransmitFileClick() {}
