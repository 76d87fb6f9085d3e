#include "ReadableBytes.h"

QByteArray ReadableBytes(const QByteArray& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const quint8 b = quint8(c);
        switch (b) {
        case 0x00:
            out += "<NUL>";
            break;
        case 0x01:
            out += "<SOH>";
            break;
        case 0x04:
            out += "<EOT>";
            break;
        case 0x08:
            out += "<BS>";
            break;
        case 0x0A:
            out += "<LF>";
            break;
        case 0x0D:
            out += "<CR>";
            break;
        case 0x17:
            out += "<ETB>";
            break;
        case 0x19:
            out += "<EM>";
            break;
        case 0x1A:
            out += "<SUB>";
            break;
        case 0x1B:
            out += "<ESC>";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (b >= 0x20 && b < 0x7F) {
                out += c;
            } else {
                out += "\\x";
                out += kHex[b >> 4];
                out += kHex[b & 0x0F];
            }
        }
    }
    return out;
}
