// Reading and writing question files: a typical Chinese question, a file holding a photograph,
// and the plain text of a paper's worth of questions.
#include "rtf.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTextDocument>

#include <vector>

namespace {

// Chinese text as the Windows rich-text control saves it: GB bytes as \'hh escapes.
QByteArray gbEscaped(const QString &text)
{
    QStringEncoder gb("GB18030");
    const QByteArray bytes = gb.encode(text);
    QByteArray out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
    }
    return out;
}

// A question file of about `size` bytes in the rich-text control's form; `variant` varies the text.
QByteArray questionFile(int size, int variant)
{
    static const QStringList sentences = {
        QStringLiteral("下列关于计算机网络的说法中，正确的是哪一项？"),
        QStringLiteral("A. 局域网的覆盖范围通常在几公里以内"),
        QStringLiteral("B. 互联网协议第四版的地址长度为三十二位"),
        QStringLiteral("C. 光纤传输容易受到电磁干扰的影响"),
        QStringLiteral("D. 交换机工作在开放系统互连模型的物理层"),
    };
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0\\nouicompat\\deflang1033\\deflangfe2052{"
                     "\\fonttbl{\\f0\\fnil\\fcharset134 " +
                     gbEscaped(QStringLiteral("宋体")) +
                     ";}{\\f1\\fnil\\fcharset0 Arial;}}\r\n"
                     "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
                     "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n";
    int i = variant;
    while (rtf.size() < size) {
        const QString &line = sentences[i % sentences.size()];
        rtf += "\\pard\\sa200\\sl276\\slmult1";
        rtf += (i % 3 == 0) ? "\\b\\f0\\fs28\\cf1 " : "\\f0\\fs24\\cf0 ";
        rtf += gbEscaped(QString::number(i) + line) + "\\b0\\par\r\n";
        ++i;
    }
    return rtf + "}\r\n";
}

QByteArray photoFile()
{
    // Smooth gradients with noise compress like a photograph does.
    QImage image(1600, 1200, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = random.bounded(48);
            line[x] =
                qRgb((x / 7 + noise) & 0xFF, (y / 5 + noise) & 0xFF, ((x + y) / 11 + noise) & 0xFF);
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 92);
    QByteArray rtf = questionFile(1500, 0);
    rtf.chop(3);
    rtf += "{\\pict\\jpegblip\\picw1600\\pich1200\\picwgoal7200\\pichgoal5400\r\n";
    const QByteArray hex = jpeg.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        rtf += hex.mid(i, 128) + "\r\n";
    return rtf + "}\\par}\r\n";
}

void BM_ReadQuestion5K(benchmark::State &state)
{
    const QByteArray rtf = questionFile(5 * 1024, 0);
    for (auto _ : state) {
        QTextDocument doc;
        benchmark::DoNotOptimize(rtf::readRtf(rtf, &doc));
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadQuestion5K)->Unit(benchmark::kMicrosecond);

void BM_ReadPhoto2M(benchmark::State &state)
{
    const QByteArray rtf = photoFile();
    state.counters["file_bytes"] = double(rtf.size());
    for (auto _ : state) {
        QTextDocument doc;
        benchmark::DoNotOptimize(rtf::readRtf(rtf, &doc));
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadPhoto2M)->Unit(benchmark::kMillisecond);

void BM_PlainText200Questions(benchmark::State &state)
{
    std::vector<QByteArray> files;
    for (int i = 0; i < 200; ++i)
        files.push_back(questionFile(3 * 1024 + (i % 5) * 1024, i));
    for (auto _ : state) {
        for (const QByteArray &rtf : files)
            benchmark::DoNotOptimize(rtf::rtfPlainText(rtf));
    }
}
BENCHMARK(BM_PlainText200Questions)->Unit(benchmark::kMillisecond);

void BM_WriteQuestion5K(benchmark::State &state)
{
    QTextDocument doc;
    rtf::readRtf(questionFile(5 * 1024, 0), &doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(rtf::writeRtf(doc));
}
BENCHMARK(BM_WriteQuestion5K)->Unit(benchmark::kMicrosecond);

void BM_WritePhoto2M(benchmark::State &state)
{
    QTextDocument doc;
    rtf::readRtf(photoFile(), &doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(rtf::writeRtf(doc));
}
BENCHMARK(BM_WritePhoto2M)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
