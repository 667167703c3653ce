#!/usr/bin/env python3
"""Writes sys/score.xlt, the default workbook template of the score sheet export.

The template is an OOXML workbook template (a zip of XML parts, content type
"...spreadsheetml.template.main+xml") with four worksheets: students, statistics, questions and
the answer grid. It carries titles, labels, column headings, column widths and cell formats; the
console fills in the values (paper name in B2, class name in E1/B1/F1/F1, the rows from row 6).
Two more worksheets follow for the quality analysis, 试卷质量 (figures in B2:B9) and 题目质量 (one
row per question from row 2); the console finds them by name.

Run from anywhere:  python3 templates/make-score-template.py
Only Python's standard library is used, and the output is byte-for-byte reproducible.
"""

import os
import zipfile
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "sys", "score.xlt")
STAMP = (2026, 1, 1, 0, 0, 0)

NS_MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
NS_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
NS_PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

# Cell formats (indexes into cellXfs below).
PLAIN, TITLE, LABEL, VALUE, HEADING, DATA, CENTER = range(7)

STYLES = f"""{DECL}<styleSheet xmlns="{NS_MAIN}">
<fonts count="4">
<font><sz val="11"/><name val="宋体"/><charset val="134"/></font>
<font><b/><sz val="16"/><name val="黑体"/><charset val="134"/></font>
<font><b/><sz val="11"/><name val="宋体"/><charset val="134"/></font>
<font><sz val="11"/><color rgb="FF1F3864"/><name val="宋体"/><charset val="134"/></font>
</fonts>
<fills count="3">
<fill><patternFill patternType="none"/></fill>
<fill><patternFill patternType="gray125"/></fill>
<fill><patternFill patternType="solid"><fgColor rgb="FFD9E1F2"/><bgColor indexed="64"/></patternFill></fill>
</fills>
<borders count="2">
<border><left/><right/><top/><bottom/><diagonal/></border>
<border><left style="thin"><color auto="1"/></left><right style="thin"><color auto="1"/></right><top style="thin"><color auto="1"/></top><bottom style="thin"><color auto="1"/></bottom><diagonal/></border>
</borders>
<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
<cellXfs count="7">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>
<xf numFmtId="0" fontId="2" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1"><alignment horizontal="right"/></xf>
<xf numFmtId="0" fontId="3" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1"><alignment horizontal="left"/></xf>
<xf numFmtId="0" fontId="2" fillId="2" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center" vertical="center"/></xf>
<xf numFmtId="0" fontId="0" fillId="0" borderId="1" xfId="0" applyBorder="1" applyAlignment="1"><alignment horizontal="center"/></xf>
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment horizontal="center"/></xf>
</cellXfs>
<cellStyles count="1"><cellStyle name="常规" xfId="0" builtinId="0"/></cellStyles>
</styleSheet>
"""


class Strings:
    """The workbook's shared strings, in order of first use."""

    def __init__(self):
        self.items = []

    def index(self, text):
        if text not in self.items:
            self.items.append(text)
        return self.items.index(text)

    def xml(self):
        body = "".join(f"<si><t>{escape(t)}</t></si>" for t in self.items)
        n = len(self.items)
        return f'{DECL}<sst xmlns="{NS_MAIN}" count="{n}" uniqueCount="{n}">{body}</sst>'


def column_letter(column):
    name = ""
    while column:
        column, digit = divmod(column - 1, 26)
        name = chr(ord("A") + digit) + name
    return name


def cell_ref(ref):
    letters = "".join(c for c in ref if c.isalpha())
    digits = "".join(c for c in ref if c.isdigit())
    number = 0
    for c in letters:
        number = number * 26 + ord(c) - ord("A") + 1
    return int(digits), number


