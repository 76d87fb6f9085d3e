#pragma once

#include <QByteArray>

// Bytes as one line of readable text for the line log: printable ASCII as it
// stands, the control bytes of the link by name (<SOH> <ETB> <CR> <LF> <ESC>
// <EOT> <EM> <SUB> <BS> <NUL>), a backslash doubled, anything else as \xNN.
QByteArray ReadableBytes(const QByteArray& bytes);
