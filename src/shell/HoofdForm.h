#pragma once

#include <QDateTime>
#include <QFile>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QVector>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

#include "host/CommandAnswer.h"
#include "host/EchoLineBreaks.h"
#include "host/FrameReader.h"
#include "link/Poort.h"
#include "shell/InOutError.h"
#include "logbook/WorkedBeforeLookup.h"
#include "modes/ModeState.h"
#include "shell/ProgramState.h"

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class Clock;
class Prompts;
class SerialBackend;
class TComBaudConfig;
class TConnectForm;
class TListConnectForm;
class TYourcallForm;
class TLogBookEditForm;
class TLogBookInvulForm;
class TLogBookShowForm;
class TFileBestaatForm;
class TNavtexListForm;
class TTabBalk;
class FaxReception;
class TBar;
struct Evening;

// The main window: it creates the widgets, owns the program-wide state and
// wires events to the subsystem code. The operations of each subsystem are
// methods of this class, defined in the source files of their own folders
// (host/, operations/, terminal/, logbook/); this file and HoofdForm.cpp keep
// the life cycle and the widgets.
class THoofdForm : public QMainWindow {
    Q_OBJECT

public:
    // `folder` is the working folder in which every file of the program is
    // looked up. FormCreate runs here.
    THoofdForm(SerialBackend& backend, Clock& clock, Prompts& prompts, const QString& folder,
               QWidget* parent = nullptr);
    ~THoofdForm() override;

    // Creates the program's dialogs in their fixed order, after the main
    // window: they stay hidden and live for the whole run.
    void CreateDialogs();

    DervaloState st;
    Poort poort;

    // ---- life cycle and shared helpers ----
    void FormCreate();
    bool FormCloseQuery();
    void StopTimers();
    void StartTimers();
    void Delay(quint32 ms);
    void Warning(const QString& text);
    void OpenPoort();
    void ReadBuildInParameters();
    void ControllerStartUp();
    // Help: "Dervalo.hlp" in the working folder when it is there, else the
    // installed manual (the first of the manual candidates found) in the
    // desktop's browser, else the warning.
    void Help1Click();
    void SetManualCandidates(const QStringList& paths) { manualCandidates_ = paths; }
    void MenuEditaFileClick();
    void MenuExitDervaloClick();
    // Runs an operation; an input/output error ends it and is shown in a box.
    void Guarded(const std::function<void()>& operation);

    // ---- layout and appearance ----
    void FormResize();
    void MenuRxWindowFontClick();
    void MenuTxWindowFontClick();
    void KnoppenBalk1Click();
    void Statusline1Click();
    void MenuRxWindowColorClick();
    void MenuTxWindowColorClick();
    // Colors / "Own text": the colour of the echo of what this side sends.
    void MenuEchoColorClick();
    void TransmitandReceivebar1Click();
    void TransmitbalkMouseDown();
    void TransmitbalkMouseMove(int y);
    void TransmitbalkMouseUp();
    void ApplyStoredAppearance();
    // Fonts and colours of the text windows and bars.
    void ApplyWindowAppearance();
    // Style, name and size of the general-button and status-line fonts.
    void ApplyButtonAndStatusFonts();
    // Places every part of the window: the layout pass without its repaint
    // and tail.
    void LayOut();
    // The window's outer width and height (W and H of the layout), frame
    // and title bar included.
    int OuterWidth() const;
    int OuterHeight() const;
    static constexpr int kTitleAllowance = 30;
    // The frame counted into the window's width on both sides together.
    static constexpr int kFrameWidth = 8;
    static constexpr int kHintDurationMs = 2500;
    // Gives every hint of the window and its dialogs its time on the screen.
    void SetHintDurations();

    // ---- port dialog ----
    void MenuComPortClick();
    void ShowPortPane();
    // "COM4: 9600"; a device path by its file name ("ttyUSB0: 9600").
    static QString PortPaneText(const QString& portName, quint16 baudRate);

