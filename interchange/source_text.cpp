#include "interchange/source_text.h"

#include "repository/profile_encoding.h"

#include <QStringDecoder>

namespace exam::interchange {

QString decodeSourceText(const QByteArray &bytes)
{
    // A byte order mark decides; without one the profile files' weighing of GB18030 against UTF-8.
    if (const auto marked = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked);
        QString text = decoder.decode(bytes);
        if (text.startsWith(QChar::ByteOrderMark))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder decoder(detectEncoding(bytes) == ProfileEncoding::Utf8 ? "UTF-8" : "GB18030");
    return decoder.decode(bytes);
}

} // namespace exam::interchange
