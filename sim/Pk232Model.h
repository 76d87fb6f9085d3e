#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>
#include <optional>

#include "link/SerialPeer.h"

// A simulated PK-232 multi-mode controller: bytes in, bytes out, driven by a
// millisecond clock and deterministic for a given clock. It answers plain
// command lines (ending in carriage return) with the "cmd:" prompt, enters
// HOST mode on "host on", answers HOST command frames and the status request,
// keeps an operating mode, echoes what it is given to transmit and plays a
// remote station.
//
// Timing: every answer is available on ToHost at once, at the clock value of
// the byte that caused it (no line latency). Things that happen "on the air"
// run on the clock: a called station answers kConnectDelayMs after the call
// (and not before one status reply has shown the calling phase), a
// disconnect takes kDisconnectDelayMs, the remote station speaks
// kRemoteTalkDelayMs after it got the turn and hands it back
// kHandBackDelayMs after that; stations calling CQ are heard every
// kCqIntervalMs while listening (first one kFirstCqDelayMs after the mode was
// entered) unless unsolicited traffic is switched off.
//
// Status reply to "OP" (HOST frame 0x01 'O' body 0x17), eight characters, all
// of them of the kind the program keeps (blank, '-', digits, letters):
//   1-2 "OP"; 3-4 mode code (Pt PN PD PG AM AL FE AC BA);
//   5 phase: '0' standby (Pt, AM); '1' calling; '3' idle on a link or while
//     listening; '4' traffic: text went either way within kTrafficShowMs
//     (on a link only once '3' has been reported), and always in unproto and
//     FEC; in RTTY 'S' while transmitting, else '0';
//   6 'S' while this station sends (calling, own turn on a link, unproto,
//     FEC), else '-'; '-' in RTTY;
//   7 '-'; 8 '1' while a PACTOR link runs with PTHUFF ON, else '0'.
// Examples: "OPPN3--0" listening, "OPPG1S-0" calling, "OPPG3S-1" connected.
// Any other command gets a short reply: the mnemonic and a 0x00 (done) or
// '?' (refused or unknown), fewer than five characters the program keeps.
// Text frames sent to the program: 0x30 carries the echo of transmitted text,
// 0x2F text heard from other stations; 0x50 link messages
// (" CONNECTED to CALL", " DISCONNECTED"); 0x4F command replies. Off HOST
// mode, text and link messages come as plain text, and nobody calls CQ.
class Pk232Model : public SerialPeer {
public:
    static constexpr int kMaxLine = 256;     // command line length kept
    static constexpr int kMaxPayload = 1024; // HOST frame payload kept
    static constexpr int kMaxTransmitBuffer = 4096;
    static constexpr int kMaxOutput = 65536; // bytes waiting for the program
    static constexpr int kMaxTextFrame = 80; // payload of one text frame
    static constexpr int kMaxLog = 256;      // frames and lines remembered
    static constexpr int kMaxMessages = 20;  // mailbox
    static constexpr int kMaxMessageSize = 4096;
    static constexpr quint32 kFrameGapMs = 2000; // a frame silent this long is dropped
    static constexpr quint32 kConnectDelayMs = 2000;
    static constexpr quint32 kDisconnectDelayMs = 1000;
    static constexpr quint32 kRemoteTalkDelayMs = 1500;
    static constexpr quint32 kHandBackDelayMs = 2000;
    static constexpr quint32 kTrafficShowMs = 3000;
    static constexpr quint32 kFirstCqDelayMs = 5000;
    static constexpr quint32 kCqIntervalMs = 20000;

    enum class Mode {
        PactorStandby, // Pt
        PactorListen,  // PN
        PactorUnproto, // PD
        PactorArq,     // PG
        AmtorStandby,  // AM
        AmtorListen,   // AL
        AmtorFec,      // FE
        AmtorArq,      // AC
        Rtty,          // BA
    };
    enum class Link { None, Calling, Connected };
    enum class LinkEvent {
        Answer,          // the called station answers now
        IncomingCall,    // a station calls us (it sends first)
        RemoteDisconnect // the other station ends the link now
    };
    struct Frame {
        quint8 control;
        QByteArray payload;
    };

    Pk232Model();

    // SerialPeer
    void FromHost(quint8 byte, quint32 nowMs) override;
    void Tick(quint32 nowMs) override;
    QByteArray ToHost(quint32 nowMs) override;

    // --- state ---
    bool IsHostMode() const { return hostMode_; }
    bool InMailbox() const { return lineMode_ != LineMode::Command; }
    Mode CurrentMode() const { return mode_; }
    QByteArray ModeCode() const;
    Link LinkState() const { return link_; }
    bool WeAreSending() const { return weSend_; }
    bool RttyTransmitting() const { return rttyTransmit_; }
    QByteArray LinkCall() const { return linkCall_; }
    QByteArray TransmitBuffer() const { return txBuffer_; }
    // The status body the next "OP" would get.
    QByteArray StatusBody() const;

