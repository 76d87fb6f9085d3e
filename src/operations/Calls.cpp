// Calling and link control: own call, calls from the dialog and the call
// list, change over, "His de My" and disconnects.
#include <QPlainTextEdit>

#include "host/CharTable.h"
#include "host/Frames.h"
#include "operations/ConnectForm.h"
#include "operations/ListConnectForm.h"
#include "operations/YourcallForm.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
// The PACTOR change-over character the parameter load sets ("PTO $19"), and
// the character that ends a link.
constexpr char kPactorChangeOver = 0x19;
constexpr char kDisconnect = 0x04;

bool Is(const QString& modeName, const char* mode) {
    return modeName == QLatin1String(mode);
}

// The command that calls a station: "PG" in PACTOR, "AC" in AMTOR (with the
// other station's selective call); nothing in the other modes.
QByteArray CallCommand(const QString& modeName, const QString& call) {
    if (Is(modeName, "PACTOR")) return Frames::CommandFrame("PG" + CharTable::ToBytes(call));
    if (Is(modeName, "AMTOR")) return Frames::CommandFrame("AC" + CharTable::ToBytes(call));
    return QByteArray();
}
} // namespace

void THoofdForm::MenuYourcallClick() {
    StopTimers();
    YourcallForm->FormActivate(st.MyCall);
    if (prompts_.ShowModal(*YourcallForm) != QDialog::Accepted) {
        StartTimers();
        return;
    }
    StartTimers();
    // Plain bytes in every mode: in HOST mode the controller passes them by
    // and takes the new call at its next parameter load.
    Send("MYC " + CharTable::ToBytes(YourcallForm->EnteredCall) + Frames::LineEnd);
    st.MyCall = YourcallForm->EnteredCall;
    if (Is(st.ModeName, "AMTOR"))
        st.MySelCall = st.MyCall.left(4);
    else
        st.DefaultMyCall = st.MyCall;
}

void THoofdForm::MenuCallAstationClick() {
    StopTimers();
    ConnectForm->FormActivate(st.ModeName, st.IsConnected);
    prompts_.ShowModal(*ConnectForm);
    st.HisCall = ConnectForm->EnteredCall;
    if (ModeCall(st.HisCall)) {
        StartTimers();
        return;
    }
    // In RTTY and during a link the call is only made known.
    if (!st.HisCall.isEmpty() && !st.IsConnected && !Is(st.ModeName, "RTTY"))
        Send(CallCommand(st.ModeName, st.HisCall));
    StartTimers();
}

void THoofdForm::MenuCallAListStationClick() {
    if (!FileExistsNoCase(folder_, TListConnectForm::kFileName)) {
        Warning(QStringLiteral("Dervalo.cal not found !"));
        return;
    }
    StopTimers();
    ListConnectForm->FormShow();
    prompts_.ShowModal(*ListConnectForm);
    StartTimers();
    // After Cancel this is the call chosen at the last OK.
    st.HisCall = ListConnectForm->ChosenCall;
    if (!ListConnectForm->Confirmed) return;
    if (ModeCall(st.HisCall)) return;
    // Neither the link nor an empty call is looked at here.
    Send(CallCommand(st.ModeName, st.HisCall));
}

void THoofdForm::AmtorListcallClick() {
    MenuCallAListStationClick();
    // Also when the call list was missing.
    st.HisCall = ListConnectForm->ChosenCall;
}

void THoofdForm::MenuSendHiscalldeMycallClick() {
    if (!st.IsConnected && !Is(st.ModeName, "RTTY")) return;
    QString text = st.HisCall + QStringLiteral(" de ") + st.DefaultMyCall;
    if (Is(st.ModeName, "PACTOR")) text += QStringLiteral(" =>");
    ZendWindow->appendPlainText(text);
    senddata(CharTable::ToBytes(text) + Frames::LineEnd);
}

void THoofdForm::MenuChangeOverClick() {
    if (!st.IsConnected) return;
    if (Is(st.ModeName, "PACTOR")) {
        if (st.Transmitting)
            senddata(QByteArray(1, kPactorChangeOver));
        else
            Send(Frames::CommandFrame("AG"));
    } else if (Is(st.ModeName, "AMTOR")) {
        if (st.Transmitting)
            senddata("+?");
        else
            Send(Frames::CommandFrame("AG"));
    }
}

void THoofdForm::MenuDisconnectClick() {
    if (ModeDisconnect()) return;
    // The turn to send is taken first, so that the end of the link can be
    // sent.
    if (!st.Transmitting) MenuChangeOverClick();
    senddata(QByteArray(1, kDisconnect));
}

void THoofdForm::MenuHardDisconnectClick() {
    if (ModeDisconnect()) return;
    // The standby commands of the two modes end a link at once.
    if (Is(st.ModeName, "PACTOR"))
        Send(Frames::CommandFrame("Pt"));
    else if (Is(st.ModeName, "AMTOR"))
        Send(Frames::CommandFrame("AM"));
}
