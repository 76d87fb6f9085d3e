#pragma once

#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

// Long received lines in the receive window's document. A block is laid out
// whole at every insertion, so a line without a line end would make every
// later frame cost more: received text is kept in blocks of at most
// kBlockChars characters, and a block that only goes on with the line
// before it is marked so. The mark never reaches the buffer's bytes: the
// saved buffer, the count on the status line and a pick join such blocks
// without a line break.
namespace ReceiveLines {

constexpr int kBlockChars = 1024;

// True for a block that goes on with the line of the block before it.
bool ContinuesLine(const QTextBlock& block);

// Inserts received text (each line break a paragraph separator) at `end`,
// the document's end, in one edit, every character in `format`.
void Append(QTextCursor& end, const QString& text, const QTextCharFormat& format);

// Inserts a line of its own (no line break in it) just before the line in
// progress, the document's last, so that line is not cut in two: the
// inserted line stands above it, and received text goes on where it was.
// At the start of a line it simply comes last. The character count of the
// document grows by the line's length and one separator.
void InsertLine(QTextDocument* doc, const QString& line, const QTextCharFormat& format);

// The number of blocks that go on with a line. Kept with the document by
// Append; counted again when anything else has changed its block count.
int ContinuedLines(const QTextDocument* doc);

// Text of the document (paragraph separators between blocks) starting in
// `block`, as it was received: CR LF where a line ended, nothing where a
// block goes on with the line.
QString AsReceived(const QString& raw, QTextBlock block);

} // namespace ReceiveLines
