#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <random>

#include "link/SerialPeer.h"

// A simulated PK-232 multi-mode controller: bytes in, bytes out, driven by a
// millisecond clock and deterministic for a given clock and seed. It answers
// plain command lines (ending in carriage return) with the "cmd:" prompt and
// serves a small mailbox there; enters HOST mode on "host on"; answers HOST
// command frames and the status request; keeps an operating mode; sends what
// it is given at the air speed of the mode and echoes it; plays the other
// station of an ARQ link and the other stations heard on the band.
//
// The parts: Pk232Model.cpp (time and output), ModelLine.cpp (the serial
// line: start states, autobaud, word length and parity, flow control, the
// Converse mode), ModelCommandLine.cpp, ModelMailbox.cpp, ModelHost.cpp
// (HOST frames and commands), ModelLink.cpp (modes, links, status, the other
// side), ModelAir.cpp, ModelBand.cpp (stations heard, the maildrop visitors).
//
// ---- The line
// The unit starts in one of four states (PutInState): at "cmd:" (the
// default), in Converse, in HOST mode, or cold. Cold, it waits for the
// autobaud character '*' and ignores everything else; it then answers at the
// factory word length 7 with even parity. Word length and parity (AWLEN,
// PARITY) take effect at the next RESTART. The host is taken to be at 8 bits,
// no parity: at 7 bits every byte to it carries the parity bit as bit 7 (with
// no parity the stop bit, 1), and the unit reads the low 7 bits of what the
// host sends. In Converse every byte is text to transmit and is echoed, host
// frames included; COMMAND (0x03) goes back to "cmd:". CANLINE (0x18) throws
// away the line being typed; XON (0x11) and XOFF (0x13) do nothing. With
// hardware flow control (the default) all output is held while the host's
// RTS is low (SetModemLines).
//
// ---- Framing
// HOST frame: 0x01, control byte, payload, 0x17. Inside the payload the bytes
// 0x01, 0x10 and 0x17 travel behind a DLE (0x10), both ways: the model takes
// the DLE away from what it reads and puts it before those bytes in what it
// sends. An unescaped 0x01 inside a frame starts a new frame (the one before
// lost its end). Bytes outside frames are ignored in HOST mode; each run of
// them (up to a carriage return or the next frame) is noted, see TakeNotes()
// ("MYC PA0XYZ" typed at the own-call dialog lands there).
//
// ---- Status reply to "OP", eight characters the program keeps:
//   1-2 "OP"; 3-4 mode code (Pt PN PD PG AM AL FE AC BA);
//   5 phase: '0' standby (Pt, AM, and RTTY receive); '1' calling (phasing);
//     on a link '3' idle, '4' traffic (text on the air within
//     kTrafficShowMs), '2' over (within kOverShowMs of a change over), '5'
//     and '6' (error, request) while the signal fades. The first reports of
//     a new link may be '4' or '2' before the first '3' (see
//     SetNextLinkOpening); after that first '3' anything goes. Listening:
//     '3', or '4' while band traffic comes in. Unproto and FEC: '4'. In RTTY
//     position 5 carries the transmit mark: 'S' while transmitting, else '0'.
//   6 'S' while this station sends (calling, own turn on a link, unproto,
//     FEC), else '-'; '-' in RTTY;
//   7 '-'; 8 '1' while a PACTOR link runs with PTHUFF ON, else '0'.
// Examples: "OPPN3--0" listening, "OPPG1S-0" calling, "OPPG3S-1" connected
// and sending, "OPPG4--1" the other station sending.
// Mnemonics are two letters and case matters: "Pt" is PACTOR standby, "PT"
// PACTIME (answered "PTA 10", the mode unchanged). Any other command gets a
// short reply: the mnemonic and a return code (see below), fewer than five
// characters the program keeps. Every data frame is answered
// at once with "\x01\x5FXX\x00\x17".
//
// ---- Frames to the program
// 0x2F ('/') the echo of transmitted text, one character per frame as it goes
// out on the air (with EAS ON a carriage return is sent but not echoed); 0x30
// ('0') text heard from other stations, one character per frame as it comes
// in; 0x50 ('P') link
// messages ("*** CONNECTED to CALL", "*** DISCONNECTED",
// "*** RETRY COUNT EXCEEDED"); 0x4F ('O') command replies. The echo gives
// back exactly the bytes that went out (a CR stays a lone CR), so a program
// counting what is still to come back stays exact (EAS aside); other stations' lines end
// in CR LF. Off HOST mode the same texts come as plain text, and the band is
// silent.
//
// ---- Transmitting
// Data frames (control ' ') fill a transmit buffer of kMaxTransmitBuffer bytes
// (what does not fit is dropped and noted). It goes out at the mode's air speed
// (PACTOR kPactorCps, AMTOR kAmtorCps, RTTY kRttyCps characters per second,
// times the factor of SetAirSpeed) whenever this station may send: its own
// turn on a link, unproto (PD), FEC (FE), RTTY transmit (XM). Otherwise it
// waits. PACTOR carries every byte value; AMTOR and RTTY carry the Baudot
// alphabet only: letters, digits, blank, CR, LF, bell and the figures
// - ? : ( ) . , ' / = + $ ! & # " ; (small letters go out as capitals; the
// rest is dropped as it arrives in these modes, and never echoed). Taking
// effect when they reach the air, never echoed:
// 0x04 ends the link (after kDisconnectDelayMs) or the one-way transmission;
// 0x19 in PACTOR and "+?" in AMTOR give the turn to the other station. A 0x04
// while calling ends the call at once. "\x01OTC\x17" (and "TClear" on the
// command line) empties the buffer.
//
// ---- Calling and links
// "\x01OPGcall\x17" (PACTOR) and "\x01OACcall\x17" (AMTOR) call. The called
// station answers AnswerDelayMs() after the call, but not before one status
// reply has shown the calling phase; then "*** CONNECTED to CALL" comes and
// the other operator greets the call loaded with MYCALL and hands the turn
// over. A station that does not answer (SetAnswerCalls(false), or the control
// command "answer off") fails the call after kCallTries tries of kCallTryMs
// with "*** RETRY COUNT EXCEEDED"; an empty call fails at once. "\x01OAG\x17"
// swaps the turn; when the other station gets it, it answers with a line or
// two after kRemoteTalkDelayMs and hands back kHandBackDelayMs after its last
// character; when this side's turn held "73" or "SK" as a word, it signs off
// instead and disconnects kDisconnectDelayMs after its last character.
// "\x01OPt\x17" and "\x01OAM\x17" end a link at once.
//
// ---- Band traffic
// While listening in PACTOR (PN) or AMTOR (AL), or receiving in RTTY (BA),
// and in HOST mode, other stations are heard now and then (a CQ call, the end
// of a QSO, a beacon; RTTY with a wrong letter now and then), at the pace of
// SetBandPace; standby is silent. With the maildrop on (TL Y, or
// "MAILDROP ON") a station now and then leaves a message, announced by a line
// of received text.
//
// ---- Mailbox (command line)
// "MDC" opens it with the prompt "MBX>": "L" lists (number, sender, size,
// subject), "R n" reads, "K n" kills (the blank is needed: "R1" is refused),
// "S call" takes a message whose text ends with "/EX" at the start of a line;
// every other byte is stored as it came (a Ctrl-Z and the bytes of HOST
// frames sent meanwhile included), "B" leaves. The subject is the first line
// of the text.
//
// ---- As strict as a unit (ModelStrict.cpp)
// A command line (at "cmd:" or "MBX>") that begins to arrive while the unit
// is still answering the line before is answered "?What?" and not carried
// out: an answer lasts kLineWorkMs and then the time its bytes take on the
// line at SetLineRate (960 bytes a second, 9600 baud, by default). An unknown
// command is answered "?What?". In HOST mode a command is answered with its
// mnemonic and a return code (0x00 done, 0x01 bad, 0x07 unknown command,
// 0x09 not while connected, 0x0C already connected); a block from the host
// longer than kMaxHostBlock bytes is refused whole with "\x01\x5FXXW\x17".
// With HPOLL ON only command replies come unasked: every other frame waits
// for the poll "\x01OGG\x17", which gets one waiting frame, or "GG" 0x00
// when none waits. Without the PACTOR option (SetPactorOption(false)) the
// PACTOR commands are unknown and the unit stands by in AMTOR.
//
// ---- For tests
// Everything runs on the clock given to FromHost/Tick/ToHost and on the
// seed: the same bytes at the same times give the same answers. Hosted by
// MemorySerialBackend::AttachPeer, the model runs on the virtual clock:
//   Pk232Model pk;                          // seed 232, band normal, real air
//   pk.SetBandPace(Pk232Model::BandPace::Off);  // or SetBandIntervalMs(2000)
//   pk.SetAirSpeed(0);                      // echo at once (or 10: ten times)
//   pk.SetAnswerDelayMs(2000);              // a call answers 2 s after it
//   pk.SetNextLinkOpening("");              // straight to idle on connect
//   RunControlCommand(pk, "call DL1ABC", clock.TickCount()); // as on stdin
//   pk.Messages(), pk.Transmitted(), pk.Heard(), pk.FramesReceived()
// The control-channel commands of dervalo-pk232sim are reachable in-process
// through RunControlCommand (ControlCommands.h) or the methods under "the
// other side" below.
class Pk232Model : public SerialPeer {
public:
    static constexpr int kMaxLine = 256;     // command line length kept
    static constexpr int kMaxPayload = 1024; // HOST frame payload read before it is dropped
    static constexpr int kMaxHostBlock = 330; // the longest block from the host taken
    static constexpr int kMaxTransmitBuffer = 4096;
    static constexpr int kMaxOutput = 65536; // bytes waiting for the program
    static constexpr int kMaxTextFrame = 1; // received text: one character per frame
    static constexpr int kMaxLog = 256;      // frames and lines remembered
    static constexpr int kMaxNotes = 64;
    static constexpr int kMaxAirLog = 65536; // bytes kept of Transmitted()/Heard()
    static constexpr int kMaxMessages = 20;  // mailbox
    static constexpr int kMaxMessageSize = 4096;
    static constexpr int kPactorCps = 20;
    static constexpr int kAmtorCps = 7;
    static constexpr int kRttyCps = 6;
    static constexpr quint32 kFrameGapMs = 2000; // a frame silent this long is dropped
    static constexpr quint32 kEchoBatchMs = 300;
    static constexpr quint32 kAnswerMinMs = 2500;    // a called station answers
    static constexpr quint32 kAnswerSpreadMs = 3000; // within min .. min + spread
    static constexpr quint32 kCallTryMs = 1500;
    static constexpr int kCallTries = 8;
    static constexpr quint32 kDisconnectDelayMs = 1000;
    static constexpr quint32 kRemoteTalkDelayMs = 1500;
    static constexpr quint32 kHandBackDelayMs = 1000;
    static constexpr quint32 kTrafficShowMs = 3000;
    static constexpr quint32 kOverShowMs = 1200;
    static constexpr quint32 kFadeMs = 8000;
    static constexpr quint8 kCtlEcho = '/';  // to the program: echo of sent text
    static constexpr quint8 kCtlHeard = '0'; // to the program: text received
    static constexpr quint8 kCtlAck = '_';   // to the program: a data frame taken

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
        Fax,           // FA: weather fax, receiving (ModelFax.cpp)
    };
    enum class Link { None, Calling, Connected };
    enum class LinkEvent {
        Answer,          // the called station answers now
        IncomingCall,    // a station calls us (it sends first)
        RemoteDisconnect // the other station ends the link now
    };
    // Mean time between two stations heard on the band: quiet 90 s, normal
    // 30 s, busy 10 s; off: nobody. The first one comes after a quarter of it.
    enum class BandPace { Off, Quiet, Normal, Busy };
    struct Frame {
        quint8 control;
        QByteArray payload;
    };
    struct Message {
        QByteArray from;
        QByteArray to;
        QByteArray subject;
        QByteArray text; // lines end in CR
    };

    // Where the unit stands: cold (waiting for the autobaud '*'), at "cmd:",
    // in Converse, in HOST mode.
    enum class UnitState { Cold, Command, Converse, Host };

    explicit Pk232Model(quint32 seed = 232);

    // SerialPeer
    void FromHost(quint8 byte, quint32 nowMs) override;
    void Tick(quint32 nowMs) override;
    QByteArray ToHost(quint32 nowMs) override;
    void SetModemLines(bool rts, bool dtr) override;

    // ---- the line
    // Puts the unit into a state, as if it had been left there: cold sets
    // the factory word length and parity (7, even); the others 8 bits, no
    // parity (stored, so a RESTART keeps them). Nothing is sent. The
    // operating state starts afresh when cold (a power cycle); parameters and
    // the mailbox stay.
    void PutInState(UnitState state, quint32 nowMs);
    UnitState CurrentUnitState() const;
    // The unit's line as it is now, e.g. "8N1" or "7E1".
    QByteArray LineFormat() const;
    int WordLength() const { return wordLength_; }
    // Hardware flow control: output waits while RTS is low. On by default.
    void SetHardwareFlow(bool on) { hardwareFlow_ = on; }
    bool HardwareFlow() const { return hardwareFlow_; }
    bool Rts() const { return rts_; }
    bool Dtr() const { return dtr_; }

    // ---- state
    bool IsHostMode() const { return hostMode_; }
    bool InConverse() const { return converse_; }
    bool WaitingForAutobaud() const { return cold_; }
    bool InMailbox() const { return lineMode_ != LineMode::Command; }
    bool Composing() const { return lineMode_ == LineMode::Compose; }
    Mode CurrentMode() const { return mode_; }
    QByteArray ModeCode() const;
    Link LinkState() const { return link_; }
    bool WeAreSending() const { return weSend_; }
    bool RttyTransmitting() const { return rttyTransmit_; }
    bool Fading() const { return fadeEndAt_.has_value(); }
    QByteArray LinkCall() const { return linkCall_; }
    // Bytes given to transmit that are not on the air yet.
    QByteArray TransmitBuffer() const { return txBuffer_; }
    // Text of other stations still coming in over the air.
    QByteArray IncomingAir() const { return rxAir_; }
    // The status body the next "OP" would get (the phase of a new link's
    // opening is not used up by asking here).
    QByteArray StatusBody() const;

    // Stored parameters, looked up by name or accepted abbreviation, any case.
    QByteArray Param(const QByteArray& name) const;
    // A number parameter, `unset` while it was never given.
    int ParamNumber(const QByteArray& name, int unset) const;
    QMap<QByteArray, QByteArray> Params() const { return params_; }
    QByteArray MyCall() const { return Param("MYCALL"); }
    QByteArray MySelCall() const { return Param("MYSELCAL"); }
    QByteArray MyPtCall() const { return Param("MYPTCALL"); }
    bool EchoOn() const;
    bool EasOn() const;
    bool MaildropOn() const;
    QByteArray ClockText() const { return clockText_; }

    // ---- what the program sent and what went out
    // Complete HOST frames (payload without the DLEs) and command lines.
    const QList<Frame>& FramesReceived() const { return frames_; }
    const QList<QByteArray>& LinesReceived() const { return lines_; }
    int StatusRequests() const { return statusRequests_; }
    // What this station put on the air, as it went out (after the Baudot
    // filter, without the 0x04/0x19/"+?" that took effect), and what the
    // program was sent of other stations' text; each at least its last
    // kMaxAirLog bytes (at most twice that).
    QByteArray Transmitted() const { return transmitted_; }
    QByteArray Heard() const { return heard_; }
    // Notes for the operator of the simulator: bytes ignored outside frames
    // (each note beginning with kIgnoredOutsideFrame), transmit-buffer
    // overflow, mailbox events. Taken out.
    QList<QByteArray> TakeNotes();
    static constexpr const char* kIgnoredOutsideFrame = "ignored outside a frame in HOST mode: ";

    // ---- mailbox
    const QList<Message>& Messages() const { return messages_; }
    int MessageCount() const { return int(messages_.size()); }
    // A message left by a station; false when the mailbox is full.
    bool AddMessage(const QByteArray& from, const QByteArray& to, const QByteArray& text);

    // ---- pace
    // Air speed as a factor of the real one: 1 real (the default), N N times
    // faster, 0 no air time at all (everything goes out at once).
    void SetAirSpeed(int factor) { airSpeed_ = qMax(0, factor); }
    int AirSpeed() const { return airSpeed_; }
    // A stalled line: the unit takes no bytes off it (held by flow control,
    // a bridge on a weak network). The serving program stops reading.
    void SetLineStalled(bool stalled) { lineStalled_ = stalled; }
    bool LineStalled() const { return lineStalled_; }
    void SetBandPace(BandPace pace);
    BandPace CurrentBandPace() const { return bandPace_; }
    // Fixed mean interval for band traffic (and a quarter of it before the
    // first), overriding the pace; 0 goes back to the pace.
    void SetBandIntervalMs(quint32 ms);
    // Older switch: Normal when on, Off when off.
    void SetUnsolicitedTraffic(bool on) { SetBandPace(on ? BandPace::Normal : BandPace::Off); }
    // Whether a called station answers; on by default.
    void SetAnswerCalls(bool on) { answerCalls_ = on; }
    bool AnswerCalls() const { return answerCalls_; }
    // Time from a call to its answer: fixed, or (0) drawn from the seed.
    void SetAnswerDelayMs(quint32 ms) { answerDelayMs_ = ms; }
    // The phase digits reported before the first '3' of the next link, for
    // example "" (straight to idle), "4", "2" or "42"; drawn from the seed
    // when not set. Used once.
    void SetNextLinkOpening(const QByteArray& phases) { nextOpening_ = phases; }
    void SetSeed(quint32 seed) { random_.seed(seed); }

    // ---- strictness (ModelStrict.cpp)
    static constexpr quint32 kLineWorkMs = 10; // a command line's own work before its answer
    // The line's rate in bytes a second (0: answers take no line time).
    void SetLineRate(int bytesPerSecond) { lineRate_ = qMax(0, bytesPerSecond); }
    // A unit without the PACTOR option: PACTOR commands unknown, AMTOR standby.
    void SetPactorOption(bool on);
    bool PactorOption() const { return pactorOption_; }
    bool HostPolled() const; // HPOLL ON
    void SetHpoll(bool on) { params_["HPOLL"] = on ? "ON" : "OFF"; }
    // Command lines answered "?What?" because they came too early or are unknown.
    const QList<QByteArray>& RefusedLines() const { return refused_; }

    // ---- the other side (what the control channel drives)
    // A station calls us in the mode the controller is in (PACTOR or AMTOR,
    // not transmitting, no link); it greets and hands over. False otherwise.
    bool RemoteCall(const QByteArray& call, quint32 nowMs);
    // A line from the other station (CR added) on the air: on a link it
    // breaks in when this side has the turn and hands back after it; with no
    // link it is heard while listening. False when nobody could hear it.
    bool RemoteText(const QByteArray& text, quint32 nowMs);
    // The other station changes over: takes the turn (and keeps it until the
    // next change over or its text) or gives it back. False without a link.
    bool RemoteChangeOver(quint32 nowMs);
    bool RemoteDisconnect(quint32 nowMs);
    // The signal fades: errors and requests for kFadeMs, then the link fails.
    bool SignalFade(quint32 nowMs);

    // ---- weather fax (ModelFax.cpp)
    // In FAX mode (entered by "FA", which starts a picture), with PRFAX OFF,
    // the chart of FaxChart goes to the program in 0x3F frames of 1 to 256
    // bytes, spread over the time FSPEED and ASPECT give a band of 8 rows
    // (times the air speed's factor; all at once at 0). FS, AY and PF are
    // kept. The status is "OPFA" + '4' (a picture comes) or '0', and 'R'.
    // Starts the picture now (false when not in FAX mode or PRFAX is ON);
    // stops it where it is, as a signal that goes (false when none came).
    bool StartFaxPicture(quint32 nowMs);
    bool StopFaxPicture(quint32 nowMs);
    bool FaxRunning() const { return !fax_.isEmpty(); }
    // Milliseconds a band of 8 rows takes at the set FSPEED and ASPECT.
    quint32 FaxBandMs() const;

    // Older hooks: text frames sent to the program now, without air time;
    // link events at once.
    void InjectRemoteText(const QByteArray& text, quint32 nowMs);
    void InjectLinkEvent(LinkEvent event, quint32 nowMs, const QByteArray& call = {});

