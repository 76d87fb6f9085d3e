#include "terminal/ReceiveLines.h"

#include <QTextBlockFormat>
#include <QVariant>

namespace ReceiveLines {
namespace {
constexpr int kContinuesLine = QTextFormat::UserProperty;
// The count of continuing blocks, and the block count it was made at.
constexpr char kContinued[] = "dervaloContinuedLines";
constexpr char kCountedAt[] = "dervaloCountedBlocks";

int Count(const QTextDocument* doc) {
    int n = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        n += ContinuesLine(b) ? 1 : 0;
    return n;
}
} // namespace

bool ContinuesLine(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kContinuesLine);
}

void Append(QTextCursor& end, const QString& text, const QTextCharFormat& format) {
    QTextDocument* doc = end.document();
    int continued = ContinuedLines(doc);
    QTextBlockFormat goesOn;
    goesOn.setProperty(kContinuesLine, true);
    end.beginEditBlock();
    for (qsizetype from = 0; from < text.size();) {
        if (text.at(from) == QChar::ParagraphSeparator) {
            end.insertBlock(QTextBlockFormat(), format); // a line ended
            ++from;
            continue;
        }
        const int room = kBlockChars - (end.block().length() - 1);
        if (room <= 0) {
            end.insertBlock(goesOn, format);
            ++continued;
            continue;
        }
        qsizetype to = text.indexOf(QChar::ParagraphSeparator, from);
        if (to < 0) to = text.size();
        to = qMin(to, from + room);
        end.insertText(text.mid(from, to - from), format);
        from = to;
    }
    end.endEditBlock();
    doc->setProperty(kContinued, continued);
    doc->setProperty(kCountedAt, doc->blockCount());
}

void InsertLine(QTextDocument* doc, const QString& line, const QTextCharFormat& format) {
    const int continued = ContinuedLines(doc);
    QTextBlock start = doc->lastBlock();
    while (ContinuesLine(start) && start.previous().isValid())
        start = start.previous();
    QTextCursor at(doc);
    at.setPosition(start.position());
    at.beginEditBlock();
    at.insertText(line, format);
    // The line in progress (maybe empty) goes on in a block of its own.
    at.insertBlock(QTextBlockFormat());
    at.endEditBlock();
    doc->setProperty(kContinued, continued);
    doc->setProperty(kCountedAt, doc->blockCount());
}

int ContinuedLines(const QTextDocument* doc) {
    const QVariant countedAt = doc->property(kCountedAt);
    if (!countedAt.isValid()) return 0; // nothing received into it
    if (countedAt.toInt() == doc->blockCount()) return doc->property(kContinued).toInt();
    return Count(doc);
}

QString AsReceived(const QString& raw, QTextBlock block) {
    QString out;
    out.reserve(raw.size());
    for (const QChar c : raw) {
        if (c != QChar::ParagraphSeparator) {
            out += c;
            continue;
        }
        block = block.next();
        if (!ContinuesLine(block)) out += QStringLiteral("\r\n");
    }
    return out;
}

} // namespace ReceiveLines
