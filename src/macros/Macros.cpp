#include "macros/Macros.h"

#include <QList>
#include <QPair>

namespace Macros {

QString Default(int index) {
    switch (index) {
    case 0:
        return QStringLiteral("<CALL> de <MYCALL> ");
    case 1:
        return QStringLiteral("Good day <NAME>, thanks for the call. ");
    case 2:
        return QStringLiteral("73 <CALL> de <MYCALL> SK");
    default:
        return {};
    }
}

QString KeyText(int index) {
    return QStringLiteral("Ctrl+%1").arg((index + 1) % 10);
}

QByteArray SettingKey(int index) {
    return "Macro" + QByteArray::number(index + 1);
}

QString Expand(const QString& text, const Values& v) {
    const QDateTime utc = v.utc.toUTC();
    const QList<QPair<QString, QString>> tokens = {
        {QStringLiteral("<MYCALL>"), v.myCall.trimmed()},
        {QStringLiteral("<CALL>"), v.call.trimmed()},
        {QStringLiteral("<NAME>"), v.name.trimmed()},
        {QStringLiteral("<QTH>"), v.qth.trimmed()},
        {QStringLiteral("<UTC>"),
         v.utc.isValid() ? utc.toString(QStringLiteral("HH:mm")) : QString()},
        {QStringLiteral("<DATE>"),
         v.utc.isValid() ? utc.toString(QStringLiteral("yyyy-MM-dd")) : QString()},
        {QStringLiteral("<BAND>"), v.band},
        {QStringLiteral("<FREQ>"), v.freq},
        {QStringLiteral("<CR>"), QStringLiteral("\r")},
    };
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        bool matched = false;
        if (text.at(i) == QLatin1Char('<'))
            for (const auto& [token, value] : tokens)
                if (text.mid(i, token.size()).compare(token, Qt::CaseInsensitive) == 0) {
                    out += value;
                    i += token.size();
                    matched = true;
                    break;
                }
        if (!matched) out += text.at(i++);
    }
    return out;
}

} // namespace Macros
