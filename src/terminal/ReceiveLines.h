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

// The number of blocks that go on with a line. Kept with the document by
// Append; counted again when anything else has changed its block count.
int ContinuedLines(const QTextDocument* doc);

// Text of the document (paragraph separators between blocks) starting in
// `block`, as it was received: CR LF where a line ended, nothing where a
// block goes on with the line.
QString AsReceived(const QString& raw, QTextBlock block);

} // namespace ReceiveLines
