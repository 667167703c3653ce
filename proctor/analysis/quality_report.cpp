#include "proctor/analysis/quality_report.h"

#include "platform/desktop/desktop_services.h"
#include "platform/dialogs/dialogs.h"
#include "proctor/analysis/quality_charts.h"
#include "proctor/analysis/quality_texts.h"
#include "proctor/export/export_location.h"
#include "repository/atomic_save.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

namespace exam {

namespace {

// A chart across the page: its texts come out near the size of the report's text. Drawn at twice
// the resolution, so that it stays sharp on paper.
constexpr int ChartWidth = 700;
constexpr int ChartHeight = 360;
constexpr int ChartScale = 2;
constexpr int ChartOnPage = 560; // within the text width of an A4 page, in the document's pixels

QImage chartPicture(QChart *chart)
{
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(ChartWidth, ChartHeight);
    QImage picture(ChartWidth * ChartScale, ChartHeight * ChartScale, QImage::Format_ARGB32);
    picture.setDevicePixelRatio(ChartScale);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    // The widget's render, which lays the hidden view out first, not the scene's of QGraphicsView.
    static_cast<QWidget &>(view).render(&painter);
    return picture;
}

QString cell(const QString &text, const char *tag = "td")
{
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), text.toHtmlEscaped());
}

QString row(const QStringList &cells, const char *tag = "td")
{
    QString html = QStringLiteral("<tr>");
    for (const QString &text : cells)
        html += cell(text, tag);
    return html + QStringLiteral("</tr>");
}

QString figuresTable(const ItemAnalysis &analysis)
{
    const QStringList names = paperFigureNames();
    const QStringList values = paperFigureValues(analysis.paper);
    QString html = QStringLiteral("<table class='figures' cellspacing='0' cellpadding='3'>");
    html += row({QStringLiteral("指标"), QStringLiteral("值")}, "th");
    for (int i = 0; i < names.size(); ++i)
        html += row({names.at(i), values.at(i)});
    return html + QStringLiteral("</table>");
}

QString questionTable(const ItemAnalysis &analysis)
{
    // The option shares of the whole group stand before the hint, which may be long.
    QStringList headers = itemHeaders();
    const QString hintHeader = headers.takeLast();
    const QStringList options = optionHeaders();
    for (qsizetype i = 0; i < options.size(); ++i)
        headers.append(i < AnalysedOptions ? QStringLiteral("选") + options.at(i) : options.at(i));
    headers.append(hintHeader);
    // Shares as whole percentages without the sign, so that the narrow columns do not wrap.
    const auto percents = [](const OptionShares &shares) {
        QStringList cells;
        for (const double share : shares.options)
            cells.append(figureText(share * 100, 0));
        cells.append(figureText(shares.blank * 100, 0));
        return cells;
    };

    QString html =
        QStringLiteral("<table class='items' cellspacing='0' cellpadding='2' width='100%'>");
    html += QStringLiteral("<thead>") + row(headers, "th") + QStringLiteral("</thead>");
    for (const ItemFigures &item : analysis.items) {
        QStringList cells = itemCells(item);
        const QString hint = cells.takeLast();
        cells += percents(item.all);
        cells.append(hint);
        html += row(cells);
    }
    return html + QStringLiteral("</table>");
}

QString reportHtml(const ResultsData &data, const ItemAnalysis &analysis)
{
    QString html =
        QStringLiteral("<html><head><style>"
                       "h1 { font-size: 16pt; } h2 { font-size: 12pt; margin-top: 12px; }"
                       "table { border-collapse: collapse; } th, td { border: 1px solid #888; }"
                       "th { background-color: #d9e1f2; } table.items { font-size: 7pt; } td { "
                       "white-space: nowrap; }"
                       "</style></head><body>");
    html += QStringLiteral("<h1>试卷质量分析</h1><p>考试名称: %1　　班级名称: %2</p>")
                .arg(data.paper.toHtmlEscaped(), data.className.toHtmlEscaped());
    if (!analysis.enoughStudents)
        return html + QStringLiteral("<p>%1</p></body></html>")
                          .arg(QString::fromUtf16(TooFewStudentsText));
    html += QStringLiteral("<h2>试卷质量</h2>") + figuresTable(analysis);
    const QString picture = QStringLiteral("<p><img src='%1' width='%2' height='%3'></p>");
    const int height = ChartOnPage * ChartHeight / ChartWidth;
    html += picture.arg(QStringLiteral("chart:histogram")).arg(ChartOnPage).arg(height);
    html += picture.arg(QStringLiteral("chart:map")).arg(ChartOnPage).arg(height);
    html +=
        QStringLiteral("<h2>题目质量</h2><p>选项一栏为全体考生中选该项的百分比；高分组、低分组: "
                       "总分最高、最低的各 %1 人。</p>")
            .arg(analysis.groupSize);
    html += questionTable(analysis);
    return html + QStringLiteral("</body></html>");
}

} // namespace

Result writeQualityReport(const ResultsData &data, const ItemAnalysis &analysis,
                          const QString &path)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("试卷质量分析 %1 %2").arg(data.paper, data.className));
    writer.setCreator(QStringLiteral("proctor"));

    QTextDocument document;
    QFont font(QStringLiteral("Noto Sans CJK SC"), 9);
    font.setStyleHint(QFont::SansSerif);
    document.setDefaultFont(font);
    if (analysis.enoughStudents) {
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("chart:histogram")),
                             chartPicture(makeScoreHistogram(analysis)));
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("chart:map")),
                             chartPicture(makeItemMap(analysis).chart));
    }
    document.setHtml(reportHtml(data, analysis));
    document.print(&writer);
    return saveFileAtomically(path, pdf.data());
}

QString runQualityReport(QWidget *parent, const ResultsData &data, const ItemAnalysis &analysis,
                         const QualityReportContext &context)
{
    const QString folder =
        context.outputFolder.isEmpty() ? defaultExportFolder() : context.outputFolder;
    QString error;
    QString path;
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("无法建立文件夹 %1。").arg(QDir::toNativeSeparators(folder));
    } else {
        path =
            freeExportPath(folder, QStringLiteral("%1-%2-质量分析").arg(data.paper, data.className),
                           QStringLiteral("pdf"));
        if (const Result written = writeQualityReport(data, analysis, path); !written) {
            error = written.message();
            path.clear();
        }
    }
    if (path.isEmpty()) {
        context.dialogs->message(parent, QStringLiteral("质量分析报告没有保存。\n\n") + error,
                                 platform::Dialogs::Icon::Warning);
        return path;
    }
    const auto open = context.openDocument ? context.openDocument : platform::openDocument;
    QString text =
        QStringLiteral("质量分析报告已经保存为：\n%1").arg(QDir::toNativeSeparators(path));
    if (!open(path))
        text += QStringLiteral("\n\n没有程序能打开它，请另行打开。");
    context.dialogs->message(parent, text, platform::Dialogs::Icon::Information);
    return path;
}

} // namespace exam