    // ---- host frames and transmission ----
    void Send(const QByteArray& text);
    // The line's outage and return: `Send` and the relink timer open a line
    // that is down again, quietly; `LineCameBack` runs whenever it is back
    // (a device at once, a connection once made), `LineReadyRead` whenever
    // bytes have come.
    void WatchLine();
    void ReopenLine();
    void LineCameBack();
    void EndOutage();
    void LineReadyRead();
    // Bytes that come within kReadGapMs of the last reading wait for the
    // end of that gap and are read together: a flood of small frames is
    // shown a handful at a time, not laid out one by one.
    static constexpr int kReadGapMs = 8;
    // How often a line that is down is tried again, box up or not.
    static constexpr int kRelinkMs = 1000;
    // Times the line came back (a reopen worked, a connection was made).
    int LineReturns() const { return lineReturns_; }
    void senddata(const QByteArray& text);
    void SendCTRL(quint8 code);
    void sendstatusreq();
    void StatusAanvraagTimerTimer();
    void TimeToPk232();
    void RefreshCountPanes();

    // ---- receive decoder ----
    // What received text is: the echo of what this side sends (shown in the
    // operator's own colour), or text heard and the controller's own
    // (monitor frames included).
    enum class TextKind : char { Received, Echo };
    // What a single-byte read yields when no byte came: ignored everywhere.
    static constexpr int kNoByte = -1;
    // The dumb-terminal reader reads for at most this long per call, well
    // under the write timer's interval, so that a line that never falls
    // quiet never holds the window.
    static constexpr quint32 kCallTimeLimitMs = 20;
    // A write-timer tick (or a readyRead of the line) reads the frames that
    // are waiting, one after the other, and starts no new one once this much
    // time has gone: the window stays responsive.
    static constexpr quint32 kTickBudgetMs = 30;
    // The reply to the check at HOST mode entry is read for at most this long.
    static constexpr quint32 kFrameTimeLimitMs = 2000;
    bool V24Data();
    void WaitForData();
    int V24Read();
    int V24input();
    // One byte of a frame as the frame reader gave it: `escaped` bytes are
    // data, never a frame's start or end.
    struct PayloadByte {
        int value;
        bool escaped;
    };
    // Where the frame being read stands between bytes, and between calls.
    enum class FramePart { None, Control, Echo, Text, Monitor, Reply, LinkMessage, Unlisted };
    // One byte of the frame being read, by the part it stands in: true at
    // the frame's end.
    bool TakeFrameByte(const PayloadByte& p);
    void GETV24Data();
    // One whole frame, if one has come (the bytes waiting on the line go to
    // the frame reader first).
    void ReadFrame();
    void PullLineBytes();
    // The steps of one frame: its control byte, its text, its end.
    void TakeFrame(const FrameReader::Frame& frame);
    // The text of the frame read so far goes out in one step.
    void FlushFrameText();
    // The next frame has come and carries more text of the kind read so far
    // (received or echo): the tick shows both in one step.
    bool TextGoesOn();
    // Held-back text goes out, each run in its own kind.
    void WritePendingText();
    // Holds one received character back, with its kind.
    void HoldText(quint8 c, TextKind kind);
    // The HOST-mode reading of one write-timer tick: GETV24Data until
    // nothing is waiting, a frame is left unfinished, the capture file has
    // failed, or kTickBudgetMs has gone. Text frames of one kind that follow
    // each other go to the window in one step.
    void ReadWaitingFrames();
    void GETV24DUMB();
    void DummiRead();

    // ---- status decoding and status line ----
    // One payload byte of a command reply (kind 1) or link message (kind 2):
    // kept in StatusReplyText (and LinkMessageText) when it is a kept one.
    void KeepReplyByte(int kind, int b);
    // The reply has been read up to its end byte: decoded.
    void READMODE(int kind);
    void MakeMode();
    void StatusLine();
    void EnablePactorKnoppen();
    void DisAblePactorKnoppen();

