// The one-way transmissions of each mode (PACTOR unproto, AMTOR FEC, RTTY)
// and the CQ calls, which start the mode's one-way transmission and send its
// CQ text file.
#include "host/Frames.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"

namespace {
// The single byte 0x04 in a data frame ends a one-way transmission.
const QByteArray kEndTransmission(1, '\x04');
} // namespace

void THoofdForm::MenuUnproClick() {
    if (st.ModeName != QLatin1String("PACTOR")) return;
    if (st.LinkStateText.left(5) == QLatin1String("UNPRO") ||
        st.LinkStateText == QLatin1String("CALLING"))
        senddata(kEndTransmission);
    else
        Send(Frames::CommandFrame("PD"));
}

void THoofdForm::MenuAmtorFecClick() {
    if (st.ModeName != QLatin1String("AMTOR")) return;
    if (st.LinkStateText == QLatin1String("FEC"))
        senddata(kEndTransmission);
    else
        Send(Frames::CommandFrame("FE"));
}

void THoofdForm::MenuBaudotTransmitClick() {
    if (st.ModeName == QLatin1String("RTTY")) RttyTransmitClick();
}

void THoofdForm::RttyTransmitClick() {
    Send(Frames::CommandFrame("XM"));
}

void THoofdForm::RttyReceiveClick() {
    Send(Frames::CommandFrame("RC"));
}

void THoofdForm::CallCQ(const QString& cqFile, void (THoofdForm::*startTransmission)()) {
    if (!FileExistsNoCase(folder(), cqFile)) {
        Warning(QStringLiteral("File %1 not found !").arg(cqFile));
        return;
    }
    // A CQ file that cannot be read starts no transmission.
    QFile cq;
    if (!OpenToSend(cq, FindFileNoCase(folder(), cqFile))) throw NotOpened(cq);
    cq.close();
    (this->*startTransmission)();
    st.SendingCQ = true;
    SendFile(FindFileNoCase(folder(), cqFile));
}

void THoofdForm::PactorCQClick() {
    CallCQ(QStringLiteral("Dervalo.CQP"), &THoofdForm::MenuUnproClick);
}

void THoofdForm::AmtorCQClick() {
    CallCQ(QStringLiteral("Dervalo.CQA"), &THoofdForm::MenuAmtorFecClick);
}

void THoofdForm::RttyCQClick() {
    CallCQ(QStringLiteral("Dervalo.CQB"), &THoofdForm::MenuBaudotTransmitClick);
}

void THoofdForm::MenuCallCQClick() {
    if (st.ModeName == QLatin1String("PACTOR"))
        PactorCQClick();
    else if (st.ModeName == QLatin1String("AMTOR"))
        AmtorCQClick();
    else if (st.ModeName == QLatin1String("RTTY"))
        RttyCQClick();
}
