#pragma once

#include <QString>
#include <QtGlobal>
#include <sys/types.h>

// What the device backends share about a descriptor that never blocks:
// bounded waits, the count of waiting bytes and the names shown in boxes.
namespace Descriptor {

// Waits up to `ms` for `events` on `fd`; returns the events that came (with
// hang-up and errors), 0 on time-out.
short WaitFor(int fd, short events, int ms);
// True when a read or write of `r` found nothing to do yet (or was
// interrupted): try again.
bool TryAgain(ssize_t r);
// Bytes waiting to be read; 0 when the descriptor refuses to say (a hung-up
// line among others).
qint32 Waiting(int fd);
// Milliseconds of the monotonic clock.
qint64 SteadyMs();
// A name from the settings file as a box can show it: control characters
// as \xNN, no longer than a line, and an empty one as "".
QString ShownName(const QString& name);

} // namespace Descriptor