    // ---- host mode entry and exit ----
    void HostOn(int kind);
    // XON, CANLINE and COMMAND: whatever state the controller is in, it is at
    // its command line afterwards with an empty line (HOST mode excepted,
    // which ignores bytes outside frames).
    static QByteArray StartOver();
    // Sends `check` and reads until the controller's answer to "GG" has come
    // whole: true then; false when the line falls quiet or the time is up.
    bool HostModeAnswers(const QByteArray& check);
    void hostOff();
    // The reset that the start-up sends a controller in any state, up to the
    // eight bits of the restart; false when one of its lines failed.
    bool ResetController();
    // After a port outage the controller may have been restarted: when the
    // program took it to be in HOST mode, the check is sent again, and a unit
    // that does not answer is brought back as at start-up. Runs at a
    // write-timer tick, never inside another write, a file transmission or a
    // dialog, and never within itself. The check is sent without waiting;
    // FollowHostCheck, at the ticks after it, acts on its answer (read as
    // any reply) or on its absence after kHostCheckMs. A line that has not
    // even taken the check (it stalls) is asked again later: nothing waits.
    bool HostCheckDue() const;
    void CheckHostModeAfterOutage();
    void FollowHostCheck();
    static constexpr quint32 kHostCheckMs = 1500;
    // Where the unit stands decides, with the line there: in HOST mode with
    // this run's parameters it is left so; otherwise it is brought there.
    void ActOnUnitState();
    // The unit needs no parameters from this run: "Init Pk" is off, they
    // are loaded, or the maildrop is on (its unit is never reset for them).
    bool ParametersAsWanted() const {
        return !st.PkInitOn || st.PkParametersLoaded || st.MaildropOn;
    }
    // After the Com Port dialog's OK with "Init Pk" on: another line (or a
    // start that failed) gets the whole start-up, the same line the check.
    void LineChosen(bool otherLine);
    void BringBackIntoHostMode();
    void ZetPkKlaar();
    void PkInitClick();

    // ---- the unit's answers (host/CommandLines.cpp) ----
    // Sends one plain command line and waits for its answer (CommandAnswer);
    // a line refused with "?What?" goes once more. A line still refused or
    // unanswered gives one warning naming it, sets commandLineFailed_ and
    // returns false: the caller sends nothing after it. With the line down
    // it returns true at once (the outage is reported and handled as such).
    // `show` shows the answer in the receive window (the dumb terminal).
    // `sevenBits` shows the answer in its low seven bits (a unit not yet at
    // eight bits, as before its restart).
    bool SendCommandLine(const QByteArray& command,
                         CommandAnswer::Expect expect = CommandAnswer::Expect::Prompt,
                         bool show = false, bool sevenBits = false);
    // The same without the warning: how the line fared after its second try
    // (Taken with the line down).
    CommandAnswer::Verdict AskCommandLine(const QByteArray& command,
                                          CommandAnswer::Expect expect, bool show,
                                          bool sevenBits = false);
    // The warning for a line that failed; sets commandLineFailed_.
    void ReportCommandLine(const QByteArray& command, CommandAnswer::Verdict verdict);
    // The lines one after the other, up to the first that fails.
    bool SendCommandLines(std::initializer_list<QByteArray> commands);
    // Sends a HOST command frame and waits, reading frames as ever, for its
    // reply: the return code, or kNoReply when none came within kHostReplyMs
    // (or the unit is not taken to be in HOST mode).
    int SendHostCommand(const QByteArray& command);
    static constexpr int kNoReply = -1;
    static constexpr int kUnknownCommand = 0x07;
    static constexpr quint32 kHostReplyMs = 1000;
    // Every byte of a command reply (kind 1) and its end, from the frame reader.
    void TakeHostReplyByte(int kind, int b);
    void HostReplyEnded(int kind);
    // PACTOR listen, or on a unit without the PACTOR option one warning and
    // AMTOR listen.
    void StartListening();
    // Loads parameter lines up to the first that fails (its warning given);
    // PACTOR lines refused twice mark a unit without the PACTOR option.
    bool LoadParameters(std::initializer_list<QByteArray> commands);
    static bool IsPactorLine(const QByteArray& command);
    // A HOST entry ended by a failed line: out of HOST mode, bar as ever.
    void EndFailedEntry();
    bool commandLineFailed_ = false; // a command line of this sequence failed
    bool noPactor_ = false;          // the unit has no PACTOR option

