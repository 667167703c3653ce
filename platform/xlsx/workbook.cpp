#include "workbook.h"

#include "ooxml_text.h"
#include "worksheet_xml.h"
#include "zip_archive.h"

#include "repository/atomic_save.h"

#include <QFileInfo>
#include <QHash>
#include <charconv>
#include <cmath>
#include <cstring>
#include <pugixml.hpp>

namespace xlsx {
namespace {

constexpr char workbookType[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
constexpr char templateType[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";

bool endsWith(const char *text, const char *suffix)
{
    const size_t n = std::strlen(text);
    const size_t m = std::strlen(suffix);
    return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

// The relationship part that belongs to a part: "xl/workbook.xml" → "xl/_rels/workbook.xml.rels".
QByteArray relationshipsPartOf(const QByteArray &part)
{
    const qsizetype slash = part.lastIndexOf('/');
    return part.left(slash + 1) + "_rels/" + part.mid(slash + 1) + ".rels";
}

// A relationship target taken relative to the folder of its source part.
QByteArray resolveTarget(const QByteArray &sourcePart, const QByteArray &target)
{
    QList<QByteArray> parts;
    if (!target.startsWith('/')) {
        const qsizetype slash = sourcePart.lastIndexOf('/');
        if (slash >= 0)
            parts = sourcePart.left(slash).split('/');
    }
    for (const QByteArray &piece : target.split('/')) {
        if (piece.isEmpty() || piece == ".")
            continue;
        if (piece == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else {
            parts.append(piece);
        }
    }
    return parts.join('/');
}

// The r:id of a sheet entry, whatever prefix the workbook gives the relationships namespace.
const char *relationshipId(pugi::xml_node node)
{
    for (pugi::xml_attribute a : node.attributes()) {
        if (endsWith(a.name(), ":id"))
            return a.value();
    }
    return "";
}

QByteArray numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, result.ptr - buffer);
}

// Inserts a value child (f, v or is) before the cell's extension list, as the format orders them.
pugi::xml_node appendValueChild(pugi::xml_node cell, const char *name)
{
    const pugi::xml_node extensions = cell.child("extLst");
    return extensions ? cell.insert_child_before(name, extensions) : cell.append_child(name);
}

// The text of a string item: its own text or the runs of rich text, phonetic hints left out.
QString stringItemText(pugi::xml_node item)
{
    if (pugi::xml_node t = item.child("t"))
        return decodeCellText(t.text().get());
    QString text;
    for (pugi::xml_node run = item.child("r"); run; run = run.next_sibling("r"))
        text += decodeCellText(run.child("t").text().get());
    return text;
}

} // namespace

struct Workbook::Private
{
    struct Sheet
    {
        QString name;
        QByteArray part;
        std::unique_ptr<WorksheetXml> xml; // null for chart sheets and the like
        bool modified = false;
    };

    std::vector<ZipEntry> entries;
    QHash<QByteArray, qsizetype> entryByName; // lower-case name → index into entries
    pugi::xml_document contentTypes;
    QByteArray contentTypesPart;
    QByteArray workbookPart;
    pugi::xml_document workbook;
    QByteArray workbookRelsPart;
    pugi::xml_document workbookRels;
    QByteArray calcChainPart;
    std::vector<Sheet> sheets;
    std::vector<QString> sharedStrings;
    bool isTemplate = false;
    bool hasFormulas = false;
    bool formulaOverwritten = false;
    QString path;
    QString error;

    bool fail(const QString &text)
    {
        error = text;
        return false;
    }
    const ZipEntry *entry(const QByteArray &name) const
    {
        const auto found = entryByName.constFind(name.toLower());
        return found == entryByName.cend() ? nullptr : &entries[size_t(*found)];
    }
    bool parsePart(const QByteArray &name, pugi::xml_document &doc);
    QByteArray contentTypeOf(const QByteArray &part) const;
    bool readSheets();
    void readSharedStrings(const QByteArray &part);
    Sheet *writableSheet(int sheet, int row, int column);
    void removeCalcChain();
    void requestRecalculation();
};

bool Workbook::Private::parsePart(const QByteArray &name, pugi::xml_document &doc)
{
    const ZipEntry *found = entry(name);
    if (!found)
        return fail(QStringLiteral("%1 缺少 %2").arg(path, QString::fromUtf8(name)));
    const pugi::xml_parse_result parsed =
        doc.load_buffer(found->data.constData(), size_t(found->data.size()), XmlParseOptions);
    if (!parsed)
        return fail(
            QStringLiteral("%1 中的 %2 已损坏（%3）")
                .arg(path, QString::fromUtf8(name), QString::fromUtf8(parsed.description())));
    return true;
}

QByteArray Workbook::Private::contentTypeOf(const QByteArray &part) const
{
    const pugi::xml_node types = contentTypes.document_element();
    const QByteArray partName = '/' + part.toLower();
    for (pugi::xml_node o = types.child("Override"); o; o = o.next_sibling("Override")) {
        if (QByteArray(o.attribute("PartName").value()).toLower() == partName)
            return o.attribute("ContentType").value();
    }
    const QByteArray extension = part.mid(part.lastIndexOf('.') + 1).toLower();
    for (pugi::xml_node d = types.child("Default"); d; d = d.next_sibling("Default")) {
        if (QByteArray(d.attribute("Extension").value()).toLower() == extension)
            return d.attribute("ContentType").value();
    }
    return {};
}

bool Workbook::Private::readSheets()
{
    QHash<QByteArray, std::pair<QByteArray, QByteArray>> targets; // id → (type, part)
    for (pugi::xml_node r = workbookRels.document_element().child("Relationship"); r;
         r = r.next_sibling("Relationship")) {
        if (std::strcmp(r.attribute("TargetMode").value(), "External") == 0)
            continue;
        const QByteArray part = resolveTarget(workbookPart, r.attribute("Target").value());
        const char *type = r.attribute("Type").value();
        targets.insert(r.attribute("Id").value(), {type, part});
        if (endsWith(type, "/sharedStrings"))
            readSharedStrings(part);
        else if (endsWith(type, "/calcChain"))
            calcChainPart = part;
    }
    if (!error.isEmpty())
        return false;

    for (pugi::xml_node s = workbook.document_element().child("sheets").child("sheet"); s;
         s = s.next_sibling("sheet")) {
        Sheet sheet;
        sheet.name = QString::fromUtf8(s.attribute("name").value());
        const auto target = targets.constFind(relationshipId(s));
        if (target == targets.cend())
            return fail(QStringLiteral("%1 中工作表“%2”的位置无效").arg(path, sheet.name));
        sheet.part = target->second;
        if (endsWith(target->first.constData(), "/worksheet")) {
            const ZipEntry *found = entry(sheet.part);
            if (!found)
                return fail(QStringLiteral("%1 缺少工作表“%2”").arg(path, sheet.name));
            sheet.xml = std::make_unique<WorksheetXml>();
            QString why;
            if (!sheet.xml->parse(found->data, &why))
                return fail(
                    QStringLiteral("%1 中的工作表“%2”已损坏：%3").arg(path, sheet.name, why));
            hasFormulas = hasFormulas || sheet.xml->hasFormulas();
        }
        sheets.push_back(std::move(sheet));
    }
    if (sheets.empty())
        return fail(QStringLiteral("%1 中没有工作表").arg(path));
    return true;
}

void Workbook::Private::readSharedStrings(const QByteArray &part)
{
    pugi::xml_document doc;
    if (!parsePart(part, doc))
        return;
    for (pugi::xml_node si = doc.document_element().child("si"); si; si = si.next_sibling("si"))
        sharedStrings.push_back(stringItemText(si));
}

Workbook::Private::Sheet *Workbook::Private::writableSheet(int sheet, int row, int column)
{
    if (sheet < 1 || sheet > int(sheets.size()) || !sheets[size_t(sheet - 1)].xml) {
        fail(QStringLiteral("工作簿中没有第 %1 个工作表").arg(sheet));
        return nullptr;
    }
    if (row < 1 || row > maxRows || column < 1 || column > maxColumns) {
        fail(QStringLiteral("单元格位置超出工作表范围（第 %1 行，第 %2 列）").arg(row).arg(column));
        return nullptr;
    }
    Sheet &found = sheets[size_t(sheet - 1)];
    found.modified = true;
    return &found;
}

void Workbook::Private::removeCalcChain()
{
    if (calcChainPart.isEmpty())
        return;
    const QByteArray lower = calcChainPart.toLower();
    std::erase_if(entries, [&](const ZipEntry &e) { return e.name.toLower() == lower; });
    entryByName.clear();
    for (size_t i = 0; i < entries.size(); ++i)
        entryByName.insert(entries[i].name.toLower(), qsizetype(i));

    pugi::xml_node rels = workbookRels.document_element();
    for (pugi::xml_node r = rels.child("Relationship"); r;) {
        const pugi::xml_node next = r.next_sibling("Relationship");
        if (endsWith(r.attribute("Type").value(), "/calcChain"))
            rels.remove_child(r);
        r = next;
    }
    pugi::xml_node types = contentTypes.document_element();
    const QByteArray partName = '/' + lower;
    for (pugi::xml_node o = types.child("Override"); o;) {
        const pugi::xml_node next = o.next_sibling("Override");
        if (QByteArray(o.attribute("PartName").value()).toLower() == partName)
            types.remove_child(o);
        o = next;
    }
    calcChainPart.clear();
}

void Workbook::Private::requestRecalculation()
{
    pugi::xml_node root = workbook.document_element();
    pugi::xml_node calcPr = root.child("calcPr");
    if (!calcPr) {
        // calcPr follows these elements, whichever of them the workbook has.
        pugi::xml_node after;
        for (const char *name :
             {"sheets", "functionGroups", "externalReferences", "definedNames"}) {
            if (pugi::xml_node found = root.child(name))
                after = found;
        }
        calcPr = after ? root.insert_child_after("calcPr", after) : root.append_child("calcPr");
    }
    pugi::xml_attribute full = calcPr.attribute("fullCalcOnLoad");
    if (!full)
        full = calcPr.append_attribute("fullCalcOnLoad");
    full.set_value("1");
}

Workbook::Workbook() : d(std::make_unique<Private>()) {}
Workbook::~Workbook() = default;

bool Workbook::open(const QString &path)
{
    d = std::make_unique<Private>();
    d->path = QFileInfo(path).absoluteFilePath();
    ZipReadResult archive = readZip(path);
    if (!archive.ok)
        return d->fail(archive.error);
    d->entries = std::move(archive.entries);
    for (size_t i = 0; i < d->entries.size(); ++i)
        d->entryByName.insert(d->entries[i].name.toLower(), qsizetype(i));

    const QString notSpreadsheet = QStringLiteral("%1 不是 Excel 工作簿或模板").arg(d->path);
    d->contentTypesPart = "[Content_Types].xml";
    pugi::xml_document packageRels;
    if (!d->entry(d->contentTypesPart) || !d->entry("_rels/.rels"))
        return d->fail(notSpreadsheet);
    if (!d->parsePart(d->contentTypesPart, d->contentTypes) ||
        !d->parsePart("_rels/.rels", packageRels))
        return false;

    for (pugi::xml_node r = packageRels.document_element().child("Relationship"); r;
         r = r.next_sibling("Relationship")) {
        if (endsWith(r.attribute("Type").value(), "/officeDocument"))
            d->workbookPart = resolveTarget({}, r.attribute("Target").value());
    }
    const QByteArray type = d->contentTypeOf(d->workbookPart);
    if (d->workbookPart.isEmpty() || (type != workbookType && type != templateType))
        return d->fail(notSpreadsheet);
    d->isTemplate = type == templateType;

    d->workbookRelsPart = relationshipsPartOf(d->workbookPart);
    if (!d->parsePart(d->workbookPart, d->workbook) ||
        !d->parsePart(d->workbookRelsPart, d->workbookRels))
        return false;
    return d->readSheets();
}

bool Workbook::isTemplate() const
{
    return d->isTemplate;
}

int Workbook::sheetCount() const
{
    return int(d->sheets.size());
}

QString Workbook::sheetName(int sheet) const
{
    return sheet >= 1 && sheet <= sheetCount() ? d->sheets[size_t(sheet - 1)].name : QString();
}

bool Workbook::isWorksheet(int sheet) const
{
    return sheet >= 1 && sheet <= sheetCount() && d->sheets[size_t(sheet - 1)].xml;
}

namespace {

// Removes the cell's value and formula, keeping its place and style.
bool clearValue(pugi::xml_node cell)
{
    const bool hadFormula = cell.child("f");
    for (const char *name : {"f", "v", "is"})
        cell.remove_child(name);
    for (const char *name : {"t", "cm", "vm"})
        cell.remove_attribute(name);
    return hadFormula;
}

} // namespace

bool Workbook::setText(int sheet, int row, int column, const QString &text)
{
    Private::Sheet *target = d->writableSheet(sheet, row, column);
    if (!target)
        return false;
    pugi::xml_node cell = target->xml->cellForWriting(row, column);
    d->formulaOverwritten = clearValue(cell) || d->formulaOverwritten;
    if (text.isEmpty())
        return true;
    cell.append_attribute("t").set_value("inlineStr");
    pugi::xml_node t = appendValueChild(cell, "is").append_child("t");
    if (needsPreservedSpace(text))
        t.append_attribute("xml:space").set_value("preserve");
    t.text().set(encodeCellText(text).constData());
    return true;
}

bool Workbook::setNumber(int sheet, int row, int column, double value)
{
    if (!std::isfinite(value))
        return d->fail(QStringLiteral("单元格的数值无效"));
    Private::Sheet *target = d->writableSheet(sheet, row, column);
    if (!target)
        return false;
    pugi::xml_node cell = target->xml->cellForWriting(row, column);
    d->formulaOverwritten = clearValue(cell) || d->formulaOverwritten;
    appendValueChild(cell, "v").text().set(numberText(value).constData());
    return true;
}

bool Workbook::setText(int sheet, const QString &cell, const QString &text)
{
    const auto position = parseCellName(cell);
    if (!position)
        return d->fail(QStringLiteral("无效的单元格地址“%1”").arg(cell));
    return setText(sheet, position->row, position->column, text);
}

bool Workbook::setNumber(int sheet, const QString &cell, double value)
{
    const auto position = parseCellName(cell);
    if (!position)
        return d->fail(QStringLiteral("无效的单元格地址“%1”").arg(cell));
    return setNumber(sheet, position->row, position->column, value);
}

namespace {

Cell readCell(const CellPosition &position, pugi::xml_node c,
              const std::vector<QString> &sharedStrings)
{
    Cell cell;
    cell.position = position;
    cell.style = c.attribute("s").as_int(-1);
    cell.hasFormula = c.child("f");
    const char *type = c.attribute("t").value();
    const pugi::xml_node v = c.child("v");
    if (std::strcmp(type, "inlineStr") == 0) {
        if (pugi::xml_node is = c.child("is")) {
            cell.type = CellType::Text;
            cell.text = stringItemText(is);
        }
        return cell;
    }
    if (!v)
        return cell;
    cell.text = decodeCellText(v.text().get());
    if (std::strcmp(type, "s") == 0) {
        const auto index = size_t(v.text().as_ullong(sharedStrings.size()));
        cell.type = CellType::Text;
        cell.text = index < sharedStrings.size() ? sharedStrings[index] : QString();
    } else if (std::strcmp(type, "str") == 0) {
        cell.type = CellType::Text;
    } else if (std::strcmp(type, "b") == 0) {
        cell.type = CellType::Boolean;
        cell.number = v.text().as_double();
    } else if (std::strcmp(type, "e") == 0) {
        cell.type = CellType::Error;
    } else {
        cell.type = CellType::Number;
        cell.number = v.text().as_double();
    }
    return cell;
}

} // namespace

Cell Workbook::cell(int sheet, int row, int column) const
{
    if (!isWorksheet(sheet))
        return {};
    const pugi::xml_node c = d->sheets[size_t(sheet - 1)].xml->findCell(row, column);
    if (!c) {
        Cell empty;
        empty.position = {row, column};
        return empty;
    }
    return readCell({row, column}, c, d->sharedStrings);
}

Cell Workbook::cell(int sheet, const QString &cell) const
{
    const auto position = parseCellName(cell);
    return position ? this->cell(sheet, position->row, position->column) : Cell{};
}

std::vector<Cell> Workbook::cells(int sheet) const
{
    std::vector<Cell> result;
    if (!isWorksheet(sheet))
        return result;
    d->sheets[size_t(sheet - 1)].xml->forEachCell([&](const CellPosition &p, pugi::xml_node c) {
        result.push_back(readCell(p, c, d->sharedStrings));
    });
    return result;
}

bool Workbook::save(const QString &path)
{
    if (d->sheets.empty())
        return d->fail(QStringLiteral("没有打开的工作簿"));

    if (d->isTemplate) {
        pugi::xml_node types = d->contentTypes.document_element();
        const QByteArray partName = '/' + d->workbookPart.toLower();
        pugi::xml_node override;
        for (pugi::xml_node o = types.child("Override"); o; o = o.next_sibling("Override")) {
            if (QByteArray(o.attribute("PartName").value()).toLower() == partName)
                override = o;
        }
        if (!override) {
            override = types.append_child("Override");
            const QByteArray name = '/' + d->workbookPart;
            override.append_attribute("PartName").set_value(name.constData());
            override.append_attribute("ContentType");
        }
        override.attribute("ContentType").set_value(workbookType);
    }
    // A formula that was overwritten would leave the calculation chain pointing at a plain
    // value, which spreadsheet programs report as damage; formulas that read the new values
    // must be worked out again when the file is opened.
    if (d->formulaOverwritten)
        d->removeCalcChain();
    if (d->hasFormulas)
        d->requestRecalculation();

    std::vector<ZipEntry> out;
    out.reserve(d->entries.size());
    // The content types part goes first, as office programs write it.
    out.push_back({d->contentTypesPart, xmlBytes(d->contentTypes)});
    for (const ZipEntry &e : d->entries) {
        const QByteArray lower = e.name.toLower();
        if (lower == d->contentTypesPart.toLower())
            continue;
        QByteArray data = e.data;
        if (lower == d->workbookPart.toLower())
            data = xmlBytes(d->workbook);
        else if (lower == d->workbookRelsPart.toLower())
            data = xmlBytes(d->workbookRels);
        for (Private::Sheet &sheet : d->sheets) {
            if (sheet.modified && sheet.part.toLower() == lower)
                data = sheet.xml->serialize();
        }
        out.push_back({e.name, std::move(data)});
    }

    const ZipWriteResult packed = writeZip(out);
    if (!packed.ok)
        return d->fail(QStringLiteral("无法生成工作簿：%1").arg(packed.error));
    if (const exam::Result saved = exam::saveFileAtomically(path, packed.bytes); !saved)
        return d->fail(saved.message());
    return true;
}

QString Workbook::errorString() const
{
    return d->error;
}

} // namespace xlsx
