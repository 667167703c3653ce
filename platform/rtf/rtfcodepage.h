#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <memory>
#include <unordered_map>

namespace rtf {

inline constexpr int kCodePageGb = 936;
inline constexpr int kCodePageWestern = 1252;

// Windows code page of an RTF \fcharsetN value; 0 when the charset says "use the document's".
int codePageForCharset(int charset);

// Decodes byte runs of RTF text in Windows code pages. Decoders are built once per code page and
// are stateless, so a lead byte cut off by a control word never corrupts the following text.
class CodePageDecoder
{
public:
    QString decode(int codePage, QByteArrayView bytes);

private:
    QStringDecoder *decoderFor(int codePage);

    std::unordered_map<int, std::unique_ptr<QStringDecoder>> m_decoders;
    int m_lastCodePage = -1;
    QStringDecoder *m_last = nullptr;
};

} // namespace rtf