    // ---- receive output ----
    void schryf(quint8 c);
    // The text of a frame in one step: the same characters shown, captured
    // and counted as schryf gives them one by one.
    void schryfText(const QByteArray& text, TextKind kind = TextKind::Received);
    // Puts shown text (line breaks as paragraph separators) at the end of
    // the receive window in one insertion.
    void AppendReceived(const QString& text, TextKind kind);
    void SchryfintervalTimer();
    void ReceiveHandle();
    // The number of characters in a text window as the saved text holds
    // them: every line break counts as its two characters CR LF.
    static int TextLength(const QPlainTextEdit* box);

    // ---- keyboard transmit ----
    bool ZendWindowEvent(QEvent* event);
    void ZendWindowKeyPress(quint8 key);

    // ---- modes ----
    void SwitchToPactor();
    void SwitchToAmtor();
    void SwitchToRtty();
    void SwitchListenOn();
    void SwitchListenOff();
    void MenuPactorClick();
    void MenuAmtorClick();
    void MenuRttyClick();
    void MenuDumbClick();
    void MenuToggleListenClick();
    void MenuStandbyClick();
    void ZetTabNaar(int page);
    void TabBalkChange(int page);

    // ---- weather fax (fax/FaxMode.cpp) ----
    void MenuFaxClick();
    bool FaxModeOn() const;
    // Readies the unit, sets PRFAX OFF, speed and rows kept, selects FAX.
    void SwitchToFax();
    // Leaving the FAX mode: the picture under way ends and is saved.
    void EndFaxMode();
    // A received frame in the FAX mode: its 0x3F payload goes to the
    // picture, never to the receive window. False for every other frame.
    bool FaxTakesFrame(int control, QByteArrayView bytes);
    void FaxReceive(QByteArrayView bytes);
    void BeginFaxPicture();
    void ShowFaxRows();
    // The picture ends: it is saved whole as fax/<UTC start>.png.
    void EndFaxPicture();
    bool WriteFaxImage(const QString& path, QString& error);
    // No fax data for a minute ends the picture.
    void FaxSilenceCheck();
    void FaxStartClick();
    void FaxStopClick();
    void FaxSettingsClick();
    void FaxShowWindowClick();
    void FaxSaveImageClick();
    FaxReception* Fax() const { return fax_; }

    // ---- calls and link control ----
    void MenuYourcallClick();
    void MenuCallAstationClick();
    void MenuCallAListStationClick();
    void MenuDisconnectClick();
    void MenuHardDisconnectClick();
    void MenuChangeOverClick();
    void MenuSendHiscalldeMycallClick();
    // The AMTOR page's list call: sets HisCall once more afterwards.
    void AmtorListcallClick();

    // ---- broadcasts ----
    void MenuUnproClick();
    void MenuAmtorFecClick();
    void MenuBaudotTransmitClick();
    void MenuCallCQClick();
    void PactorCQClick();
    void AmtorCQClick();
    void RttyCQClick();
    void RttyReceiveClick();
    void RttyTransmitClick();
    // A CQ call: the mode's one-way transmission, then its CQ file.
    void CallCQ(const QString& cqFile, void (THoofdForm::*startTransmission)());