private:
    enum class LineMode { Command, Mailbox, Compose };
    enum class FrameState { Idle, Control, Payload };

    // Time
    void Advance(quint32 nowMs);
    bool Due(std::optional<quint32> at) const;
    std::optional<quint32> NextStop() const;
    bool RunDueEvents();
    quint32 Random(quint32 below);
    quint32 Jitter(quint32 mean);

    // The line
    quint8 FromLine(quint8 byte) const;
    QByteArray ToLine(const QByteArray& bytes) const;
    void ApplyLineParams();
    void SetLineFormat(int wordLength, int parity);
    void ConverseByte(quint8 byte);
    void LeaveHostMode();

    // Output
    void Emit(const QByteArray& bytes);
    void EmitFrame(quint8 control, const QByteArray& body);
    void EmitText(quint8 control, const QByteArray& text);
    void EmitLinkMessage(const QByteArray& text);
    void EmitPrompt(const QByteArray& reply = {});
    void Note(const QByteArray& text);
    void NoteOutside();

    // Command line and mailbox
    void LineByte(quint8 byte);
    void ComposeByte(quint8 byte);
    void ComposeText(quint8 byte);
    void CommandLine(const QByteArray& line);
    void MailboxLine(const QByteArray& line);
    QByteArray Banner() const;

    // Strictness (ModelStrict.cpp)
    bool Answering() const;
    void Answered(int answerBytes);
    bool RefuseEarlyLine(const QByteArray& line);
    void RefuseLine(const QByteArray& line);
    bool IsPactorCommand(const QByteArray& word) const;
    bool HeldForPoll(quint8 control) const;
    void Poll();

    // HOST mode
    void HostByte(quint8 byte);
    void AppendPayload(quint8 byte);
    void HostFrame(quint8 control, const QByteArray& payload);
    void HostCommand(const QByteArray& payload);
    void HostData(const QByteArray& payload);
    void TakeText(const QByteArray& text); // into the transmit buffer
    void EnterHostMode();

    // Modes and links
    bool IsPactor() const;
    bool IsListening() const;
    bool CanTransmit() const;
    bool CanHear() const;
    void SetMode(Mode mode, bool rttyTransmit = false);
    void ClearLink();
    void ResetOperatingState();
    void StartCall(Mode mode, const QByteArray& call);
    void FailCall();
    void Connect(bool weCalled);
    void EndLink(bool announce);
    void ChangeOver(bool toUs);
    void EndTransmission();
    void Fade();
    QByteArray OwnCall() const;
    QByteArray HisCall() const;

    // Weather fax: the reply (accepted or not) for FA, FS, AY and PF,
    // nothing for other commands.
    std::optional<bool> FaxCommand(const QByteArray& code, const QByteArray& args);
    bool StartFax();
    void WorkFax();

    // The air
    int AirRate() const; // characters per second, 0 = no air time
    int SendableTx() const;
    std::optional<quint32> AirDrainAt() const;
    void WorkAir(quint32 until);
    void SendOnAir(int count);
    void HearOnAir(int count);
    void EchoSent(const QByteArray& sent);
    void FlushEcho();
    void FlushHeard();
    QByteArray Baudot(const QByteArray& text, bool lineFeeds) const;
    void QueueRemote(const QByteArray& text);
    void RemoteTalk();
    void BandTraffic();
    void MaildropVisit();
    void ScheduleBand(bool first);
    void ScheduleMaildrop(bool restart);

    // Time
    bool started_ = false;
    quint32 now_ = 0;
    quint32 lastByteAt_ = 0;
    std::mt19937 random_;

    // The line
    bool cold_ = false;     // waiting for the autobaud character
    bool converse_ = false; // Converse mode
    int wordLength_ = 8;
    int parity_ = 0; // as PARITY: 0 and 2 none, 1 odd, 3 even
    bool hardwareFlow_ = true;
    bool rts_ = true;
    bool dtr_ = true;

    // Output waiting for the program
    QByteArray out_;
    QList<QByteArray> notes_;
    QByteArray outside_; // bytes outside frames in HOST mode, not yet noted

    // Command line and mailbox
    LineMode lineMode_ = LineMode::Command;
    QByteArray line_;
    QByteArray composeTo_;
    QByteArray compose_;
    bool swallowCr_ = false;
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
    bool manualTurn_ = false; // the other side took the turn by hand
    bool handBackAfterText_ = false;
    bool endAfterText_ = false; // the other side signs off and disconnects
    QByteArray ourTurn_;        // what this side sent in its last turn
    QByteArray linkCall_;
    int callingReports_ = 0;
    QByteArray opening_; // phases still to report before the first '3'
    bool idleReported_ = false;
    int fadeReports_ = 0;
    int turns_ = 0;
    std::optional<QByteArray> nextOpening_;
    std::optional<quint32> answerAt_;
    std::optional<quint32> failAt_;
    std::optional<quint32> disconnectAt_;
    std::optional<quint32> remoteTalkAt_;
    std::optional<quint32> handBackAt_;
    std::optional<quint32> fadeEndAt_;
    std::optional<quint32> bandAt_;
    std::optional<quint32> maildropAt_;
    std::optional<quint32> lastTrafficAt_;
    std::optional<quint32> overAt_;

    // The air
    QByteArray txBuffer_;
    QByteArray rxAir_;
    quint32 airAt_ = 0;
    qint64 airCredit_ = 0; // thousandths of a character
    QByteArray echo_;
    QByteArray heardBatch_;
    quint32 heardSince_ = 0;
    QByteArray transmitted_;
    QByteArray heard_;

    // Pace
    int airSpeed_ = 1;
    bool lineStalled_ = false;
    BandPace bandPace_ = BandPace::Normal;
    quint32 bandIntervalMs_ = 0;
    bool answerCalls_ = true;
    quint32 answerDelayMs_ = 0;

    // Strictness
    int lineRate_ = 960;
    std::optional<quint32> answeringUntil_;
    bool lineEarly_ = false; // the line being typed began while the unit answered
    bool pactorOption_ = true;
    QList<QByteArray> polled_; // frames waiting for a poll (HPOLL ON)
    QList<QByteArray> refused_;
    // Weather fax: the stream of the picture under way and how far it went.
    QByteArray fax_;
    qint64 faxSent_ = 0;
    quint32 faxStartAt_ = 0;
    int faxBlock_ = 1;

    // Records for tests
    QList<Frame> frames_;
    QList<QByteArray> lines_;
    int statusRequests_ = 0;

    // ---- Morse, ASCII, NAVTEX and packet (ModelModes.cpp, ModelNavtex.cpp,
    // ModelPacket.cpp) ----
