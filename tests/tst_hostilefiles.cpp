// Files a user may open by mistake, or be sent: each is imported and its cards loaded without a
// crash and without a report, in memory bounded by the file's size; a file that cannot be read
// is reported and adds nothing. The big ones are made at test time.

#include "cards/importer.h"
#include "cards/loader.h"
#include "support/clirun.h"
#include "support/collectingreporter.h"
#include "support/ordinaryuser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <functional>
#include <string_view>

using namespace pennacle;

using MakeFile = std::function<void(const QString& path)>;
Q_DECLARE_METATYPE(MakeFile)

namespace {

// Sanitized code runs several times slower and keeps freed memory in quarantine, which its
// resident size shows: there the big files are a tenth of the size and memory is not judged.
#ifdef PENNACLE_SANITIZED
constexpr qint64 kBigFile = qint64(5) << 20;
constexpr qint64 kManyCards = 100'000;
#else
constexpr qint64 kBigFile = qint64(50) << 20;
constexpr qint64 kManyCards = 1'000'000;
#endif
// Cards of short lines, where what each line costs adds up.
constexpr qint64 kCharsetCard = kBigFile * 13 / 100;
constexpr qint64 kShortLines = kBigFile * 9 / 250;
constexpr qint64 kCardsLoaded = 1000;
constexpr qint64 kMemoryAllowance = qint64(64) << 20;
constexpr qint64 kMemoryPerFileByte = 8;

// Writes a file in pieces, so that making a big one holds little of it in memory.
class FileMaker {
public:
    explicit FileMaker(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::WriteOnly))
            qFatal("cannot make %s", qPrintable(path));
        buffer_.reserve(kFlush + 4096);
    }
    ~FileMaker() { flush(); }

    FileMaker& add(QByteArrayView bytes) {
        buffer_.append(bytes);
        if (buffer_.size() >= kFlush)
            flush();
        return *this;
    }
    // The unit again and again until `bytes` more have been written (the last one cut short).
    FileMaker& fill(QByteArrayView unit, qint64 bytes) {
        for (qint64 left = bytes; left > 0; left -= unit.size())
            add(unit.first(std::min<qint64>(unit.size(), left)));
        return *this;
    }

private:
    static constexpr qsizetype kFlush = 1 << 20;
    void flush() {
        if (file_.write(buffer_) != buffer_.size())
            qFatal("cannot write %s", qPrintable(file_.fileName()));
        buffer_.clear();
    }
    QFile file_;
    QByteArray buffer_;
};

// Lines that switch character sets, more of them than have their decoders kept: quoted-printable
// in sets of one byte and of more, raw bytes in a file that is read as ANSI, and sets that no
// decoder knows. The raw bytes are Shift_JIS, Big5, EUC-KR and KOI8-U text.
constexpr char kCharsetLines[] =
    "N;CHARSET=ISO-8859-2;ENCODING=QUOTED-PRINTABLE:=A3=F3d=BC;Pawe=B3\r\n"
    "NOTE;CHARSET=KOI8-R;ENCODING=QUOTED-PRINTABLE:=E9=D7=C1=CE =CF=D7\r\n"
    "N;CHARSET=Shift_JIS:\x8e\x52\x93\x63;\x91\xbe\x98\x59\r\n"
    "NOTE;CHARSET=windows-1251;ENCODING=QUOTED-PRINTABLE:=CF=F0=E8=E2=E5=F2=0D=0A\r\n"
    "ORG;CHARSET=Big5:\xa5\x78\xc6\x57\xa4\xbd\xa5\x71\r\n"
    "N;CHARSET=KOI8-R;ENCODING=QUOTED-PRINTABLE:=E9=D7=C1=CE=CF=D7;=E9=D7=C1=CE\r\n"
    "TITLE;CHARSET=EUC-KR:\xbb\xe7\xc0\xe5\r\n"
    "NOTE;CHARSET=ISO-8859-7;ENCODING=QUOTED-PRINTABLE:=E1=E2=E3\r\n"
    "N;CHARSET=x-no-such-set;ENCODING=QUOTED-PRINTABLE:=C3=A9\r\n"
    "ADR;CHARSET=KOI8-U:;;\xd7\xd5\xcc\xc9\xc3\xd1\r\n"
    "N;CHARSET=x-no-such-set:\xe9\r\n"
    "NOTE;CHARSET=Shift_JIS;ENCODING=QUOTED-PRINTABLE:=93=FA\r\n";

