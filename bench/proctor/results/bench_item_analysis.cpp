// The quality analysis of one refresh: paper figures, reliability, and per question facility,
// discrimination, item–rest correlation and option shares, for a very large class and paper.

#include "proctor/results/item_analysis.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace exam;

namespace {

// A class as an exam leaves it: abler students answer more questions correctly, harder questions
// are answered correctly less often; a wrong answer is another option, now and then two, or blank.
// Every fifth question has two correct options, every tenth is worth double, a few students have
// no score yet. Scores are the sums of the item scores, as the client computes them.
ResultsData examinedClass(int students, int questions)
{
    QRandomGenerator random(11);
    ResultsData data;
    data.firstNumber = 1;
    data.thresholds = {90, 80, 70, 60};
    QList<double> difficulty;
    for (int q = 1; q <= questions; ++q) {
        data.standardAnswers.append(q % 5 == 0 ? 13 : 1 + q % 4);
        data.questionMarks.append(q % 10 == 0 ? 2 : 1);
        difficulty.append(random.generateDouble() * 4 - 2);
    }
    for (int i = 0; i < students; ++i) {
        StudentRecord student;
        student.number = QString::number(i + 1);
        const double ability = random.generateDouble() * 4 - 2;
        double score = 0;
        for (int q = 0; q < questions; ++q) {
            const double chance = 1 / (1 + std::exp(difficulty.at(q) - ability));
            qint64 answer = data.standardAnswers.at(q);
            if (random.generateDouble() >= chance) {
                const int wrong = int(random.bounded(10));
                answer = wrong == 0 ? 0 : (wrong == 1 ? 24 : 1 + (answer + wrong) % 5);
                if (answer == data.standardAnswers.at(q))
                    answer = 7;
            } else {
                score += data.questionMarks.at(q);
            }
            student.answers.append(answer);
        }
        student.hasScore = i % 50 != 0;
        student.scoreValue = student.hasScore ? score : 0;
        student.score = student.hasScore ? QString::number(score) : QString();
        data.students.append(student);
    }
    return data;
}

void BM_ItemAnalysis(benchmark::State &state)
{
    const ResultsData data = examinedClass(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(analyseItems(data));
}
BENCHMARK(BM_ItemAnalysis)->Args({60, 100})->Args({2000, 200})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
