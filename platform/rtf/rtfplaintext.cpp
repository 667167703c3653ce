#include "rtf.h"

#include "rtfparser.h"

namespace rtf {

namespace {

// Collects the visible text only; formatting and pictures are dropped as they arrive.
class PlainTextSink final : public Sink
{
public:
    void text(const QString &text, const CharState &, const ParaState &) override
    {
        breakIfPending();
        m_text += text;
    }

    void paragraph(const CharState &, const ParaState &) override
    {
        breakIfPending();
        m_pending = QStringLiteral("\n");
    }

    void cell(const ParaState &) override
    {
        // A cell's closing paragraph mark is the cell end, not a line of its own.
        if (m_pending == u"\n")
            m_pending.clear();
        m_pending += u'\t';
    }

    void row() override
    {
        // Cells are separated by tabs: the one owed by the row's last cell becomes the line end.
        if (m_pending.endsWith(u'\t'))
            m_pending.chop(1);
        m_pending += u'\n';
    }
    void rowCells(int) override {}
    void picture(const Picture &, const CharState &, const ParaState &) override {}
    void finish(const ParaState &) override {}

    QString take()
    {
        m_text.replace(u'\u2028', u'\n');
        return std::move(m_text);
    }

private:
    void breakIfPending()
    {
        m_text += m_pending;
        m_pending.clear();
    }

    QString m_text;
    QString m_pending; // separators owed before the next text; dropped at the end
};

} // namespace

QString rtfPlainText(const QByteArray &rtf)
{
    PlainTextSink sink;
    Parser parser(sink);
    if (!parser.parse(rtf))
        return {};
    return sink.take();
}

} // namespace rtf
