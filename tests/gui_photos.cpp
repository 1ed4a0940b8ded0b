// "Add Picture", "Replace Picture", "Delete Picture" and pictures dropped on "Photos".
#include "cards/loader.h"
#include "cards/photolines.h"
#include "cards/rebuild.h"
#include "support/cardphotos.h"
#include "support/collectingreporter.h"
#include "support/windowfixture.h"
#include "vcard/base64.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QImageWriter>
#include <QLabel>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

#include <functional>

using namespace pennacle;

namespace {

QByteArray pictureBytes(const char* format, QColor color = Qt::darkCyan) {
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

const QString kCardPicture = QStringLiteral("X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64:");

// A card whose photos are real JPEGs, written as the rebuild writes them.
QString cardWithPhotos(const QStringList& types) {
    std::vector<PhotoEntry> rows;
    for (const QString& type : types) {
        rows.push_back({QString(), QString::fromLatin1(pictureBytes("jpeg").toBase64()), type});
    }
    CollectingReporter reporter;
    return "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Haddad;Noor\r\n" + GetImageFromList(rows, reporter) +
           "\r\nEND:VCARD";
}

struct Window : WindowFixture {
    Window() { open(); }
    QTreeView* photoList() const { return find<QTreeView>("ListView2"); }
    const std::vector<PhotoEntry> photos() const { return loadedPhotos(card()); }
    std::vector<PhotoEntry> loadedPhotos(const QString& text) const {
        CollectingReporter reporter;
        return loadCardForm(text, reporter).photos;
    }
    QStringList rowLabels() const {
        QStringList labels;
        for (int i = 0; i < photoList()->model()->rowCount(); ++i)
            labels << photoList()->model()->index(i, 0).data().toString();
        return labels;
    }
    bool previewShown() const { return !find<QLabel>("Picture1")->pixmap().isNull(); }
    QStringList reports() const { return dialogs.callsOf("warning"); }
};

// JPEG keeps colours only nearly.
bool near(const QColor& a, const QColor& b) {
    return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 &&
           qAbs(a.blue() - b.blue()) < 8;
}

using Command = void (Form1::*)();

}  // namespace

Q_DECLARE_METATYPE(Command)

class TestPhotos : public QObject {
    Q_OBJECT
    QTemporaryDir temp_;  // the temporary folder the window sees

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(temp_.path())); }
    // No command leaves a file in the temporary folder.
    void cleanup() {
        QCOMPARE(QDir(temp_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void addStoresThePicture_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("converted");
        QTest::addColumn<QString>("type");
        const QString jpeg = "PHOTO;JPEG;BASE64:";
        QTest::newRow("JPEG byte for byte")
            << "new.jpg" << pictureBytes("jpeg", Qt::red) << false << jpeg;
        QTest::newRow("bitmap as JPEG") << "x.BMP" << pictureBytes("bmp", Qt::red) << true << jpeg;
        QTest::newRow("PNG as PNG")
            << "new.png" << pictureBytes("png", Qt::red) << false << "PHOTO;PNG;BASE64:";
        QTest::newRow("GIF named .jpg as GIF")
            << "gif.jpg" << yellowGif() << false << "PHOTO;GIF;BASE64:";
    }
    void addStoresThePicture() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, converted);
        QFETCH(QString, type);
        Window w;
        w.import(cardWithPhotos({"PHOTO;JPEG;BASE64:", kCardPicture}));
        w.dialogs.fileAnswers.enqueue(w.writeFile(name, bytes));
        w.form->PushButton12_Click();

        QCOMPARE(w.dialogs.callsOf("open").last(),
                 QString("Select A Picture|Picture files|*.jpg;*.jpeg;*.png;*.gif;*.bmp|"
                         "JPEG files|*.jpg;*.jpeg|PNG files|*.png|GIF files|*.gif|"
                         "Bitmap files|*.bmp"));
        QCOMPARE(w.rowLabels(), QStringList({"JPEG 1", "TYPE=JPEG 2", "Photo3"}));
        const std::vector<PhotoEntry> photos = w.photos();
        QCOMPARE(photos.size(), size_t(3));
        QCOMPARE(photos[2].PhotoType, type);
        const QByteArray stored = DecodeBase64(photos[2].PhotoData);
        if (converted) {
            QVERIFY(stored.startsWith("\xFF\xD8"));
            QVERIFY(near(QImage::fromData(stored).pixelColor(24, 16), Qt::red));
        } else {
            QCOMPARE(stored, bytes);
        }
        // Read back and written again, the card stays as it is.
        CollectingReporter reporter;
        const QDateTime rev(QDate(2026, 12, 7), QTime(9, 30, 0));
        QCOMPARE(rebuildCard(loadCardForm(w.card(), reporter), rev, reporter).text(), w.card());
        // The new row is the selected one and is shown.
        QCOMPARE(w.photoList()->currentIndex().row(), 2);
        QVERIFY(w.previewShown());
        QVERIFY(w.reports().isEmpty());
        for (const QString& data : writtenPhotoData(w.card())) {
            QCOMPARE(data.size() % 4, 0);
        }
    }

    void replaceNamesThePicturesFormat_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("newType");
        const QByteArray png = pictureBytes("png", Qt::yellow);
        QTest::newRow("JPEG, part kept")
            << kCardPicture << pictureBytes("jpeg", Qt::yellow) << "TYPE=JPEG 1" << kCardPicture;
        QTest::newRow("GIF") << "PHOTO;JPEG;BASE64:" << yellowGif() << "GIF 1"
                             << "PHOTO;GIF;BASE64:";
        QTest::newRow("lower-case TYPE value") << "PHOTO;TYPE=jpeg;B:" << png << "TYPE=png 1"
                                               << "PHOTO;TYPE=png;B:";
        QTest::newRow("quoted media type") << "PHOTO;B;TYPE=\"image/jpeg\":" << png << "B 1"
                                           << "PHOTO;B;TYPE=\"image/png\":";
    }
    void replaceNamesThePicturesFormat() {
        QFETCH(QString, type);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, label);
        QFETCH(QString, newType);
        Window w;
        w.import(cardWithPhotos({type}));
        w.dialogs.fileAnswers.enqueue(w.writeFile("other", bytes));
        w.form->PushButton10_Click();

        QCOMPARE(w.rowLabels(), QStringList({label}));
        const std::vector<PhotoEntry> photos = w.photos();
        QCOMPARE(photos.size(), size_t(1));
        QCOMPARE(photos[0].PhotoType, newType);
        QCOMPARE(DecodeBase64(photos[0].PhotoData), bytes);
        QVERIFY(near(w.find<QLabel>("Picture1")->pixmap().toImage().pixelColor(0, 0), Qt::yellow));
        QVERIFY(w.reports().isEmpty());
    }

    void deleteTheOnlyPhoto() {
        Window w;
        w.import(cardWithPhotos({"PHOTO;JPEG;BASE64:"}));
        QVERIFY(w.previewShown());
        w.form->PushButton11_Click();
        QCOMPARE(w.rowLabels(), QStringList());
        QVERIFY(!w.previewShown());
        QVERIFY(!w.card().contains("PHOTO"));
        QVERIFY(w.dialogs.callsOf("open").size() == 1);  // the import's only; nothing asked
        QVERIFY(w.reports().isEmpty());
    }

    void deleteLeavesNoRowSelected() {
        Window w;
        w.import(cardWithPhotos({"PHOTO;JPEG;BASE64:", kCardPicture}));
        w.form->PushButton11_Click();
        QCOMPARE(w.rowLabels(), QStringList({"TYPE=JPEG 2"}));
        QCOMPARE(w.photos().size(), size_t(1));
        QVERIFY(!w.previewShown());
        // A second Delete has no selected row to remove.
        w.form->PushButton11_Click();
        QCOMPARE(w.rowLabels(), QStringList({"TYPE=JPEG 2"}));
    }

    void nothingChanges_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("photos");
        QTest::addColumn<bool>("deselect");
        QTest::addColumn<int>("dialogs");  // file dialogs shown
        QTest::newRow("Add cancelled") << &Form1::PushButton12_Click << 1 << false << 1;
        QTest::newRow("Replace cancelled") << &Form1::PushButton10_Click << 1 << false << 1;
        QTest::newRow("Replace, none selected") << &Form1::PushButton10_Click << 2 << true << 0;
        QTest::newRow("Delete, none selected") << &Form1::PushButton11_Click << 2 << true << 0;
        QTest::newRow("Replace, no photos") << &Form1::PushButton10_Click << 0 << false << 0;
        QTest::newRow("Delete, no photos") << &Form1::PushButton11_Click << 0 << false << 0;
    }
    void nothingChanges() {
        QFETCH(Command, command);
        QFETCH(int, photos);
        QFETCH(bool, deselect);
        QFETCH(int, dialogs);
        Window w;
        w.import(cardWithPhotos(QStringList(photos, "PHOTO;JPEG;BASE64:")));
        if (deselect)
            w.photoList()->selectionModel()->clearSelection();
        const QString card = w.card();
        const QStringList labels = w.rowLabels();
        (w.form.get()->*command)();
        QCOMPARE(w.dialogs.callsOf("open").size(), 1 + dialogs);
        QCOMPARE(w.card(), card);
        QCOMPARE(w.rowLabels(), labels);
        QVERIFY(w.reports().isEmpty());
    }

    void unusablePicturesAreReported_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");  // "<none>": no such file
        QTest::addColumn<QString>("where");
        const QString add = "in Pennacle2021/08/31.Form1.PushButton12_Click at line 102";
        const QString replace = "in Pennacle2021/08/31.Form1.PushButton10_Click at line 104";
        for (const auto& [command, where] :
             {std::pair{&Form1::PushButton12_Click, add}, {&Form1::PushButton10_Click, replace}}) {
            const char* verb = command == &Form1::PushButton12_Click ? "Add" : "Replace";
            QTest::addRow("%s, empty file", verb) << command << "e.jpg" << QByteArray() << where;
            QTest::addRow("%s, empty bitmap", verb) << command << "e.bmp" << QByteArray() << where;
            QTest::addRow("%s, not a picture", verb)
                << command << "n.jpg" << QByteArray("BEGIN:VCARD") << where;
            QTest::addRow("%s, bitmap that is none", verb)
                << command << "n.bmp" << QByteArray("BM....") << where;
            QTest::addRow("%s, missing file", verb)
                << command << "gone.jpg" << QByteArray("<none>") << where;
        }
    }
    void unusablePicturesAreReported() {
        QFETCH(Command, command);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, where);
        Window w;
        w.import(cardWithPhotos({"PHOTO;JPEG;BASE64:"}));
        const QString card = w.card();
        const QString path = w.dir.filePath(name);
        if (bytes != "<none>")
            w.writeFile(name, bytes);
        w.dialogs.fileAnswers.enqueue(path);
        (w.form.get()->*command)();
        QCOMPARE(w.reports().size(), 1);
        QVERIFY2(w.reports().first().contains(where), qPrintable(w.reports().first()));
        QCOMPARE(w.card(), card);
        QCOMPARE(w.rowLabels(), QStringList({"JPEG 1"}));
        QVERIFY(w.previewShown());
    }

    void pictureDroppedOnPhotosPage() {
        Window w;
        w.import(cardWithPhotos({"PHOTO;JPEG;BASE64:"}));
        auto* tabs = w.find<QTabWidget>("TabControl1");
        tabs->setCurrentIndex(2);
        const QByteArray bytes = pictureBytes("jpeg", Qt::green);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(w.writeFile("dropped.jpg", bytes))});
        const QPoint onPhotos = tabs->currentWidget()->mapTo(w.form.get(), QPoint(50, 50));
        QDragEnterEvent enter(onPhotos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(onPhotos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.form.get(), &drop);

        QCOMPARE(w.rowLabels(), QStringList({"JPEG 1", "Photo2"}));
        QCOMPARE(DecodeBase64(w.photos()[1].PhotoData), bytes);
        QCOMPARE(w.form->contacts().count(), 1);  // not taken for a card file
        QVERIFY(w.reports().isEmpty());
    }
};

QTEST_MAIN(TestPhotos)
#include "gui_photos.moc"
