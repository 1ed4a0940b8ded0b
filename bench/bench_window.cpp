// The window at work, offscreen: importing a large corpus into the list, picking and typing in
// a contact with a large photo, adding a 5 MB picture and previewing it.
#include "app/form1.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

using namespace pennacle;

namespace {

struct Window {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    SettingsStore settings{dir.filePath("settings.ini")};
    Form1 form{dialogs, settings, dir.path()};
};

QString corpusPath() {
    return qEnvironmentVariable("PENNACLE_BENCH_CORPUS");
}

// With progress 1 the progress display opens at once, so that the import pays for showing it
// and for letting the window repaint a few times a second.
void BM_ImportCorpusIntoWindow(benchmark::State& state) {
    const QString path = corpusPath();
    if (path.isEmpty()) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a make-corpus file");
        return;
    }
    qsizetype rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        if (state.range(0) == 1) {
            window->form.show();
            window->form.setProgressDelay(std::chrono::milliseconds(0));
        }
        state.ResumeTiming();
        window->form.importFiles({path});
        rows = window->form.contacts().count();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["cards"] = double(rows);
    state.counters["cards/s"] =
        benchmark::Counter(double(rows) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportCorpusIntoWindow)
    ->ArgName("progress")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

QByteArray photoCard(qsizetype kilobytes, QByteArrayView name = "N:Big;Photo") {
    QByteArray card = "BEGIN:VCARD\r\nVERSION:2.1\r\n" + name.toByteArray() +
                      "\r\nTEL;CELL:1\r\nPHOTO;TYPE=JPEG;ENCODING=BASE64:\r\n";
    card.reserve(kilobytes * 1024 / 64 * 68 + 256);
    for (qsizetype i = 0; i < kilobytes * 1024 / 64; ++i)
        card += "  " + QByteArray(64, char('A' + i % 26)) + "\r\n";
    return card + "  AA==\r\n\r\nEND:VCARD\r\n";
}

void BM_PickAndTypeWithLargePhoto(benchmark::State& state) {
    Window window;
    const QString file = window.dir.filePath("photo.vcf");
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write("\xef\xbb\xbf" + photoCard(state.range(1)) + "BEGIN:VCARD\r\nN:Small\r\nEND:VCARD");
    out.close();
    window.form.importFiles({file});
    auto* list = window.form.findChild<QTreeView*>("ListView1");
    auto* box = window.form.findChild<QLineEdit*>("txtTextbox_2");
    int round = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            list->setCurrentIndex(window.form.contacts().index(++round % 2, 0));
        } else {
            box->setText(QString::number(++round));
        }
    }
}
BENCHMARK(BM_PickAndTypeWithLargePhoto)
    ->ArgsProduct({{0, 1}, {100, 5120}})
    ->ArgNames({"type", "photo KB"})
    ->Unit(benchmark::kMicrosecond);

// Typing in the company box of a card without a name beside a large photo: the list shows
// the company, so the card's name is looked for past its N line on every key.
void BM_TypeBesideLargePhotoWithoutName(benchmark::State& state) {
    Window window;
    const QString file = window.dir.filePath("photo.vcf");
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write("\xef\xbb\xbf" + photoCard(state.range(0), "ORG:Acme"));
    out.close();
    window.form.importFiles({file});
    auto* box = window.form.findChild<QLineEdit*>("txtTextbox_3");
    int round = 0;
    for (auto _ : state)
        box->setText(QStringLiteral("Acme %1").arg(++round));
    state.SetLabel(window.form.contacts().at(0).Text.toStdString());
}
BENCHMARK(BM_TypeBesideLargePhotoWithoutName)
    ->Arg(100)
    ->Arg(5120)
    ->ArgName("photo KB")
    ->Unit(benchmark::kMicrosecond);

// Picking and typing in a list as large as the corpus: a pick loads another contact spread over
// the list, a keystroke rebuilds the current one, and both reach the list and its search texts.
void BM_PickAndTypeInCorpus(benchmark::State& state) {
    const QString path = corpusPath();
    if (path.isEmpty()) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a make-corpus file");
        return;
    }
    Window window;
    window.form.importFiles({path});
    window.form.show();
    auto* list = window.form.findChild<QTreeView*>("ListView1");
    auto* box = window.form.findChild<QLineEdit*>("txtTextbox_2");
    const int rows = int(window.form.contacts().count());
    int round = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            list->setCurrentIndex(window.form.contacts().index(++round * 7919 % rows, 0));
        } else {
            box->setText(QString::number(++round));
        }
        QApplication::processEvents();
    }
    state.counters["cards"] = rows;
}
BENCHMARK(BM_PickAndTypeInCorpus)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"type"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A 12-megapixel photo of about 5 MB: smooth shades under fine grain, as a camera gives.
QByteArray largeJpeg() {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(random.bounded(48));
            line[x] = qRgb((x / 16 + grain) & 255, (y / 12 + grain) & 255, (x + y) / 28 & 255);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(85);
    writer.write(image);
    return bytes;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile out(dir.filePath(name));
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    return out.fileName();
}

