// CQ calls, unproto, FEC and RTTY transmissions. Filled in with the
// broadcast work.
#include "shell/HoofdForm.h"

void THoofdForm::MenuUnproClick() {}
void THoofdForm::MenuAmtorFecClick() {}
void THoofdForm::MenuBaudotTransmitClick() {}
void THoofdForm::MenuCallCQClick() {}
void THoofdForm::PactorCQClick() {}
void THoofdForm::AmtorCQClick() {}
void THoofdForm::RttyCQClick() {}
void THoofdForm::RttyReceiveClick() {}
void THoofdForm::RttyTransmitClick() {}