def worksheet(strings, cells, columns, merges=(), heading_row=None, title_row=1, frozen=False,
              selected=False, fit_width=True):
    """cells: {ref: (text or None, style)}; columns: [(first, last, width, style)].

    A column's style is the format new cells of that column take (the filled rows), and it shows
    on every empty cell of the column too, so it carries no borders.
    """
    rows = {}
    for ref, (text, style) in cells.items():
        row, column = cell_ref(ref)
        rows.setdefault(row, []).append((column, ref, text, style))
    last_row = max(rows)
    last_column = max(c for r in rows.values() for c, *_ in r)
    parts = [f'{DECL}<worksheet xmlns="{NS_MAIN}" xmlns:r="{NS_REL}">']
    if fit_width:
        parts.append('<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr>')
    parts.append(f'<dimension ref="A1:{column_letter(last_column)}{last_row}"/>')
    view = '<sheetView workbookViewId="0"' + (' tabSelected="1"' if selected else "") + ">"
    if frozen:
        view += '<pane ySplit="5" topLeftCell="A6" activePane="bottomLeft" state="frozen"/>'
        view += '<selection pane="bottomLeft" activeCell="A6" sqref="A6"/>'
    parts.append(f"<sheetViews>{view}</sheetView></sheetViews>")
    parts.append('<sheetFormatPr defaultRowHeight="15"/>')
    parts.append("<cols>")
    for first, last, width, style in columns:
        parts.append(f'<col min="{first}" max="{last}" width="{width}" style="{style}" customWidth="1"/>')
    parts.append("</cols><sheetData>")
    for row in sorted(rows):
        attributes = f'r="{row}"'
        if row == heading_row:
            # New cells in the heading row take the heading format.
            attributes += f' s="{HEADING}" customFormat="1" ht="20" customHeight="1"'
        elif row == title_row:
            attributes += ' ht="24" customHeight="1"'
        parts.append(f"<row {attributes}>")
        for column, ref, text, style in sorted(rows[row]):
            if text is None:
                parts.append(f'<c r="{ref}" s="{style}"/>')
            else:
                parts.append(f'<c r="{ref}" s="{style}" t="s"><v>{strings.index(text)}</v></c>')
        parts.append("</row>")
    parts.append("</sheetData>")
    if merges:
        parts.append(f'<mergeCells count="{len(merges)}">')
        parts.extend(f'<mergeCell ref="{m}"/>' for m in merges)
        parts.append("</mergeCells>")
    parts.append('<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>')
    fit = ' fitToWidth="1" fitToHeight="0"' if fit_width else ""
    parts.append(f'<pageSetup paperSize="9" orientation="portrait"{fit}/>')
    parts.append("</worksheet>")
    return "".join(parts)


def headings(row, texts):
    return {f"{column_letter(i + 1)}{row}": (t, HEADING) for i, t in enumerate(texts)}


def students_sheet(strings):
    cells = {
        "A1": ("学生考试成绩表", TITLE),
        "D1": ("班级名称:", LABEL), "E1": (None, VALUE),
        "A2": ("考试名称:", LABEL), "B2": (None, VALUE),
    }
    cells.update(headings(5, ["考号", "考生姓名", "曾用名", "成绩", "名次", "剩余时间"]))
    columns = [(1, 1, 10, CENTER), (2, 3, 14, CENTER), (4, 5, 9, CENTER), (6, 6, 12, CENTER)]
    return worksheet(strings, cells, columns, merges=["B2:F2"], frozen=True, selected=True)


STATISTICS = ["平均分", "最高分", "最低分", "参考人数", "总得分", "优秀人数", "良好人数",
              "中等人数", "及格人数", "不及格人数", "及格总人数", "优秀%", "良好%", "中等%",
              "及格%", "不及格%", "及格总人数%"]


def statistics_sheet(strings):
    cells = {
        "A1": ("班级名称:", LABEL), "B1": (None, VALUE),
        "A2": ("考试名称:", LABEL), "B2": (None, VALUE),
        "A3": ("成绩统计表", TITLE),
        "A5": ("统计项目", HEADING), "B5": ("数值", HEADING),
    }
    for i, label in enumerate(STATISTICS):
        cells[f"A{i + 6}"] = (label, HEADING)
        cells[f"B{i + 6}"] = (None, DATA)
    columns = [(1, 1, 16, PLAIN), (2, 2, 22, CENTER)]
    return worksheet(strings, cells, columns, title_row=3)


def questions_sheet(strings):
    cells = {
        "A1": ("试题分析表", TITLE),
        "E1": ("班级名称:", LABEL), "F1": (None, VALUE),
        "A2": ("考试名称:", LABEL), "B2": (None, VALUE),
    }
    cells.update(headings(5, ["题号", "标准答案", "得分率%", "选1人数", "选2人数", "选3人数",
                              "选4人数", "选5人数"]))
    columns = [(1, 3, 10, CENTER), (4, 8, 9, CENTER)]
    return worksheet(strings, cells, columns, merges=["B2:H2"], frozen=True)


def answers_sheet(strings):
    cells = {
        "A1": ("考生答题情况表", TITLE),
        "E1": ("班级名称:", LABEL), "F1": (None, VALUE),
        "A2": ("考试名称:", LABEL), "B2": (None, VALUE),
    }
    cells.update(headings(5, ["考号", "考生姓名", "曾用名"]))
    columns = [(1, 1, 10, CENTER), (2, 3, 14, CENTER), (4, 16384, 8, CENTER)]
    # One column per question: printed across as many pages as it takes.
    return worksheet(strings, cells, columns, merges=["B2:D2"], heading_row=5, frozen=True,
                     fit_width=False)


