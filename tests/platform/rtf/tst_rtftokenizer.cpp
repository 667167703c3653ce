// Splitting RTF bytes into tokens, including malformed and oversized input.
#include "rtftokenizer.h"

#include <QTest>

#include <limits>

using rtf::Token;
using rtf::Tokenizer;

namespace {

// A compact picture of the token stream: "{", "}", "\word", "\word-12", "'hh", "\\x", "[text]".
QStringList describe(QByteArrayView data)
{
    QStringList out;
    Tokenizer tokenizer(data);
    for (int guard = 0; guard <= data.size() + 1; ++guard) {
        const Token token = tokenizer.next();
        switch (token.kind) {
        case Token::Kind::End:
            return out;
        case Token::Kind::GroupStart:
            out << QStringLiteral("{");
            break;
        case Token::Kind::GroupEnd:
            out << QStringLiteral("}");
            break;
        case Token::Kind::ControlWord:
            out << QLatin1Char('\\') + QString::fromLatin1(token.text)
                    + (token.hasParameter ? QString::number(token.parameter) : QString());
            break;
        case Token::Kind::ControlSymbol:
            out << QStringLiteral("\\\\") + QLatin1Char(token.symbol);
            break;
        case Token::Kind::HexByte:
            out << QStringLiteral("'%1").arg(token.byte, 2, 16, QLatin1Char('0'));
            break;
        case Token::Kind::Text:
            if (!token.text.isEmpty())
                out << QLatin1Char('[') + QString::fromLatin1(token.text) + QLatin1Char(']');
            break;
        }
    }
    out << QStringLiteral("<no end>");
    return out;
}

} // namespace

class TestRtfTokenizer : public QObject
{
    Q_OBJECT

private slots:
    void shouldSplitTokens_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("tokens");
        const auto row = [](const char *name, const char *rtf, const QStringList &tokens) {
            QTest::newRow(name) << QByteArray(rtf) << tokens;
        };
        row("groups and text", "{ab}{}", {"{", "[ab]", "}", "{", "}"});
        row("space after a word is its delimiter", "\\b text", {"\\b", "[text]"});
        row("second space is text", "\\b  x", {"\\b", "[ x]"});
        row("parameter", "\\fs24\\li-360 x", {"\\fs24", "\\li-360", "[x]"});
        row("word ends at a non-letter", "\\par\\tab;x", {"\\par", "\\tab", "[;x]"});
        row("line ends are dropped", "a\r\nb\n", {"[a]", "[b]"});
        row("hex escape", "\\'d6\\'D0", {"'d6", "'d0"});
        row("hex with one digit", "\\'4x", {"'04", "[x]"});
        row("hex without digits", "\\'zz", {"[zz]"});
        row("repeated broken escapes", "\\'\\'\\'", {});
        row("control symbols", "\\*\\{\\}\\\\\\~", {"\\\\*", "\\\\{", "\\\\}", "\\\\\\", "\\\\~"});
        row("backslash line end", "a\\\r\nb", {"[a]", "\\par", "[b]"});
        row("backslash at the end", "a\\", {"[a]"});
        row("minus without digits is not a parameter", "\\li- x", {"\\li", "[- x]"});
        row("huge parameter is clamped", "\\fs99999999999999999999 ",
            {QStringLiteral("\\fs%1").arg(std::numeric_limits<int>::max())});
        row("huge negative parameter is clamped", "\\u-99999999999999999999 ",
            {QStringLiteral("\\u%1").arg(std::numeric_limits<int>::min())});
    }

    void shouldSplitTokens()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, tokens);
        QCOMPARE(describe(rtf), tokens);
    }

    void shouldHandOutBinaryData_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QByteArray>("binary");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("exact") << QByteArray("\\bin3 {}\\x}") << qint64(3) << QByteArray("{}\\")
                               << QStringList{"[x]", "}"};
        QTest::newRow("longer than the input") << QByteArray("\\bin99 ab") << qint64(99) << QByteArray("ab")
                                               << QStringList{};
        QTest::newRow("negative") << QByteArray("\\bin-5 ab") << qint64(-5) << QByteArray() << QStringList{"[ab]"};
    }

    void shouldHandOutBinaryData()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(qint64, count);
        QFETCH(QByteArray, binary);
        QFETCH(QStringList, after);
        Tokenizer tokenizer(rtf);
        const Token word = tokenizer.next();
        QCOMPARE(word.kind, Token::Kind::ControlWord);
        QCOMPARE(QByteArray(word.text.data(), word.text.size()), QByteArray("bin"));
        QCOMPARE(tokenizer.takeBinary(count).toByteArray(), binary);
        QCOMPARE(describe(QByteArrayView(rtf).sliced(tokenizer.position())), after);
    }

    void shouldEndOnEveryPrefixOfADocument()
    {
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}\\'d6\\'d0\\u-1234?\\bin2 xy}";
        for (qsizetype n = 0; n <= rtf.size(); ++n)
            QVERIFY(!describe(QByteArrayView(rtf).first(n)).contains(QStringLiteral("<no end>")));
    }
};

QTEST_APPLESS_MAIN(TestRtfTokenizer)
#include "tst_rtftokenizer.moc"