    // ---- maildrop ----
    void MenuToggleMaildropClick();
    void MenuMaildropCheckClick();
    void MdcListClick();
    void MdcReadClick();
    void MdcWriteClick();
    void MdcKillClick();
    // The menu item's own click: the toolkit flips a checkable item before
    // its handler runs, and the check mark is the state of the check.
    void MenuMaildropCheckItemClick();
    // The maildrop check is open exactly while its menu item is checked.
    bool MaildropCheckOpen() const;
    // Read, Write and Kill: the command letter, a blank and the answer.
    void MailboxCommand(char letter, const QString& caption, const QString& prompt);
    // The mailbox's closing lines: an empty line, then "B".
    void LeaveMailbox();

    // ---- terminal windows and files ----
    bool ReceiveWindowEvent(QObject* watched, QEvent* event);
    bool TempEvent(QEvent* event);
    void TempKeyDown(int key);
    void HerstelReceiveWindow();
    void ReceiveWindowDblClick();
    void ScrollNaarEnd();
    void MenuClearRxScreenClick();
    void ZendWindowClick();
    void ZendWindowKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void MenuClearTxScreenClick();
    void ClearTransmitBufferClick();
    void SaveBufferClick();
    void MenuOpenLogFileClick();
    void MenuCloseLogFileClick();
    void OpenLogFileClick();
    void CloseLogFile();
    // Whether a path is one of the program's own files (logbook, journal,
    // settings, saved buffer), which are never a capture file.
    bool IsOwnFile(const QString& path) const;
    // Writes shown characters to the capture file and flushes it. A write
    // that fails closes the capture file (lamp and button follow) and keeps
    // its error for ReportCaptureError.
    void CaptureText(const QByteArray& shown);
    // Reports a kept capture-file error, once.
    void ReportCaptureError();
    // A name from a file dialog as a path: relative names are taken in the
    // working folder, and an existing file is found whatever its case.
    QString ChosenFilePath(const QString& name) const;
    // The receive window's text as the saved buffer holds it: one byte per
    // character, lines separated by CR LF.
    QByteArray ReceiveBufferBytes() const;
    void MenuTransmitFileClick();
    // Sends a text file line by line, one data frame per line (a longer
    // line in pieces of kTxPieceSize bytes), holding back while kTxHoldCount
    // or more sent bytes have not come back yet.
    void SendFile(const QString& name);
    static constexpr quint16 kTxHoldCount = 3000;
    // Held back with nothing heard for this long, the transmission asks the
    // status (which finds a line that has gone).
    static constexpr quint32 kTxQuietProbeMs = 3000;
    static constexpr int kTxWindowLimit = 4000;
    static constexpr quint32 kTxRepaintMs = 100;
    static constexpr qsizetype kTxPieceSize = 256;
    // Opens a file to send, found in any letter case; false when it cannot
    // be opened, with the error to report from NotOpened.
    bool OpenToSend(QFile& file, const QString& name) const;
    static InOutError NotOpened(const QFile& file);
    bool ShowsSentLines() const;
    // Adds a sent piece to the transmit window: a new line, or the rest of
    // the line the piece before began.
    void ShowSentPiece(const QByteArray& bytes, bool continuesLine);
    void SetDiskLamp(bool reading);
    void SetFlowLamp(bool holding);

    // ---- logbook ----
    void LogBookClick();
    void MenuShowLogBookClick();
    void MenuEditLogBookClick();
    void OpenLogBookFile();
    void CloseLogBookFile();
    // The check mark of "LogBook" and the two logbook menu items.
    void ShowLogBookSwitch(bool on);
    // Record n of the logbook file into the record buffer, and the record
    // buffer out as record n (at byte 130 * n).
    void ReadLogBookRecord(qint32 n);
    void WriteLogBookRecord(qint32 n);
    // Cuts the file after its first `records` records.
    void CutLogBookFile(qint32 records);
    // The whole file, in one read.
    QByteArray ReadLogBookFile();
    // The logbook file "Halvuro.log", open while st.LogBookOn is set.
    QFile LogBookFile;