PAPER_QUALITY = ["人数", "平均分", "标准差", "中位数", "最低分", "最高分", "信度(α)", "测量标准误"]


def paper_quality_sheet(strings):
    cells = {"A1": ("指标", HEADING), "B1": ("值", HEADING)}
    for i, label in enumerate(PAPER_QUALITY):
        cells[f"A{i + 2}"] = (label, HEADING)
        cells[f"B{i + 2}"] = (None, DATA)
    columns = [(1, 1, 14, PLAIN), (2, 2, 16, CENTER)]
    return worksheet(strings, cells, columns)


ITEM_QUALITY = (["题号", "分值", "标准答案", "作答人数", "难度P", "区分度D", "题总相关"]
                + [f"选{chr(ord('A') + k)}" for k in range(7)] + ["未作答", "提示"])


def item_quality_sheet(strings):
    cells = headings(1, ITEM_QUALITY)
    columns = [(1, 4, 9, CENTER), (5, 7, 10, CENTER), (8, 15, 8, CENTER), (16, 16, 24, PLAIN)]
    return worksheet(strings, cells, columns, heading_row=1)


SHEETS = [("学生成绩", students_sheet), ("成绩统计", statistics_sheet),
          ("试题分析", questions_sheet), ("答题情况", answers_sheet),
          ("试卷质量", paper_quality_sheet), ("题目质量", item_quality_sheet)]


def package():
    strings = Strings()
    sheets = [(name, make(strings)) for name, make in SHEETS]
    sheet_ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"
    overrides = "".join(
        f'<Override PartName="/xl/worksheets/sheet{i}.xml" ContentType="{sheet_ct}"/>'
        for i in range(1, len(sheets) + 1))
    content_types = (
        f'{DECL}<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"/>'
        f"{overrides}"
        '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
        '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
        '<Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>'
        "</Types>")
    root_rels = (
        f'{DECL}<Relationships xmlns="{NS_PKG_REL}">'
        f'<Relationship Id="rId1" Type="{NS_REL}/officeDocument" Target="xl/workbook.xml"/>'
        '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>'
        f'<Relationship Id="rId3" Type="{NS_REL}/extended-properties" Target="docProps/app.xml"/>'
        "</Relationships>")
    core = (
        f'{DECL}<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
        'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" '
        'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
        "<dc:title>考试成绩</dc:title>"
        '<dcterms:created xsi:type="dcterms:W3CDTF">2026-01-01T00:00:00Z</dcterms:created>'
        "</cp:coreProperties>")
    app = (
        f'{DECL}<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">'
        "<Application>Microsoft Excel</Application></Properties>")
    sheet_entries = "".join(
        f'<sheet name="{escape(name)}" sheetId="{i}" r:id="rId{i}"/>'
        for i, (name, _) in enumerate(sheets, start=1))
    workbook = (
        f'{DECL}<workbook xmlns="{NS_MAIN}" xmlns:r="{NS_REL}">'
        '<bookViews><workbookView activeTab="0"/></bookViews>'
        f"<sheets>{sheet_entries}</sheets></workbook>")
    n = len(sheets)
    sheet_rels = "".join(
        f'<Relationship Id="rId{i}" Type="{NS_REL}/worksheet" Target="worksheets/sheet{i}.xml"/>'
        for i in range(1, n + 1))
    workbook_rels = (
        f'{DECL}<Relationships xmlns="{NS_PKG_REL}">{sheet_rels}'
        f'<Relationship Id="rId{n + 1}" Type="{NS_REL}/styles" Target="styles.xml"/>'
        f'<Relationship Id="rId{n + 2}" Type="{NS_REL}/sharedStrings" Target="sharedStrings.xml"/>'
        "</Relationships>")

    parts = [("[Content_Types].xml", content_types), ("_rels/.rels", root_rels),
             ("docProps/core.xml", core), ("docProps/app.xml", app),
             ("xl/workbook.xml", workbook), ("xl/_rels/workbook.xml.rels", workbook_rels),
             ("xl/styles.xml", STYLES)]
    parts += [(f"xl/worksheets/sheet{i}.xml", xml) for i, (_, xml) in enumerate(sheets, start=1)]
    parts.append(("xl/sharedStrings.xml", strings.xml()))
    return parts


def main():
    os.makedirs(os.path.dirname(OUTPUT), exist_ok=True)
    with zipfile.ZipFile(OUTPUT, "w") as archive:
        for name, text in package():
            info = zipfile.ZipInfo(name, date_time=STAMP)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, text.encode("utf-8"))


if __name__ == "__main__":
    main()
