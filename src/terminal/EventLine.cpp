// Event lines in the receive window: "*** HH:MM UTC  text" on a line of its
// own.
#include <QPlainTextEdit>
#include <QTextBlock>

#include "host/CharTable.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"

void THoofdForm::ShowLinkEvent(const QString& text) {
    const bool atLineStart = ReceiveWindow->document()->lastBlock().text().isEmpty();
    const QByteArray line = (atLineStart ? QByteArray() : QByteArray("\r")) + "*** " +
                            clock_.Now().toUTC().toString(QStringLiteral("HH:mm")).toLatin1() +
                            " UTC  " + CharTable::ToBytes(text) + "\r";
    schryfText(line);
}
