#pragma once

#include "platform/xlsx/zip_archive.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Builds small spreadsheet packages for tests: one worksheet part per given sheet body, an
// optional shared-string table and further parts.
struct PackageBuilder
{
    QByteArray workbookType =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
    QList<QByteArray> sheets; // the XML of each worksheet part
    QList<std::pair<QByteArray, QByteArray>>
        extras; // further (part, type) relations of the workbook
    std::vector<xlsx::ZipEntry> extraParts;
    QByteArray workbookExtra; // elements after <sheets>
    bool withContentTypes = true;

    static QByteArray worksheet(const QByteArray &sheetData, const QByteArray &before = {},
                                const QByteArray &after = {})
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
               before + "<sheetData>" + sheetData + "</sheetData>" + after + "</worksheet>";
    }

    std::vector<xlsx::ZipEntry> entries() const
    {
        const QByteArray rel =
            "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
        QByteArray types = "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                           "content-types\"><Default Extension=\"xml\" "
                           "ContentType=\"application/xml\"/><Override PartName=\"/xl/"
                           "workbook.xml\" ContentType=\"" +
                           workbookType + "\"/>";
        QByteArray sheetList;
        QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                          "relationships\">";
        std::vector<xlsx::ZipEntry> parts;
        for (int i = 0; i < sheets.size(); ++i) {
            const QByteArray n = QByteArray::number(i + 1);
            sheetList +=
                "<sheet name=\"表" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
            rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rel +
                    "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
            parts.push_back({"xl/worksheets/sheet" + n + ".xml", sheets[i]});
        }
        for (int i = 0; i < extras.size(); ++i) {
            rels += "<Relationship Id=\"rIdX" + QByteArray::number(i) + "\" Type=\"" + rel + "/" +
                    extras[i].second + "\" Target=\"" + extras[i].first + "\"/>";
            types += "<Override PartName=\"/xl/" + extras[i].first +
                     "\" ContentType=\"application/"
                     "vnd.openxmlformats-officedocument.spreadsheetml." +
                     extras[i].second + "+xml\"/>";
        }
        rels += "</Relationships>";
        types += "</Types>";
        const QByteArray workbook =
            "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "xmlns:r=\"" +
            rel + "\"><sheets>" + sheetList + "</sheets>" + workbookExtra + "</workbook>";

        std::vector<xlsx::ZipEntry> all;
        if (withContentTypes)
            all.push_back({"[Content_Types].xml", types});
        all.push_back({"_rels/.rels",
                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                       "relationships\"><Relationship Id=\"rId1\" Type=\"" +
                           rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
        all.push_back({"xl/workbook.xml", workbook});
        all.push_back({"xl/_rels/workbook.xml.rels", rels});
        all.insert(all.end(), parts.begin(), parts.end());
        all.insert(all.end(), extraParts.begin(), extraParts.end());
        return all;
    }

    bool write(const QString &path) const
    {
        const xlsx::ZipWriteResult packed = xlsx::writeZip(entries());
        QFile file(path);
        return packed.ok && file.open(QIODevice::WriteOnly) &&
               file.write(packed.bytes) == packed.bytes.size();
    }
};