QByteArray utf16le(std::u16string_view text) {
    QByteArray bytes("\xFF\xFE");
    for (const char16_t unit : text) {
        bytes.append(char(unit & 0xFF)).append(char(unit >> 8));
    }
    return bytes;
}

// The process's peak resident memory from a mark on. Linux lets a process reset its
// high-water mark; without that the peak cannot be told and ok() is false.
class PeakMemory {
public:
    PeakMemory() {
#ifdef __GLIBC__
        // Memory freed by earlier rows would otherwise be reused unseen.
        malloc_trim(0);
#endif
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        reset_ = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        base_ = statusBytes("VmRSS:");
    }
    bool ok() const {
        return reset_ && base_ >= 0;
    }
    qint64 growth() const {
        return statusBytes("VmHWM:") - base_;
    }

private:
    static qint64 statusBytes(const char* key) {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith(key))
                return line.mid(qstrlen(key)).trimmed().split(' ').first().toLongLong() * 1024;
        }
        return -1;
    }
    bool reset_ = false;
    qint64 base_ = -1;
};

// Each card as the window loads it when picked: the first ones and the last.
void loadCards(std::span<const ContactEntry> list, Reporter& reporter) {
    const auto count = qint64(list.size());
    for (qint64 row = 0; row < std::min(count, kCardsLoaded); ++row)
        loadCardForm(list[size_t(row)].card, reporter);
    if (count > kCardsLoaded)
        loadCardForm(list[size_t(count - 1)].card, reporter);
}

}  // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void importAndLoad_data();
    void importAndLoad();
};

void TestHostileFiles::importAndLoad_data() {
    QTest::addColumn<MakeFile>("make");
    QTest::addColumn<qint64>("cards");  // -1: any number
    QTest::addColumn<bool>("unreadable");

    QTest::newRow("binary junk with card markers") << MakeFile([](const QString& path) {
        QRandomGenerator random(14);
        FileMaker file(path);
        QByteArray junk(4000, Qt::Uninitialized);
        for (int i = 0; i < 1024; ++i) {
            random.fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
            file.add(junk);
            if (i % 3 == 0)
                file.add("BEGIN:VCARD\r\nN:");
            if (i % 5 == 0)
                file.add("\r\nEND:VCARD\r\n");
        }
    }) << qint64(-1) << false;
    QTest::newRow("0-byte file") << MakeFile([](const QString& path) { FileMaker file(path); })
                                 << qint64(0) << false;
    QTest::newRow("UTF-16 with an odd byte count") << MakeFile([](const QString& path) {
        FileMaker(path).add(utf16le(u"BEGIN:VCARD\r\nN:Odd;Bytes\r\nEND:VCARD\r\n")).add("B");
    }) << qint64(1) << false;
    QTest::newRow("lone surrogates") << MakeFile([](const QString& path) {
        FileMaker(path).add(
            utf16le(u"BEGIN:VCARD\r\nN:A\xD800;B\xDC00\r\nNOTE:\xDFFF x \xD800"
                    u"\r\nEND:VCARD\r\n\xDBFF"));
    }) << qint64(1) << false;
    QTest::newRow("invalid UTF-8") << MakeFile([](const QString& path) {
        FileMaker(path).add(
            "\xEF\xBB\xBF"
            "BEGIN:VCARD\r\nN:\xC0\xAF;\xED\xA0\x80\xFF\r\nNOTE:\xF8\x88\x80\x80\x80 \xE2\x82\r\n"
            "END:VCARD\r\n\xE2\x82");
    }) << qint64(1) << false;
    QTest::newRow("a single line of 50 MB") << MakeFile([](const QString& path) {
        FileMaker(path)
            .add("BEGIN:VCARD\r\nN:Long;Line\r\nNOTE:")
            .fill("lorem ipsum; dolor: sit =0D amet ", kBigFile)
            .add("\r\nEND:VCARD\r\n");
    }) << qint64(1) << false;
    QTest::newRow("1,000,000 tiny cards") << MakeFile([](const QString& path) {
        FileMaker file(path);
        for (qint64 i = 0; i < kManyCards; ++i)
            file.add("BEGIN:VCARD\r\nN:Tiny;" + QByteArray::number(i) + "\r\nEND:VCARD\r\n");
    }) << kManyCards << false;
    QTest::newRow("a card with a 50 MB photo") << MakeFile([](const QString& path) {
        FileMaker(path)
            .add(
                "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Big;Photo\r\nPHOTO;TYPE=JPEG;ENCODING=BASE64:\r\n")
            .fill("  /9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoH\r\n",
                  kBigFile)
            .add("  AA==\r\n\r\nEND:VCARD\r\n");
    }) << qint64(1) << false;
    QTest::newRow("a photo value with no end") << MakeFile([](const QString& path) {
        FileMaker(path)
            .add("BEGIN:VCARD\r\nN:Endless\r\nPHOTO;ENCODING=BASE64:\r\n")
            .fill("  QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2\r\n",
                  kBigFile / 4);
    }) << qint64(0) << false;
    QTest::newRow("BEGIN:VCARD repeated without END:VCARD") << MakeFile([](const QString& path) {
        FileMaker(path).fill("BEGIN:VCARD\r\n", 13 * kManyCards);
    }) << qint64(0) << false;
    QTest::newRow("a card of 6.5 MB whose lines switch character sets")
        << MakeFile([](const QString& path) {
               const QByteArrayView lines(kCharsetLines);
               FileMaker(path)
                   .add("BEGIN:VCARD\r\nVERSION:2.1\r\n")
                   .fill(lines, kCharsetCard / lines.size() * lines.size())
                   .add("END:VCARD\r\n");
           })
        << qint64(1) << false;
    QTest::newRow("9 MB of short lines and no name") << MakeFile([](const QString& path) {
        FileMaker(path)
            .add("BEGIN:VCARD\r\n")
            .fill("X:1\r\n", 5 * kShortLines)
            .add("END:VCARD\r\n");
    }) << qint64(1) << false;
    QTest::newRow("a file that is a folder")
        << MakeFile([](const QString& path) { QVERIFY(QDir().mkdir(path)); }) << qint64(0) << true;
    QTest::newRow("a file without read permission") << MakeFile([](const QString& path) {
        FileMaker(path).add("BEGIN:VCARD\r\nN:Secret\r\nEND:VCARD\r\n");
        QVERIFY(QFile::setPermissions(path, {}));
    }) << qint64(0) << true;
}

