#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class SerialBackend;
class Prompts;
struct SerialError;

// The only code that touches the serial line to the PK-232: a few small
// operations over a serial backend, none of which waits for the line. It
// knows nothing of HOST frames and reports only set-up failures, with the
// "Port Error" box.
class Poort {
public:
    Poort(SerialBackend& backend, Prompts& prompts);

    void PoortOpen(const QString& deviceName);
    void PoortSetState(quint16 baudRate);
    // Does nothing: no read waits for the line, whatever its time-outs.
    // Kept for the steps of an open that name it.
    void PoortSetTimeouts() {}
    // Hands the bytes to the line and returns at once; false, with none
    // taken, when the line takes none (see SerialBackend::Write).
    bool PoortWrite(const QByteArray& bytes);
    bool PoortWriteByte(quint8 byte) { return PoortWrite(QByteArray(1, char(byte))); }
    bool PoortReadByte(quint8& byte);
    qint32 PoortBytesAvailable();
    // Reads up to `count` bytes when bytes are waiting and sets `count` to
    // the number read; with nothing waiting it reads nothing and leaves
    // `count` as given. Returns the count.
    quint16 PoortReadBlock(char* buffer, quint16& count);
    void PoortPurgeInput();
    void PoortClose();

    // True from the entry to the exit of every operation above.
    bool PortBusy() const { return PortBusy_; }
    bool PortOpen() const { return PortOpen_; }
    // No device open, or the open one has failed: the line is down until a
    // reopen works.
    bool LineDown() const;
    // The line has carried bytes since it opened.
    bool LineMoving() const;
    bool LineCarrying() const;
    // Bytes handed over that the line never sent; each counted once.
    quint64 TakeLost();
    // Bytes handed over that the line has not taken yet (it may stall).
    qint64 LineUnsent() const;

    // A set-up step that fails on an open device shows the "Port Error" box;
    // one that fails because the open failed only counts.
    // While set, set-up failures are not shown (the caller reports them its
    // own way); see `Send`'s reopen after a failed write.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    // Number of set-up failures since the last call of TakeFailures.
    int TakeFailures();

    SerialBackend& Backend() { return backend_; }

    // The text of the "Port Error" box: those words, then on a line of its
    // own the device and the system's reason, and for a refused permission
    // how to get it.
    static QString PortErrorText(const SerialError& error);
    // The text for the backend's last failure.
    QString PortErrorText() const;

private:
    void PortError();
    void SetUpFailed();

    SerialBackend& backend_;
    Prompts& prompts_;
    bool PortBusy_ = false;
    bool PortOpen_ = false;
    bool quiet_ = false;
    int failures_ = 0;
};