    // ---- widgets, by their design names ----
    TTabBalk* TabBalk = nullptr;
    QWidget* PactorPage = nullptr;
    QWidget* AmtorPage = nullptr;
    QWidget* RttyPage = nullptr;
    QWidget* DumbPage = nullptr;
    QWidget* FaxPage = nullptr;
    QToolButton *FaxStart, *FaxStop, *FaxSettingsButton, *FaxShowWindow, *FaxSaveImage;
    QAction* MenuFax = nullptr;
    QToolButton *PactorStb, *PactorListen, *PactorUnpro, *PactorCQ, *PactorCall, *PactorListCall,
        *pactorDisconnect, *PactorHardDisconnect;
    QToolButton *AmtorStb, *AmtorListen, *AmtorFEC, *AmtorCQ, *Amtorcall, *AmtorListcall,
        *AmtorDisConnect, *AmtorHardDisconnect;
    QToolButton *RttyReceive, *RttyTransmit, *RttyCQ, *RttyHiscall;
    QToolButton *MdcList, *MdcRead, *MdcWrite, *MdcKill;

    QFrame* KnoppenBalk = nullptr;
    QPushButton *SpeedCho, *SpeedHiscall, *SpeedRxClear, *SpeedTxClear, *OpenLogFile, *XmitFile,
        *ClearTransmitBuffer, *SaveBuffer;

    QLabel* Receivebalk = nullptr;
    QLabel* Versie = nullptr;
    QPlainTextEdit* ReceiveWindow = nullptr;
    TBar* Transmitbalk = nullptr;
    QLabel *XOnLed, *LeesLed, *LogLed, *V24DataLed;
    QPlainTextEdit* ZendWindow = nullptr;
    QLineEdit* Temp = nullptr;
    QFrame* Statusbalk = nullptr;
    QLabel *Pane1, *Pane2, *Pane3, *Pane4, *Pane5, *Pane6, *Pane7, *Pane8;
    QVector<QLabel*> Panes;

    QTimer StatusAanvraagTimer;
    QTimer Schryfinterval;

    // ---- menu items ----
    QAction *MenuOpenLogFile, *MenuCloseLogFile, *MenuShowLogBook, *MenuEditLogBook, *MenuEditaFile,
        *MenuTransmitFile, *MenuExitDervalo;
    QAction *MenuComPort, *MenuRxWindowFont, *MenuTxWindowFont, *KnoppenBalk1, *Statusline1,
        *MenuRxWindowColor, *MenuTxWindowColor, *MenuEchoColor, *TransmitandReceivebar1,
        *MenuYourcall, *PkInit, *LogBook;
    QAction *MenuPactor, *MenuAmtor, *MenuRtty, *MenuDumb;
    QAction *MenuToggleListen, *MenuUnpro, *MenuAmtorFec, *MenuBaudotTransmit, *MenuStandby,
        *MenuCallAstation, *MenuCallAListStation, *MenuDisconnect, *MenuHardDisconnect, *MenuCallCQ,
        *MenuChangeOver, *MenuSendHiscalldeMycall, *MenuClearTxScreen, *MenuClearRxScreen;
    QAction *MenuToggleMaildrop, *MenuMaildropCheck;
    QAction* Help1;

    // The receive log capture file, open while st.LogFileOpen is set.
    QFile LogFile;

    // ---- dialogs ----
    TYourcallForm* YourcallForm = nullptr;
    TConnectForm* ConnectForm = nullptr;
    TListConnectForm* ListConnectForm = nullptr;
    TComBaudConfig* ComBaudConfig = nullptr;
    TLogBookInvulForm* LogBookInvulForm = nullptr;
    TLogBookShowForm* LogBookShowForm = nullptr;
    TLogBookEditForm* LogBookEditForm = nullptr;
    TFileBestaatForm* FileBestaatForm = nullptr;