void TestHostileFiles::importAndLoad() {
    QFETCH(MakeFile, make);
    QFETCH(qint64, cards);
    QFETCH(bool, unreadable);
    QTemporaryDir dir;
    QVERIFY(openToOthers(dir.path()));
    const QString path = dir.filePath(QStringLiteral("hostile.vcf"));
    make(path);
    const qint64 size = QFileInfo(path).isFile() ? QFileInfo(path).size() : 0;

    std::vector<ContactEntry> list;
    CollectingReporter reporter;
    const PeakMemory peak;
    QString failure;
    {
        const AsOrdinaryUser user;
        if (!user.ok())
            QSKIP("running as root, and the switch to an ordinary user failed");
        try {
            importCardFile(path, list, reporter);
        } catch (const Failure& f) {
            failure = f.description();
        }
    }
    loadCards(list, reporter);
    if (list.empty() && failure.isEmpty())
        loadCardForm(readCardFile(path), reporter);  // the loader sees the whole text, too
    const qint64 growth = peak.growth();

    // Bytes that are no UTF-8 in a file with the UTF-8 mark are reported, once.
    if (QByteArrayView(QTest::currentDataTag()) == "invalid UTF-8")
        QCOMPARE(reporter.reports.size(), 1);
    else
        QCOMPARE(reporter.reports, QStringList());
    QCOMPARE(!failure.isEmpty(), unreadable);
    if (cards >= 0)
        QCOMPARE(qint64(list.size()), cards);
    if (unreadable) {
        // The command line tells it as the window does, and goes on with nothing read.
        const CliRun run = runCli({QStringLiteral("names"), path}, {}, runChildAsOrdinaryUser);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith("pennacle-cli: cannot read " + path.toUtf8()), run.err);
        return;
    }
    if (!peak.ok()) {
        qWarning("the peak memory cannot be measured here");
        return;
    }
    // The figures of the big ones, for the record; small files are lost in the page size.
    if (size >= (qint64(1) << 20)) {
        qInfo("%lld bytes, %lld cards: peak memory %.1f MB, %.1f times the file size", size,
              qint64(list.size()), growth / 1048576.0, double(growth) / size);
    }
#ifndef PENNACLE_SANITIZED
    QVERIFY2(growth <= kMemoryPerFileByte * size + kMemoryAllowance,
             qPrintable(QStringLiteral("%1 MB").arg(growth >> 20)));
#endif
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
