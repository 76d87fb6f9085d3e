#pragma once

#include <QString>

class THoofdForm;

// Event lines that came while a received line was half shown wait for its
// end: out once it has ended, or (`evenMidLine`) once they have waited long
// enough.
void ShowHeldEvents(THoofdForm& form, bool evenMidLine);
// One event line, written as a line of its own wherever received text goes.
void WriteEventLine(THoofdForm& form, const QString& eventLine);
