// libFuzzer entry for the RTF reader: every input must be read, written and read again without a
// crash, a hang or unbounded memory.
#include "rtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Image decoders complain about every broken picture; the fuzzer only cares about crashes.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    if (rtf::readRtf(rtf, &document)) {
        // Whatever was read must survive being written: same text after a second read.
        QTextDocument again;
        if (!rtf::readRtf(rtf::writeRtf(document), &again) ||
            again.toPlainText() != document.toPlainText())
            abort();
    }
    rtf::rtfPlainText(rtf);
    return 0;
}
