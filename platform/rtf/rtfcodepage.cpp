#include "rtfcodepage.h"

#include <array>

namespace rtf {

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252; // symbol fonts: keep the bytes as Latin-1 like code page readers do
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;
    }
}

namespace {

// ICU knows most code pages under several names; the first one it accepts wins.
std::array<const char *, 2> encodingNames(int codePage)
{
    switch (codePage) {
    case 936: return {"GB18030", "GBK"};
    case 950: return {"Big5", "windows-950"};
    case 932: return {"Shift_JIS", "windows-31j"};
    case 949: return {"windows-949", "EUC-KR"};
    case 1361: return {"johab", "windows-1361"};
    case 10000: return {"macintosh", "x-mac-roman"};
    case 437: return {"IBM437", "cp437"};
    case 850: return {"IBM850", "cp850"};
    case 874: return {"windows-874", "TIS-620"};
    case 1250: return {"windows-1250", nullptr};
    case 1251: return {"windows-1251", nullptr};
    case 1253: return {"windows-1253", nullptr};
    case 1254: return {"windows-1254", nullptr};
    case 1255: return {"windows-1255", nullptr};
    case 1256: return {"windows-1256", nullptr};
    case 1257: return {"windows-1257", nullptr};
    case 1258: return {"windows-1258", nullptr};
    default: return {"windows-1252", nullptr};
    }
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QStringDecoder *CodePageDecoder::decoderFor(int codePage)
{
    if (codePage == m_lastCodePage)
        return m_last;
    auto &slot = m_decoders[codePage];
    if (!slot) {
        for (const char *name : encodingNames(codePage)) {
            if (!name)
                break;
            auto decoder =
                std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
            if (decoder->isValid()) {
                slot = std::move(decoder);
                break;
            }
        }
        if (!slot) // no such converter in this build: Latin-1 keeps the byte count at least
            slot = std::make_unique<QStringDecoder>(QStringConverter::Latin1,
                                                    QStringConverter::Flag::Stateless);
    }
    m_lastCodePage = codePage;
    m_last = slot.get();
    return m_last;
}

QString CodePageDecoder::decode(int codePage, QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    return decoderFor(codePage)->decode(bytes);
}

} // namespace rtf
