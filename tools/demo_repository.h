#pragma once

// The demo repository: two classes, three papers in Chinese (a practice paper with explanations,
// a paper drawn at random from a larger pool, a paper with pictures in its questions), all open to
// both classes, and a few finished results. Everything is written through the repository library
// and the RTF writer, as the console would write it; the results are sat through the client's
// logic, as the client writes them.

#include "repository/clock.h"
#include "repository/random_source.h"
#include "repository/system_profile.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace exam::demo {

struct DemoQuestion
{
    QString text;
    QStringList options; // shown as A, B, C, … in the question text
    QString answer;      // digit form: "1" is A, "13" is A and C
    QString explanation;
    QImage picture; // drawn below the question text when not null
};

struct DemoPaper
{
    QString name;
    QString author;
    QString description;
    int minutes = 30;
    qint16 defaultMark = 10;
    bool practice = false;
    int drawCount = 0; // questions drawn at random; 0 presents all
    QList<DemoQuestion> questions;
};

QList<ClassEntry> demoClasses();
QList<DemoPaper> demoPapers();

// The demo's three kinds of picture, drawn with QPainter.
QImage trianglePicture();
QImage barChartPicture();
QImage circuitPicture();

// Writes the whole demo below `root` (which need not exist). A failure says which step failed;
// what was written until then stays.
Result writeDemoRepository(const QString &root, RandomSource &random, const Clock &clock);

// Writes one paper: settings, question and explanation files, the question sections. The paper's
// folders must exist.
Result writeDemoPaper(const QString &root, const DemoPaper &paper, RandomSource &random);

} // namespace exam::demo
