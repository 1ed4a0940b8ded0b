// Import of a large corpus: the card scan with display names, and the whole file import.
// The corpus path comes from PENNACLE_BENCH_CORPUS, e.g. a file written by
//   shared/bench/make-corpus --cards 100000 --out /tmp/cards-100k.vcf

#include "cards/importer.h"
#include "contacts/contactlist.h"
#include "core/guard.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>

#include <cstdlib>

namespace {

class CountingReporter : public pennacle::Reporter {
public:
    void showReport(const QString&) override { ++reports; }
    int reports = 0;
};

QString corpusPath() {
    const char* path = std::getenv("PENNACLE_BENCH_CORPUS");
    return path ? QString::fromLocal8Bit(path) : QString();
}

bool haveCorpus(benchmark::State& state, const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a corpus file made by make-corpus");
        return false;
    }
    return true;
}

void setRates(benchmark::State& state, double cards, double bytes) {
    const auto rate = benchmark::Counter::kIsRate;
    state.counters["cards/s"] = benchmark::Counter(cards * state.iterations(), rate);
    state.counters["MB/s"] = benchmark::Counter(bytes * state.iterations() / 1e6, rate);
    state.counters["cards"] = cards;
}

void BM_ScanCardsWithNames(benchmark::State& state) {
    const QString path = corpusPath();
    if (!haveCorpus(state, path)) {
        return;
    }
    const pennacle::CardBytes text = pennacle::readCardFile(path);
    CountingReporter reporter;
    size_t cards = 0;
    for (auto _ : state) {
        std::vector<pennacle::ContactEntry> entries = pennacle::scanCards(text, reporter);
        cards = entries.size();
        benchmark::DoNotOptimize(entries.data());
    }
    setRates(state, double(cards), double(QFileInfo(path).size()));
}

void BM_ImportCardFile(benchmark::State& state) {
    const QString path = corpusPath();
    if (!haveCorpus(state, path)) {
        return;
    }
    CountingReporter reporter;
    qsizetype cards = 0;
    for (auto _ : state) {
        std::vector<pennacle::ContactEntry> list;
        cards = pennacle::importCardFile(path, list, reporter);
        benchmark::DoNotOptimize(list.size());
    }
    setRates(state, double(cards), double(QFileInfo(path).size()));
}

// The list model takes 100,000 rows in one batch and gives one back without touching the rest.
void BM_AppendAndRemoveRows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<pennacle::ContactEntry> rows;
        rows.reserve(100000);
        for (int i = 0; i < 100000; ++i)
            rows.push_back({QString::number(i), QStringLiteral("BEGIN:VCARD\r\nEND:VCARD")});
        pennacle::ContactList list;
        state.ResumeTiming();
        list.append(std::move(rows));
        list.remove(50000);
        benchmark::DoNotOptimize(list.count());
    }
}

}  // namespace

BENCHMARK(BM_AppendAndRemoveRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanCardsWithNames)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportCardFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
