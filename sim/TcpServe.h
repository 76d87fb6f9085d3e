#pragma once

#include <QByteArray>
#include <functional>
#include <string>

// The simulated controller served on a TCP port, raw, as a serial bridge
// (ser2net) serves a real one. One client at a time: a second one waits in
// the listening queue, unanswered, until the first has gone, and then goes on
// with the same controller. Its bytes go to the model like those of the
// pseudo-terminal; the model's output goes to it as well.
class TcpServe {
public:
    using Note = std::function<void(const std::string&)>;
    explicit TcpServe(Note note) : note_(std::move(note)) {}
    ~TcpServe();
    TcpServe(const TcpServe&) = delete;
    TcpServe& operator=(const TcpServe&) = delete;

    // Listens on `host` (an IPv4 or IPv6 address) and `port`; false after a
    // message on standard error.
    bool Listen(const std::string& host, int port);
    bool Listening() const { return listener_ >= 0; }
    bool Connected() const { return client_ >= 0; }
    bool HasPending() const { return !pending_.isEmpty(); }

    // The descriptors to poll: the listening socket only while nobody is
    // connected, the client while connected (-1 otherwise).
    int ListenFd() const { return client_ < 0 ? listener_ : -1; }
    int ClientFd() const { return client_; }

    // Takes the waiting client.
    void Accept();
    // Reads up to `max` bytes from the client; a client that has gone is let
    // go (its unsent output with it).
    QByteArray Read(int max);
    // Output for the client, sent by Flush; nothing while nobody is connected.
    void Queue(const QByteArray& bytes);
    // Sends up to `max` queued bytes; returns the number sent.
    int Flush(int max);

private:
    void LetGo(const std::string& why);

    Note note_;
    int listener_ = -1;
    int client_ = -1;
    QByteArray pending_;
};