    Clock& clock() { return clock_; }
    Prompts& prompts() { return prompts_; }
    const QString& folder() const { return folder_; }

    // Sets a lamp's caption and colours and repaints it at once.
    static void SetLamp(QLabel* lamp, const QColor& background, const QColor& text);
    // Sets a status pane's text and repaints it at once.
    static void SetPane(QLabel* pane, const QString& text);
    // The caption of the transmit bar, repainted at once.
    void SetTransmitCaption(const QString& text);

    void setVisible(bool visible) override;

    // ---- the operator's evening: link events, worked before, macros, the
    // rig, the own station and contacts handed to the main logger ----
    // "*** HH:MM UTC  text" as a line of its own, in its own colour,
    // wherever received text goes (window and capture file).
    void ShowLinkEvent(const QString& text);
    // After each status line: the event lines of what the link did.
    void WatchLinkEvents();
    // A file transmission or CQ call starting or ending.
    void ShowTransmissionEvent(bool started, const QString& file);
    // Received text with the UTC time put at the start of each line when
    // that option is on; keeps track of where lines start either way.
    QByteArray StampLines(const QByteArray& text, TextKind kind);
    QDateTime NowUtc();
    // "worked 2x before, last 2026-11-02, Piet, Utrecht" or "first contact".
    QString WorkedBeforeText(const QString& call);
    // The logbook read once into the worked-before index.
    void EnsureWorkedBeforeIndex();
    WorkedBeforeLookup LastContactWith(const QString& call);
    // The end of the last link with `call`, when it has ended.
    std::optional<QDateTime> LinkEndedWith(const QString& call) const;
    void BuildEveningMenus(QMenuBar* bar);
    void LoadEveningSettings();
    bool KeepEveningSettings(const QList<QPair<QByteArray, QString>>& values);
    void ShowMacroItems();
    // Macro 0 to 9 (Ctrl+1 ... Ctrl+0), sent exactly as if typed.
    void SendMacro(int index);
    void MenuEditMacrosClick();
    void MenuRigClick();
    void MenuLoggingClick();
    void MenuMyStationClick();
    void StartRig();
    bool HasRig() const;
    // The rig's frequency in Hz, 0 without an answer.
    qint64 RigFrequencyHz() const;
    void ShowRigPane();
    void LayOutRigPane();
    // The band chosen in the entry window without a rig; kept.
    QString LastBand() const;
    void KeepBand(const QString& band);
    // Own station fields of the journal.
    QString MyLocator() const;
    QString OperatorCall() const;
    // After Save: the record to the main logger, as set under Logging.
    void HandContactOn(const QByteArray& adifRecord);
    void NoteLogOutFailure(const QString& reason);
    // F1 when no browser shows the manual: the program's own viewer.
    void ShowManualInViewer(const QString& path);
    std::unique_ptr<Evening> evening_;

