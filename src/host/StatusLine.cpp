// The body of command replies and link messages, the decoding of the status
// reply, and the status line.
#include <QLabel>
#include <QToolButton>

#include "host/Frames.h"
#include "host/StatusDecode.h"
#include "shell/HoofdForm.h"

void THoofdForm::KeepReplyByte(int kind, int b) {
    TakeHostReplyByte(kind, b);
    if (!Frames::IsKept(quint8(b))) return;
    if (st.StatusReplyText.size() < StatusDecode::kMaxReply)
        st.StatusReplyText.append(QLatin1Char(char(b)));
    if (kind == 2 && st.LinkMessageText.size() < StatusDecode::kMaxLinkMessage)
        st.LinkMessageText.append(QLatin1Char(char(b)));
}

void THoofdForm::READMODE(int kind) {
    HostReplyEnded(kind);
    st.CompressionText = StatusDecode::Compression(st.StatusReplyText);
    // Packet's whole reply is "OPPA".
    if (kind == 1 && (st.StatusReplyText.size() >= 5 || st.StatusReplyText == QLatin1String("OPPA")))
        MakeMode();
    if (kind == 2) ModeLinkMessage();
}

void THoofdForm::MakeMode() {
    const int pauses = StatusDecode::MakeMode(st);
    for (int i = 0; i < pauses; ++i)
        Delay(200);
    StatusLine();
}

void THoofdForm::StatusLine() {
    SetPane(Pane1, st.ModeName);
    SetPane(Pane2, st.LinkStateText);

    const bool arqMode =
        st.ModeName == QLatin1String("PACTOR") || st.ModeName == QLatin1String("AMTOR");
    if (st.LinkStateText == QLatin1String("CONNECT") && arqMode)
        DisAblePactorKnoppen();
    else
        EnablePactorKnoppen();

    const bool showCall = st.LinkStateText == QLatin1String("CALLING") || st.IsConnected;
    SetPane(Pane3, showCall ? st.HisCall : QString());

    SetPane(Pane4, StatusDecode::ReceiveStatusText(st));

    if (st.Transmitting) {
        SetPane(Pane5, QStringLiteral("TRANSMIT"));
        SetLamp(Pane5, QColor(255, 0, 0), Qt::white);
    } else if (st.LinkStateText == QLatin1String("LISTEN") || st.IsConnected) {
        SetPane(Pane5, QStringLiteral("RECEIVE"));
        SetLamp(Pane5, QColor(0, 255, 0), Qt::black);
    } else {
        // Empty, it takes the colours of its neighbour: a red pane left from
        // a transmission would still read as "on the air".
        SetPane(Pane5, QString());
        const QPalette& plain = Pane4->palette();
        SetLamp(Pane5, plain.color(QPalette::Window), plain.color(QPalette::WindowText));
    }

    if (st.LogFileOpen) {
        SetLamp(LogLed, QColor(255, 0, 0), Qt::white);
        LogLed->setToolTip(QStringLiteral("Log File is open"));
    } else {
        SetLamp(LogLed, QColor(0, 255, 0), Qt::black);
        LogLed->setToolTip(QStringLiteral("No Log File"));
    }
    WatchLinkEvents();
}

void THoofdForm::EnablePactorKnoppen() {
    // Amtorcall is left alone: the other station's call can be given during
    // an AMTOR link.
    for (QToolButton* b : {PactorStb, PactorListen, PactorUnpro, PactorCQ, PactorCall,
                           PactorListCall, AmtorStb, AmtorListen, AmtorFEC, AmtorCQ, AmtorListcall})
        b->setEnabled(true);
    for (QToolButton* b :
         {pactorDisconnect, PactorHardDisconnect, AmtorDisConnect, AmtorHardDisconnect})
        b->setEnabled(false);
}

void THoofdForm::DisAblePactorKnoppen() {
    for (QToolButton* b : {PactorStb, PactorListen, PactorUnpro, PactorCQ, PactorCall,
                           PactorListCall, AmtorStb, AmtorListen, AmtorFEC, AmtorCQ, AmtorListcall})
        b->setEnabled(false);
    for (QToolButton* b :
         {pactorDisconnect, PactorHardDisconnect, AmtorDisConnect, AmtorHardDisconnect})
        b->setEnabled(true);
}
