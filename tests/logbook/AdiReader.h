#pragma once

// A strict reader of the ADI files the program writes, independent of its own
// ADIF code: a line of free text, header fields, <EOH>, then records of
// fields ended by <EOR>, one record a line. Every length must be exact, names
// in capitals, no field empty or twice in a record, nothing but line ends
// between header fields, each <EOR> followed by CR LF, nothing left over.

#include <QByteArray>
#include <QByteArrayList>
#include <QList>

struct AdiFile {
    QByteArray preamble;
    QByteArrayList header;         // "NAME=value"
    QList<QByteArrayList> records; // "NAME=value" each
    QByteArray error;              // empty when the whole file was read
};

inline AdiFile ReadAdi(const QByteArray& in) {
    AdiFile out;
    qsizetype at = in.indexOf('<');
    if (at <= 0) return out.error = "no preamble", out;
    out.preamble = in.left(at);
    if (!out.preamble.endsWith("\r\n") || out.preamble.count('\n') != 1)
        return out.error = "preamble not one line", out;
    bool inHeader = true;
    QByteArrayList fields, names;
    while (at < in.size()) {
        if (in[at] != '<') return out.error = "stray byte at " + QByteArray::number(at), out;
        const qsizetype close = in.indexOf('>', at);
        if (close < 0) return out.error = "open tag", out;
        const QByteArray tag = in.mid(at + 1, close - at - 1);
        at = close + 1;
        const bool lineEnd = in.mid(at, 2) == "\r\n";
        if (tag == "EOH" || tag == "EOR") {
            if ((tag == "EOH") != inHeader || !lineEnd) return out.error = "misplaced " + tag, out;
            (inHeader ? out.header : out.records.emplace_back()) = fields;
            fields.clear();
            names.clear();
            inHeader = false;
            at += 2;
            continue;
        }
        const QByteArrayList parts = tag.split(':');
        bool ok = false;
        const int length = parts.size() == 2 ? parts[1].toInt(&ok) : -1;
        const QByteArray& name = parts[0];
        if (!ok || length <= 0 || name.isEmpty() || name.toUpper() != name ||
            names.contains(name) || QByteArray::number(length) != parts[1])
            return out.error = "bad tag <" + tag + ">", out;
        const QByteArray value = in.mid(at, length);
        if (value.size() != length || value.contains('\r') || value.contains('\n'))
            return out.error = "bad value of " + name, out;
        names << name;
        fields << name + '=' + value;
        at += length;
        if (inHeader && in.mid(at, 2) == "\r\n") at += 2;
    }
    if (inHeader || !fields.isEmpty()) out.error = "unfinished";
    return out;
}