    // ---- The other modes: Morse, ASCII, NAVTEX, packet (src/modes/) ----
    ModeState modes;
    QWidget* MorsePage = nullptr;
    QWidget* AsciiPage = nullptr;
    QWidget* NavtexPage = nullptr;
    QWidget* PacketPage = nullptr;
    QAction *MenuMorse = nullptr, *MenuAscii = nullptr, *MenuNavtex = nullptr,
            *MenuPacket = nullptr;
    TNavtexListForm* NavtexListForm = nullptr;
    void BuildModePages();                       // ModePages.cpp
    void BuildModeMenuItems(QMenu* mode);
    void LayOutModePages(const QVector<int>& lefts, int top, int width, int height);
    void SwitchToMorse();                        // ModeSwitch.cpp
    void SwitchToAscii();
    void SwitchToNavtex();
    void SwitchToPacket();
    void MenuMorseClick();
    void MenuAsciiClick();
    void MenuNavtexClick();
    void MenuPacketClick();
    void MorseSpeedClick();
    void AsciiBaudClick();
    void ModeReceiveClick();
    void ModeTransmitClick();
    void ModeFrameStarts(quint8 control);        // ModeFrames.cpp
    void ModeSeesText(const QByteArray& text);
    void ModeLinkMessage();
    bool ModeTakesKey(quint8 key);
    bool ModeTakesData(const QByteArray& text);
    bool ModeCall(const QString& call);
    bool ModeDisconnect();
    void NavtexMessagesClick();                  // Navtex.cpp
    void NavtexSettingsClick();
    void KeepNavtexMessage(const NavtexMessage& message);
    void ReadNavtexFolder();
    void PacketMonitorClick();                   // Packet.cpp
    void PacketDisconnectClick();
    void LeavePacket();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildWidgets();
    void BuildModeBar();
    void BuildFaxPage();
    void BuildGeneralButtons();
    QToolButton* ModeButton(QWidget* page, const char* name, const QString& caption,
                            const QString& hint, void (THoofdForm::*handler)());
    QPushButton* GeneralButton(const char* name, const QString& caption, const QString& hint,
                               void (THoofdForm::*handler)());
    QAction* Item(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                  void (THoofdForm::*handler)());

    void StartFrameClock();
    bool FrameTimeUp() const;
    void StartCallClock();
    bool CallTimeUp() const;
    // Whether a key is the shortcut of an enabled menu item.
    bool IsMenuShortcut(const QKeyEvent& key) const;

    Clock& clock_;
    Prompts& prompts_;
    QString folder_;
    QStringList manualCandidates_;
    bool sendOutage_ = false;   // the port went away; see Send
    quint64 bytesLost_ = 0;     // bytes Send could not write even after reopening
    QTimer relinkTimer_;        // tries a line that is down again (see WatchLine)
    QTimer readGap_;            // see kReadGapMs
    bool lineBackDuringFile_ = false; // see Send
    int lineReturns_ = 0;
    int sending_ = 0;           // Send is writing (it may show a box meanwhile)
    bool hostCheckDue_ = false; // see CheckHostModeAfterOutage
    bool hostEntryDue_ = false; // HOST mode could not be entered with the line down
    bool checkingHost_ = false;
    bool hostCheckWaiting_ = false; // the check went out; its answer is awaited
    quint32 hostCheckAt_ = 0;
    quint64 bytesHeard_ = 0;     // bytes read off the line so far
    quint64 hostCheckHeard_ = 0; // bytesHeard_ when the check went out
    std::optional<bool> hostCheckAnswer_; // came back: in HOST mode (a return code) or not
    QString openedPortName_; // the port name last seen open (see ShowPortPane)
    bool pactorWarned_ = false;
    static constexpr int kMaxHostReply = 64;
    static constexpr int kMaxHostReplies = 16;
    QByteArray hostReply_;            // the command reply being read, whole
    QList<QByteArray> hostReplies_;   // replies read since the last command
    quint32 frameStart_ = 0;
    quint32 callStart_ = 0;
    FramePart framePart_ = FramePart::None;
    FrameReader frameReader_; // what has come of the frames not yet taken
    // The text of the frame being read, not yet shown, and its kind.
    QByteArray frameText_;
    TextKind frameTextKind_ = TextKind::Received;
    // Where the carriage returns the controller does not echo fall.
    EchoLineBreaks echoBreaks_;
    FaxReception* fax_ = nullptr; // see fax/FaxMode.cpp
    bool closeConfirmed_ = false;
    bool errorBoxShown_ = false; // see Guarded
    QString captureError_;       // see CaptureText
    bool shownOnScreen_ = false; // see setVisible
    // The longest wait for the window system to show the window at start.
    static constexpr int kShowWaitMs = 2000;
    QFont fontDialogFont_;
    QColor fontDialogColor_;
    QTextDocumentFragment clipboardDuringDrag_; // the receive text, colours included
};
