// The form's JSON form lives in the command-line program, so its source is compiled in here.
#include "cli/formjson.cpp"

#include <QTest>

using namespace pennacle;
using pennacle::cli::checkPhotoTypes;
using pennacle::cli::formFromJson;
using pennacle::cli::formToJson;

class TestFormJson : public QObject {
    Q_OBJECT
private slots:
    void roundTrip();
    void missingKeysMeanEmpty_data();
    void missingKeysMeanEmpty();
    void rejectsBadForms_data();
    void rejectsBadForms();
    void photoTypes_data();
    void photoTypes();
};

void TestFormJson::roundTrip() {
    CardForm form;
    for (int i = 0; i < kFieldCount; ++i) {
        form.txtTextbox[size_t(i)] = QStringLiteral("t%1").arg(i);
    }
    form[LastName] = QStringLiteral("M\u00fcller \"quoted\" back\\slash\ttab");
    form[FirstName] = QStringLiteral("\uFEFFJ\u00f6rg\uFEFF");
    form[Notes] = QStringLiteral("l1\r\nl2\u0001 \U0001F600 ") + QChar(0xD800);
    form.Check1 = {true, false, true, false, false, true};
    form.Combo1 = QStringList{"a@b.example", "c@d.example"};
    form.Combo2 = QStringList{"INTERNET", "WORK"};
    form.Combo1Index = 1;
    form.dtpBirthday = QDate(1975, 12, 31);
    form.photos = {PhotoEntry{"Photo1", "/9j/4AAQ", "PHOTO;TYPE=JPEG;ENCODING=BASE64"},
                   PhotoEntry{"Photo 2", "", "PHOTO"}};
    form.photoIndex = 2;

    const QByteArray json = formToJson(form);
    QVERIFY(!json.contains('\r'));
    // UTF-8 for every character that has it, escapes for the rest.
    QVERIFY(json.contains("\"l1\\r\\nl2\\u0001 \xF0\x9F\x98\x80 \\ud800\""));
    QVERIFY(json.contains("\"M\xC3\xBCller \\\"quoted\\\" back\\\\slash\\ttab\""));
    QVERIFY(json.contains("\"\\ufeffJ\xC3\xB6rg\\ufeff\""));
    QVERIFY(json.endsWith("}\n"));
    QCOMPARE(formFromJson(json), form);
    QCOMPARE(formFromJson(formToJson(CardForm())), CardForm());
}

void TestFormJson::missingKeysMeanEmpty_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("combo1Index");
    QTest::addColumn<int>("photoIndex");
    QTest::addColumn<int>("combo2Size");
    QTest::newRow("empty object") << QByteArray("{}") << -1 << 0 << 0;
    QTest::newRow("addresses without index or types")
        << QByteArray(R"({"Combo1": ["a@b.example", "c@d.example"]})") << 0 << 0 << 2;
    QTest::newRow("photos without index")
        << QByteArray(R"({"photos": [{"PhotoData": "AAAA"}]})") << -1 << 1 << 0;
}

void TestFormJson::missingKeysMeanEmpty() {
    QFETCH(QByteArray, json);
    QFETCH(int, combo1Index);
    QFETCH(int, photoIndex);
    QFETCH(int, combo2Size);
    const CardForm form = formFromJson(json);
    QCOMPARE(form.Combo1Index, combo1Index);
    QCOMPARE(form.photoIndex, photoIndex);
    QCOMPARE(form.Combo2.size(), combo2Size);
    QCOMPARE(form.txtTextbox, CardForm().txtTextbox);
    QCOMPARE(form.Check1, CardForm().Check1);
    QCOMPARE(form.dtpBirthday, noBirthday());
    for (const PhotoEntry& photo : form.photos)
        QCOMPARE(photo.PhotoType, QStringLiteral("PHOTO;JPEG;BASE64:"));
}

void TestFormJson::rejectsBadForms_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("not JSON") << QByteArray("{");
    QTest::newRow("not an object") << QByteArray("[]");
    QTest::newRow("unknown key") << QByteArray(R"({"txtTextBox": []})");
    QTest::newRow("26 texts") << QByteArray(R"({"txtTextbox": [)") +
                                     QByteArray(R"("",)").repeated(25) + QByteArray(R"(""]})");
    QTest::newRow("text not a string") << QByteArray(R"({"txtTextbox": [1]})");
    QTest::newRow("check not a boolean") << QByteArray(R"({"Check1": [1]})");
    QTest::newRow("more types than addresses") << QByteArray(R"({"Combo2": ["WORK"]})");
    QTest::newRow("index past the addresses")
        << QByteArray(R"({"Combo1": ["a@b.example"], "Combo1Index": 1})");
    QTest::newRow("fractional index")
        << QByteArray(R"({"Combo1": ["a@b.example"], "Combo1Index": 0.5})");
    QTest::newRow("index past any integer")
        << QByteArray(R"({"photos": [{}], "photoIndex": 14444444444444444444})");
    QTest::newRow("index past any number")
        << QByteArray(R"({"Combo1": ["a@b.example"], "Combo1Index": -1e999})");
    QTest::newRow("bad date") << QByteArray(R"({"dtpBirthday": "1980-02-30"})");
    QTest::newRow("date not ISO") << QByteArray(R"({"dtpBirthday": "19800229"})");
    QTest::newRow("signed year") << QByteArray(R"({"dtpBirthday": "-0554-04-12"})");
    QTest::newRow("year zero") << QByteArray(R"({"dtpBirthday": "0000-04-12"})");
    QTest::newRow("photo index without photos") << QByteArray(R"({"photoIndex": 1})");
    QTest::newRow("unknown photo key") << QByteArray(R"({"photos": [{"Data": "AAAA"}]})");
}

void TestFormJson::rejectsBadForms() {
    QFETCH(QByteArray, json);
    QVERIFY_THROWS_EXCEPTION(Failure, formFromJson(json));
}

void TestFormJson::photoTypes_data() {
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("buildable");
    for (const char* type : {"PHOTO;JPEG;BASE64:", "photo:", "item1.PHOTO;TYPE=PNG:",
                             "X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64:", "PHOTO;VALUE=URI:",
                             "PHOTO;X-LABEL=\\\"a:b\\\":"}) {
        QTest::addRow("%s", type) << QByteArray(type) << true;
    }
    // Each would be written as a line that reads back as no photo, or as another property.
    for (const char* type : {"", "PHOTO", "PHOTO:x:", "N;PHOTO:", "\\tPHOTO:", "PHOTO\\n;X:",
                             "X-NOTHING:", "PHOTO.X:"}) {
        QTest::addRow("\"%s\"", type) << QByteArray(type) << false;
    }
}

// Only a photo row with data is written, so only such a row must have a photo's type.
void TestFormJson::photoTypes() {
    QFETCH(QByteArray, type);
    QFETCH(bool, buildable);
    const QByteArray photo = R"({"photos": [{"PhotoType": ")" + type + R"(", "PhotoData": ")";
    const CardForm withData = formFromJson(photo + R"(QUJD"}]})");
    if (buildable) {
        checkPhotoTypes(withData);
    } else {
        QVERIFY_THROWS_EXCEPTION(Failure, checkPhotoTypes(withData));
    }
    checkPhotoTypes(formFromJson(photo + R"("}]})"));
}

QTEST_GUILESS_MAIN(TestFormJson)
#include "tst_formjson.moc"
