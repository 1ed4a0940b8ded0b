// Finding contacts in a large corpus: making the search texts when contacts are added, and
// filtering them on each keystroke of the find bar. The corpus path comes from
// PENNACLE_BENCH_CORPUS, e.g. a file written by
//   shared/bench/make-corpus --cards 100000 --photo-fraction 0 --out /tmp/cards-100k.vcf

#include "cards/importer.h"
#include "cards/searchtext.h"
#include "contacts/contactfilter.h"
#include "core/guard.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>

#include <cstdlib>
#include <memory>
#include <vector>

using namespace pennacle;

namespace {

class CountingReporter : public Reporter {
public:
    void showReport(const QString&) override { ++reports; }
    int reports = 0;
};

// The corpus, imported once for all benchmarks.
ContactList* corpus(benchmark::State& state) {
    static const std::unique_ptr<ContactList> list = [] {
        auto contacts = std::make_unique<ContactList>();
        const char* path = std::getenv("PENNACLE_BENCH_CORPUS");
        if (path && QFileInfo::exists(QString::fromLocal8Bit(path))) {
            CountingReporter reporter;
            std::vector<ContactEntry> rows;
            importCardFile(QString::fromLocal8Bit(path), rows, reporter);
            contacts->append(std::move(rows));
        }
        return contacts;
    }();
    if (list->isEmpty()) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a corpus file made by make-corpus");
        return nullptr;
    }
    return list.get();
}

// What an import of the whole corpus adds for finding: every contact's search text, made on
// all cores as the window's filter does when the rows arrive.
void BM_MakeSearchTexts(benchmark::State& state) {
    ContactList* contacts = corpus(state);
    if (!contacts)
        return;
    size_t bytes = 0;
    for (auto _ : state) {
        const ContactFilter filter(*contacts, contactSearchText);
        state.PauseTiming();
        bytes = 0;
        for (qsizetype row = 0; row < contacts->count(); ++row)
            bytes += size_t(filter.searchTextOf(row).size());
        state.ResumeTiming();
    }
    state.counters["cards"] = double(contacts->count());
    state.counters["text bytes/card"] = double(bytes) / double(contacts->count());
    state.counters["cards/s"] = benchmark::Counter(
        double(contacts->count()) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MakeSearchTexts)->Unit(benchmark::kMillisecond)->UseRealTime();

// One keystroke that the last query does not narrow, so every contact is scanned: the worst
// case, as after a Backspace or a pasted text. Queries from many matches to none.
const char* const kQueries[] = {"m", "mu", "muller", "555", "example.org", "zzzz"};

void BM_FindKeystrokeFullScan(benchmark::State& state) {
    ContactList* contacts = corpus(state);
    if (!contacts)
        return;
    ContactFilter filter(*contacts, contactSearchText);
    const QString query = QString::fromLatin1(kQueries[state.range(0)]);
    for (auto _ : state) {
        state.PauseTiming();
        filter.setQuery(u"\uFFFF");  // matches nothing and is in no query
        state.ResumeTiming();
        filter.setQuery(query);
    }
    state.SetLabel(query.toStdString());
    state.counters["shown"] = double(filter.shownCount());
}
BENCHMARK(BM_FindKeystrokeFullScan)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Typing "muller" letter by letter from an empty bar: each letter narrows the last query.
void BM_FindTypingMuller(benchmark::State& state) {
    ContactList* contacts = corpus(state);
    if (!contacts)
        return;
    ContactFilter filter(*contacts, contactSearchText);
    const QString word = QStringLiteral("muller");
    for (auto _ : state) {
        state.PauseTiming();
        filter.setQuery({});
        state.ResumeTiming();
        for (qsizetype typed = 1; typed <= word.size(); ++typed)
            filter.setQuery(QStringView(word).first(typed));
    }
    state.counters["keystrokes"] = double(word.size());
    state.counters["shown"] = double(filter.shownCount());
}
BENCHMARK(BM_FindTypingMuller)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