// "Add Picture" with a 5 MB JPEG: reading, checking and encoding it, the card rebuild and
// the preview. The row is deleted again between rounds, untimed.
void BM_AddLargePicture(benchmark::State& state) {
    Window window;
    const QByteArray jpeg = largeJpeg();
    const QString picture = writeFile(window.dir, "large.jpg", jpeg);
    window.form.importFiles(
        {writeFile(window.dir, "one.vcf", "BEGIN:VCARD\r\nN:One\r\nEND:VCARD")});
    for (auto _ : state) {
        window.dialogs.fileAnswers.enqueue(picture);
        window.form.PushButton12_Click();
        state.PauseTiming();
        if (window.form.contacts().at(0).card.size() < jpeg.size())
            state.SkipWithError("the picture did not reach the card");
        window.form.PushButton11_Click();
        state.ResumeTiming();
    }
    state.counters["MB"] = double(jpeg.size()) / 1e6;
}
BENCHMARK(BM_AddLargePicture)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Picking a contact whose card holds a 5 MB photo: loading the card and showing the photo.
void BM_PreviewLargePhoto(benchmark::State& state) {
    Window window;
    const QByteArray jpeg = largeJpeg();
    QString card = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Big;Photo\r\nPHOTO;JPEG;BASE64:\r\n";
    const QByteArray data = jpeg.toBase64();
    for (qsizetype i = 0; i < data.size(); i += 64)
        card += "  " + QString::fromLatin1(data.mid(i, 64)) + "\r\n";
    card += "\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:Small\r\nEND:VCARD";
    window.form.importFiles({writeFile(window.dir, "big.vcf", "\xef\xbb\xbf" + card.toUtf8())});
    auto* list = window.form.findChild<QTreeView*>("ListView1");
    for (auto _ : state) {
        state.PauseTiming();
        list->setCurrentIndex(window.form.contacts().index(1, 0));
        state.ResumeTiming();
        list->setCurrentIndex(window.form.contacts().index(0, 0));
    }
    state.counters["MB"] = double(jpeg.size()) / 1e6;
}
BENCHMARK(BM_PreviewLargePhoto)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// One keystroke in the find bar of the shown window over the whole corpus, painted: from the
// first query to the second. Typing "m" into the empty bar, or Backspace from "mu" to "m",
// scans every contact and shows most of them; "mulle" to "muller" narrows the shown ones;
// the last Backspace shows every contact again.
void BM_FindKeystrokeInWindow(benchmark::State& state) {
    const QString path = corpusPath();
    if (path.isEmpty()) {
        state.SkipWithError("set PENNACLE_BENCH_CORPUS to a make-corpus file");
        return;
    }
    static const std::pair<const char*, const char*> kSteps[] = {
        {"", "m"},   {"m", "mu"}, {"mulle", "muller"}, {"muller", "mulle"}, {"mull", "zzzz"},
        {"mu", "m"}, {"m", ""}};
    const auto& [from, to] = kSteps[state.range(0)];
    Window window;
    window.form.importFiles({path});
    window.form.show();
    window.form.openFindBar();
    auto* text = window.form.findChild<QLineEdit*>("FindText");
    auto* list = window.form.findChild<QTreeView*>("ListView1");
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        text->setText(QString::fromLatin1(from));
        QApplication::processEvents();
        state.ResumeTiming();
        text->setText(QString::fromLatin1(to));
        QApplication::processEvents();
    }
    state.SetLabel(std::string(from) + " -> " + to);
    state.counters["shown"] = double(list->model()->rowCount());
}
BENCHMARK(BM_FindKeystrokeInWindow)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->UseRealTime();

// Clear List and its undo over 100,000 contacts in the shown window, painted; argument 0 times
// Clear List, 1 its undo.
void BM_ClearListAndUndo(benchmark::State& state) {
    Window window;
    const QString path = window.dir.filePath("100k.vcf");
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < 100000; ++i) {
            file.write(
                QStringLiteral("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Name%1;Given\r\n"
                               "TEL;CELL:+49 170 %1\r\nEMAIL:n%1@example.org\r\nEND:VCARD\r\n")
                    .arg(i)
                    .toUtf8());
        }
    }
    window.form.importFiles({path});
    window.form.show();
    QApplication::processEvents();
    const bool timeUndo = state.range(0) == 1;
    for (auto _ : state) {
        if (timeUndo)
            state.PauseTiming();
        window.form.PushButton6_Click();
        QApplication::processEvents();
        if (timeUndo)
            state.ResumeTiming();
        else
            state.PauseTiming();
        window.form.undo();
        QApplication::processEvents();
        if (!timeUndo)
            state.ResumeTiming();
    }
    state.SetLabel(timeUndo ? "undo" : "clear");
    state.counters["contacts"] = double(window.form.contacts().count());
}
BENCHMARK(BM_ClearListAndUndo)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // Offscreen unless a platform is named, e.g. xcb to measure on an X server.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