public:
    enum class OtherMode { None, Morse, Ascii, Navtex, Packet };
    OtherMode CurrentOtherMode() const { return other_; }
    QByteArray OtherStatusBody() const;
    QByteArray OtherState() const;
    bool OtherHeard(OtherMode mode, const QByteArray& text, int wpm = 0);
    // XBAUD set: ASCII is decoded at that rate, not at ABAUD.
    bool AsciiRateOverridden() const;
    // The next `count` scripted NAVTEX messages, those let through by
    // NAVSTN and NAVMSG sent; returns their ids ("-" before one held back).
    QByteArray NavtexSend(int count);
    void SetNavtexBlock(quint8 control) { navtexBlock_ = control; }
    bool PacketMonitor();
    // The channel a station calling in took, or one of these.
    static constexpr int kNotInPacket = -1;
    static constexpr int kNoFreeChannel = -2;
    int PacketIncoming(const QByteArray& call);
    bool PacketRemoteText(const QByteArray& text);
    bool PacketRemoteDisconnect();
    void SetPacketAnswer(const QByteArray& how) { packetAnswer_ = how; }

private:
    bool OtherModeFrame(quint8 control, const QByteArray& payload);
    bool OtherModeCommand(const QByteArray& code, const QByteArray& args);
    void OtherData(const QByteArray& payload);
    static QByteArray Garbled(const QByteArray& text);
    // Morse and ASCII on the air: one character at a time, at the mode's
    // speed (times the air speed factor), echoed as it goes out.
    int OtherCharMs(bool sending) const;
    void OtherAirStep();
    void ScheduleOtherAir();
    void ClearOtherAir();
    bool NavtexPasses(char station, char messageClass) const;
    void PacketCommand(int channel, const QByteArray& payload);
    void PacketData(int channel, const QByteArray& payload);
    void PacketEnd(int channel, bool announce);

    OtherMode other_ = OtherMode::None;
    bool otherTransmit_ = false;
    int morseWpm_ = 20;
    QByteArray otherTx_; // Morse or ASCII text waiting to go out
    QByteArray otherRx_; // Morse or ASCII text still coming in
    std::optional<quint32> otherAt_; // the next character's time
    quint8 navtexBlock_ = '?';
    int navtexNext_ = 0;
    std::optional<quint32> navtexTrafficAt_;
    QMap<int, QByteArray> packetLinks_; // channel -> the other station
    QByteArray packetAnswer_ = "on";
};