    // Stored parameters, looked up by name or accepted abbreviation, any case.
    QByteArray Param(const QByteArray& name) const;
    QMap<QByteArray, QByteArray> Params() const { return params_; }
    QByteArray MyCall() const { return Param("MYCALL"); }
    QByteArray MySelCall() const { return Param("MYSELCAL"); }
    QByteArray MyPtCall() const { return Param("MYPTCALL"); }
    bool EchoOn() const;
    bool MaildropOn() const;
    QByteArray ClockText() const { return clockText_; }

    // What the program sent: complete HOST frames and command lines.
    const QList<Frame>& FramesReceived() const { return frames_; }
    const QList<QByteArray>& LinesReceived() const { return lines_; }
    int StatusRequests() const { return statusRequests_; }
    int MessageCount() const { return int(messages_.size()); }

    // --- test hooks ---
    // Stations calling CQ while listening; on by default.
    void SetUnsolicitedTraffic(bool on) { unsolicited_ = on; }
    // Whether a called station answers; on by default.
    void SetAnswerCalls(bool on) { answerCalls_ = on; }
    // Text heard from the other station, sent to the program now.
    void InjectRemoteText(const QByteArray& text, quint32 nowMs);
    void InjectLinkEvent(LinkEvent event, quint32 nowMs, const QByteArray& call = {});

private:
    enum class LineMode { Command, Mailbox, Compose };
    enum class FrameState { Idle, Control, Payload };
    struct Message {
        QByteArray to;
        QByteArray text;
    };

    void Advance(quint32 nowMs);
    bool Due(std::optional<quint32> at) const;
    void RunDueEvents();

    // Output
    void Emit(const QByteArray& bytes);
    void EmitFrame(quint8 control, const QByteArray& body);
    void EmitText(quint8 control, const QByteArray& text);
    void EmitLinkMessage(const QByteArray& text);
    void EmitPrompt(const QByteArray& reply = {});

    // Command line
    void LineByte(quint8 byte);
    void ComposeByte(quint8 byte);
    void CommandLine(const QByteArray& line);
    void MailboxLine(const QByteArray& line);
    QByteArray Banner() const;

    // HOST mode
    void HostByte(quint8 byte);
    void AppendPayload(quint8 byte);
    void HostFrame(quint8 control, const QByteArray& payload);
    void HostCommand(const QByteArray& payload);
    void HostData(const QByteArray& payload);
    void EnterHostMode();

    // Modes and link
    bool IsPactor() const;
    bool IsListening() const;
    bool CanTransmit() const;
    void SetMode(Mode mode, bool rttyTransmit = false);
    void StartCall(Mode mode, const QByteArray& call);
    void Connect(bool weCalled);
    void EndLink(bool announce);
    void ChangeOver(bool toUs);
    void EndTransmission();
    void Transmit(const QByteArray& text);
    void FlushTransmitBuffer();
    void RemoteTalk();
    void HeardCq();
    QByteArray OwnCall() const;

    // Time
    bool started_ = false;
    quint32 now_ = 0;
    quint32 lastByteAt_ = 0;

    // Output waiting for the program
    QByteArray out_;

    // Command line
    LineMode lineMode_ = LineMode::Command;
    QByteArray line_;
    QByteArray composeTo_;
    QByteArray compose_;
    QList<Message> messages_;
    QMap<QByteArray, QByteArray> params_;
    QByteArray clockText_;

    // HOST mode
    bool hostMode_ = false;
    FrameState frameState_ = FrameState::Idle;
    quint8 control_ = 0;
    QByteArray payload_;
    bool overlong_ = false;
    bool escaped_ = false; // the last payload byte was a DLE

    // Operating state
    Mode mode_ = Mode::PactorStandby;
    bool rttyTransmit_ = false;
    Link link_ = Link::None;
    bool weSend_ = false;
    QByteArray linkCall_;
    QByteArray txBuffer_;
    quint32 callStart_ = 0;
    int callingReports_ = 0;
    bool idleReported_ = false;
    int turns_ = 0;
    std::optional<quint32> disconnectAt_;
    std::optional<quint32> remoteTalkAt_;
    std::optional<quint32> handBackAt_;
    std::optional<quint32> nextCqAt_;
    std::optional<quint32> lastTrafficAt_;

    bool unsolicited_ = true;
    bool answerCalls_ = true;

    // Records for tests
    QList<Frame> frames_;
    QList<QByteArray> lines_;
    int statusRequests_ = 0;
};
