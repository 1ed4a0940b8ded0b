// The writing side: rebuild of a card with a large photo, and saves of a large corpus.
// The corpus path comes from PENNACLE_BENCH_CORPUS, e.g. a file written by
//   shared/bench/make-corpus --cards 100000 --out /tmp/c100k.vcf
// Files are written below PENNACLE_BENCH_OUT (default: a temporary folder).

#include "cards/importer.h"
#include "cards/rebuild.h"
#include "cards/save.h"
#include "core/guard.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

namespace {

using namespace pennacle;

class CountingReporter : public Reporter {
public:
    void showReport(const QString&) override { ++reports; }
    int reports = 0;
};

QString environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

// The corpus is imported once for all save benchmarks.
const std::vector<ContactEntry>* corpus() {
    static std::unique_ptr<std::vector<ContactEntry>> contacts = [] {
        auto list = std::make_unique<std::vector<ContactEntry>>();
        const QString path = environment("PENNACLE_BENCH_CORPUS");
        if (!path.isEmpty() && QFileInfo::exists(path)) {
            CountingReporter reporter;
            importCardFile(path, *list, reporter);
        }
        return list;
    }();
    return contacts->empty() ? nullptr : contacts.get();
}

QString outputFolder() {
    static QTemporaryDir temporary(environment("PENNACLE_BENCH_OUT").isEmpty()
                                       ? QDir::tempPath() + QStringLiteral("/bench-write-XXXXXX")
                                       : environment("PENNACLE_BENCH_OUT") +
                                             QStringLiteral("/bench-write-XXXXXX"));
    return temporary.path();
}

CardForm formWithPhoto(qsizetype photoBytes) {
    CardForm form;
    const char* texts[] = {"Lindqvist",
                           "Åsa",
                           "M",
                           "Nordic Tools AB",
                           "CEO",
                           "asa@x.example",
                           "https://h.example",
                           "https://w.example"};
    for (int i = 0; i < 8; ++i) {
        form.txtTextbox[i] = QString::fromUtf8(texts[i]);
    }
    for (int i = 8; i < 24; ++i) {
        form.txtTextbox[i] = QStringLiteral("value %1; with: separators").arg(i);
    }
    form[Notes] = QStringLiteral("First line\r\nSecond = line\r\n\r\nLast");
    form.Combo1 = QStringList{"asa@x.example", "work@x.example"};
    form.Combo2 = QStringList{"INTERNET", "WORK"};
    form.Check1[0] = true;
    form.dtpBirthday = QDate(1975, 6, 7);
    QByteArray picture(photoBytes, '\0');
    for (qsizetype i = 0; i < photoBytes; ++i) {
        picture[i] = char((i * 7919) & 0xFF);
    }
    form.photos.push_back({QStringLiteral("JPEG 1"), QString::fromLatin1(picture.toBase64()),
                           QStringLiteral("PHOTO;JPEG;BASE64:")});
    return form;
}

void BM_RebuildCardWithPhoto(benchmark::State& state) {
    const CardForm form = formWithPhoto(state.range(0));
    const QDateTime now(QDate(2024, 2, 3), QTime(21, 5, 7));
    CountingReporter reporter;
    qsizetype length = 0;
    for (auto _ : state) {
        const CardBytes card = rebuildCard(form, now, reporter);
        length = card.size();
        benchmark::DoNotOptimize(card.bytes().constData());
    }
    state.counters["card bytes"] = double(length);
    state.SetBytesProcessed(int64_t(state.iterations()) * length * 2);
}
BENCHMARK(BM_RebuildCardWithPhoto)->Arg(0)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond);

void setRates(benchmark::State& state, std::span<const ContactEntry> contacts,
              const QString& path) {
    const auto rate = benchmark::Counter::kIsRate;
    state.counters["cards/s"] =
        benchmark::Counter(double(contacts.size()) * double(state.iterations()), rate);
    state.counters["MB/s"] =
        benchmark::Counter(double(QFileInfo(path).size()) * double(state.iterations()) / 1e6, rate);
}

void BM_SaveOneFile(benchmark::State& state) {
    const std::vector<ContactEntry>* contacts = corpus();
    if (!contacts) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a corpus file made by make-corpus");
        return;
    }
    const auto encoding = state.range(0) ? SaveEncoding::Utf8 : SaveEncoding::Ansi;
    const QString path = outputFolder() + QStringLiteral("/one.vcf");
    CountingReporter reporter;
    for (auto _ : state) {
        SaveContacts(*contacts, {SaveLayout::OneFile, encoding, path, {}}, reporter);
    }
    if (reporter.reports > 0) {
        state.SkipWithError("the save reported failures");
        return;
    }
    setRates(state, *contacts, path);
}
BENCHMARK(BM_SaveOneFile)
    ->ArgName("utf8")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same save with every card converted: 3.0 or 4.0 as the argument says.
void BM_SaveOneFileAsVersion(benchmark::State& state) {
    const std::vector<ContactEntry>* contacts = corpus();
    if (!contacts) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a corpus file made by make-corpus");
        return;
    }
    const CardVersion version = state.range(0) == 3 ? CardVersion::V30 : CardVersion::V40;
    const QString path = outputFolder() + QStringLiteral("/version.vcf");
    CountingReporter reporter;
    for (auto _ : state) {
        SaveContacts(*contacts, {SaveLayout::OneFile, SaveEncoding::Utf8, path, version}, reporter);
    }
    if (reporter.reports > 0) {
        state.SkipWithError("the save reported failures");
        return;
    }
    setRates(state, *contacts, path);
}
BENCHMARK(BM_SaveOneFileAsVersion)
    ->ArgName("vcard")
    ->Arg(3)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The check before an ANSI save: every card is read to its end when nothing would be lost,
// the corpus's case, which is the slowest.
void BM_FindAnsiLoss(benchmark::State& state) {
    const std::vector<ContactEntry>* contacts = corpus();
    if (!contacts) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a corpus file made by make-corpus");
        return;
    }
    qsizetype characters = 0;
    for (const ContactEntry& contact : *contacts) {
        characters += contact.card.size();
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(findAnsiLoss(*contacts).contacts);
    }
    state.counters["cards"] = double(contacts->size());
    state.SetBytesProcessed(int64_t(state.iterations()) * characters * 2);
}
BENCHMARK(BM_FindAnsiLoss)->Unit(benchmark::kMillisecond)->UseRealTime();

// The batch is written under temporary names, synced once and renamed; 1000 files of it.
void BM_SaveEachContact(benchmark::State& state) {
    const std::vector<ContactEntry>* all = corpus();
    if (!all) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a corpus file made by make-corpus");
        return;
    }
    const std::vector<ContactEntry> contacts(
        all->begin(), all->begin() + std::min<qsizetype>(state.range(0), qsizetype(all->size())));
    const QString folder = outputFolder() + QStringLiteral("/each");
    QDir().mkpath(folder);
    CountingReporter reporter;
    for (auto _ : state) {
        SaveContacts(contacts, {SaveLayout::EachContact, SaveEncoding::Utf8, folder}, reporter);
    }
    state.counters["files/s"] = benchmark::Counter(
        double(contacts.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SaveEachContact)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
