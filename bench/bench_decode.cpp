// The two decoders of card values: Base64 photo data and quoted-printable text.
// Rates are of the encoded text, in characters (MB/s = million characters a second), and for
// Base64 also of the bytes it gives.

#include "vcard/base64.h"
#include "vcard/quotedprintable.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

namespace {

using namespace pennacle;

QByteArray pictureBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char((i * 7919 + i / 251) & 0xFF);
    }
    return bytes;
}

void setRates(benchmark::State& state, qsizetype characters, qsizetype bytesOut) {
    const auto rate = benchmark::Counter::kIsRate;
    const double runs = double(state.iterations());
    state.counters["MB/s"] = benchmark::Counter(runs * double(characters) / 1e6, rate);
    if (bytesOut > 0) {
        state.counters["out MB/s"] = benchmark::Counter(runs * double(bytesOut) / 1e6, rate);
    }
}

// Photo data as the loader passes it on: one run of Base64, folds already removed (Arg 0),
// or still folded in lines of 76 characters and CR LF (Arg 1).
void BM_DecodeBase64(benchmark::State& state) {
    const QByteArray picture = pictureBytes(state.range(0));
    QString text = QString::fromLatin1(picture.toBase64());
    if (state.range(1)) {
        QString folded;
        for (qsizetype i = 0; i < text.size(); i += 76) {
            folded += text.mid(i, 76) + QStringLiteral("\r\n");
        }
        text = folded;
    }
    for (auto _ : state) {
        const QByteArray bytes = DecodeBase64(text);
        benchmark::DoNotOptimize(bytes.constData());
    }
    setRates(state, text.size(), picture.size());
}
BENCHMARK(BM_DecodeBase64)
    ->ArgNames({"bytes", "folded"})
    ->Args({100 * 1024, 0})
    ->Args({100 * 1024, 1})
    ->Args({10 * 1024 * 1024, 0})
    ->Unit(benchmark::kMicrosecond);

// A note of 64 KB of accented text: every byte escaped (literals 0, as a phone writes it) or
// only the bytes of the accented letters (literals 1); in UTF-8 (charset 0), ISO-8859-1 (1) or
// windows-1252 (2).
void BM_DecodeQuotedPrintable(benchmark::State& state) {
    const bool everyByte = state.range(0) == 0;
    const QString charset = state.range(1) == 1   ? QStringLiteral("ISO-8859-1")
                            : state.range(1) == 2 ? QStringLiteral("windows-1252")
                                                  : QString();
    const QByteArray sentence =
        state.range(1) ? QByteArray(
                             "Gr\xFC\xDF"
                             "e aus K\xF6ln, Stra\xDF"
                             "e 7; ")
                       : QStringLiteral("Gr\u00fc\u00dfe aus K\u00f6ln, Stra\u00dfe 7; ").toUtf8();
    QString value;
    while (value.size() < 64 * 1024) {
        for (const char byte : sentence) {
            const auto b = static_cast<unsigned char>(byte);
            if (everyByte || b >= 0x80 || b == '=') {
                value += QString::asprintf("=%02X", b);
            } else {
                value += QLatin1Char(byte);
            }
        }
        value += QStringLiteral("=0D=0A");
    }
    for (auto _ : state) {
        const QString text = DecodeQuotedPrintable(value, charset);
        benchmark::DoNotOptimize(text.constData());
    }
    setRates(state, value.size(), 0);
}
BENCHMARK(BM_DecodeQuotedPrintable)
    ->ArgNames({"literals", "charset"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
