#include "forms/BuiltInForms.h"
#include "forms/FormFile.h"
#include "platform/testing/KilledChild.h"
#include "platform/testing/TempFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

// A form in a failed comparison shows as its file.
void PrintTo(const CheckForm &form, std::ostream *out) {
    *out << FormToJson(form).toStdString();
}

namespace {

TEST(BuiltInForms, everyOneIsValid_andComesBackWholeFromItsFile) {
    const QList<CheckForm> &forms = BuiltInForms();
    ASSERT_EQ(forms.size(), 5);
    const int checksPerSheet[] = {3, 3, 1, 1, 1};
    for (qsizetype i = 0; i < forms.size(); ++i) {
        const CheckForm &form = forms[i];
        const std::optional<FormFault> fault = FindFormFault(form);
        EXPECT_FALSE(fault) << qPrintable(form.Name) << ": " << qPrintable(fault->Field) << " "
                            << qPrintable(fault->Reason);
        EXPECT_TRUE(form.BuiltIn);
        EXPECT_EQ(form.ChecksPerSheet(), checksPerSheet[i]) << qPrintable(form.Name);
        CheckForm read;
        FormFault readFault;
        ASSERT_TRUE(FormFromJson(FormToJson(form), read, readFault)) << qPrintable(readFault.Reason);
        read.BuiltIn = true;
        EXPECT_EQ(read, form) << qPrintable(form.Name);
        EXPECT_EQ(BuiltInForm(form.Name.toUpper())->Name, form.Name);
    }
    // The voucher stubs carry date, check number, payee, amount, memo and the masked account, twice.
    for (const QString &name : {kFormVoucherTop, kFormVoucherMiddle, kFormVoucherBottom}) {
        QMap<FormField, int> onStubs;
        const CheckForm voucher = *BuiltInForm(name);
        for (const FormItem &item : voucher.Areas[0].Items) {
            if (item.Stub) {
                ++onStubs[item.Field];
                EXPECT_EQ(item.Masked, item.Field == FormField::Account);
            }
        }
        for (FormField field : {FormField::Date, FormField::CheckNumber, FormField::Payee, FormField::Amount,
                                FormField::Memo, FormField::Account}) {
            EXPECT_EQ(onStubs.value(field), 2) << qPrintable(name) << " " << qPrintable(FieldKey(field));
        }
        EXPECT_EQ(voucher.Areas[0].OutlineLines().size(), 6) << "sheet edges and two perforations";
    }
    // The wallet-size outline: the check's bounds, then the line between stub and check.
    const QList<QLineF> wallet = BuiltInForm(kFormWalletSize)->Areas[1].OutlineLines();
    ASSERT_EQ(wallet.size(), 5);
    EXPECT_EQ(wallet[0], QLineF(0, 2.85, 8.5, 2.85));
    EXPECT_EQ(wallet[4], QLineF(2.75, 2.85, 2.75, 5.75));
}

// A small valid form file: one check of 3.5 in with a date and a memo.
QJsonObject goodForm() {
    const QJsonObject check{{QStringLiteral("x"), 0},
                            {QStringLiteral("y"), 0},
                            {QStringLiteral("width"), 8.5},
                            {QStringLiteral("height"), 3.5}};
    const QJsonArray items{
        QJsonObject{{QStringLiteral("field"), QStringLiteral("date")},
                    {QStringLiteral("x"), 7.5},
                    {QStringLiteral("y"), 0.5},
                    {QStringLiteral("anchor"), QStringLiteral("right")}},
        QJsonObject{
            {QStringLiteral("field"), QStringLiteral("memo")}, {QStringLiteral("x"), 0.6}, {QStringLiteral("y"), 2.4}},
    };
    return {{QStringLiteral("format"), 1},
            {QStringLiteral("name"), QStringLiteral("Mine")},
            {QStringLiteral("page"), QStringLiteral("Letter")},
            {QStringLiteral("areas"),
             QJsonArray{QJsonObject{{QStringLiteral("check"), check}, {QStringLiteral("items"), items}}}}};
}

using Edit = std::function<void(QJsonObject &form, QJsonObject &item)>;

// Changes one key of the second item (the memo).
Edit itemKey(const char *key, const QJsonValue &value) {
    return [key, value](QJsonObject &, QJsonObject &item) { item.insert(QLatin1String(key), value); };
}
Edit formKey(const char *key, const QJsonValue &value) {
    return [key, value](QJsonObject &form, QJsonObject &) { form.insert(QLatin1String(key), value); };
}

struct BadFile {
    const char *name;
    QByteArray raw; // the file's bytes, or empty to write goodForm() after `edit`
    Edit edit;
    const char *field; // the field named in the message, "" for the whole file
    const char *reason;
};

TEST(FormFiles, aBadFileIsReportedWithItsFieldAndReason_andLeftOut) {
    const QJsonArray fourChecks{goodForm()[QStringLiteral("areas")][0], goodForm()[QStringLiteral("areas")][0],
                                goodForm()[QStringLiteral("areas")][0], goodForm()[QStringLiteral("areas")][0]};
    const BadFile table[] = {
        {"not JSON", "{\"name\": \"Mine\", ", {}, "", "not a JSON form file"},
        {"a list", "[1, 2]", {}, "", "not a JSON object"},
        {"unknown item",
         {},
         itemKey("field", QStringLiteral("signature")),
         "areas[0].items[1].field",
         "\"signature\" is not an item a check form knows"},
        {"unknown key",
         {},
         itemKey("colour", QStringLiteral("red")),
         "areas[0].items[1].colour",
         "\"colour\" is not known here"},
        {"text for a number", {}, itemKey("x", QStringLiteral("one")), "areas[0].items[1].x", "not a number"},
        {"off the page across",
         {},
         itemKey("x", 8.51),
         "areas[0].items[1].x",
         "8.51 in from the left, off the 8.50 in"},
        {"off the page down", {}, itemKey("y", 10.9), "areas[0].items[1].y", "reach off the 11.00 in tall page"},
        {"in the clear band",
         {},
         itemKey("y", 2.73),
         "areas[0].items[1].y",
         "bottom 5/8 inch of check 1 (from 2.88 in), where the bank reads the MICR line. Move it up to 2.72 in"},
        {"a built-in's name",
         {},
         formKey("name", QStringLiteral("deluxe WALLET-size")),
         "name",
         "\"deluxe WALLET-size\" is the name of a built-in form"},
        {"no name", {}, formKey("name", QStringLiteral("  ")), "name", "The form has no name"},
        {"a slash in the name", {}, formKey("name", QStringLiteral("a/b")), "name", "slash"},
        {"A4", {}, formKey("page", QStringLiteral("A4")), "page", "Only \"Letter\""},
        {"a later format", {}, formKey("format", 2), "format", "Format 2 is not known"},
        {"no format",
         {},
         [](QJsonObject &form, QJsonObject &) { form.remove(QStringLiteral("format")); },
         "format",
         "missing or not a number. Write \"format\": 1."},
        {"four checks", {}, formKey("areas", fourChecks), "areas", "from 1 to 3 checks; this form has 4"},
        {"a masked memo", {}, itemKey("mask", true), "areas[0].items[1].mask", "Only the account number"},
        {"a memo of two lines", {}, itemKey("lines", 2), "areas[0].items[1].lines", "only the payee address"},
        {"half a line", {}, itemKey("lines", 2.5), "areas[0].items[1].lines", "a whole number from 1 to 4"},
        {"a clipped right end",
         {},
         [](QJsonObject &, QJsonObject &item) {
             item.insert(QStringLiteral("anchor"), QStringLiteral("right"));
             item.insert(QStringLiteral("clipWidth"), 1.0);
         },
         "areas[0].items[1].clipWidth",
         "anchored at its right end"},
        {"words without a width",
         {},
         itemKey("field", QStringLiteral("words")),
         "areas[0].items[1].width",
         "needs a width"},
        {"a tiny font", {}, itemKey("fontSize", 4), "areas[0].items[1].fontSize", "outside 6 to 24 points"},
        {"a stub off the page",
         {},
         [](QJsonObject &form, QJsonObject &) {
             QJsonObject area = form[QStringLiteral("areas")][0].toObject();
             area.insert(QStringLiteral("stubs"), QJsonArray{QJsonObject{{QStringLiteral("x"), 0},
                                                                         {QStringLiteral("y"), 3.5},
                                                                         {QStringLiteral("width"), 8.5},
                                                                         {QStringLiteral("height"), 8}}});
             form.insert(QStringLiteral("areas"), QJsonArray{area});
         },
         "areas[0].stubs[0]",
         "stub 1 of check 1"},
    };
    for (const BadFile &row : table) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        QByteArray bytes = row.raw;
        if (bytes.isEmpty()) {
            QJsonObject form = goodForm();
            QJsonObject area = form[QStringLiteral("areas")][0].toObject();
            QJsonArray items = area[QStringLiteral("items")].toArray();
            QJsonObject item = items[1].toObject();
            row.edit(form, item);
            // The edit may have replaced the areas; the memo goes back into whatever is there.
            area = form[QStringLiteral("areas")][0].toObject();
            items = area[QStringLiteral("items")].toArray();
            items[1] = item;
            area.insert(QStringLiteral("items"), items);
            QJsonArray areas = form[QStringLiteral("areas")].toArray();
            areas[0] = area;
            form.insert(QStringLiteral("areas"), areas);
            bytes = QJsonDocument(form).toJson();
        }
        ASSERT_TRUE(folder.write(QStringLiteral("bad.json"), bytes));
        QJsonObject other = goodForm();
        other.insert(QStringLiteral("name"), QStringLiteral("Good one"));
        ASSERT_TRUE(folder.write(QStringLiteral("good.json"), QJsonDocument(other).toJson()));

        const LoadedForms loaded = LoadForms(folder.path());
        ASSERT_EQ(loaded.Faults.size(), 1);
        const FormFileFault &fault = loaded.Faults[0];
        EXPECT_EQ(fault.Fault.Field, QString::fromLatin1(row.field));
        EXPECT_TRUE(fault.Fault.Reason.contains(QString::fromUtf8(row.reason))) << qPrintable(fault.Fault.Reason);
        const QString message = fault.Message();
        EXPECT_TRUE(message.contains(folder.file(QStringLiteral("bad.json")))) << qPrintable(message);
        EXPECT_TRUE(message.contains(fault.Fault.Field + QStringLiteral(": ")) || fault.Fault.Field.isEmpty());
        EXPECT_TRUE(message.endsWith(QStringLiteral("It is left out of the list of forms."))) << qPrintable(message);
        ASSERT_EQ(loaded.Forms.size(), BuiltInForms().size() + 1);
        EXPECT_EQ(loaded.Forms.last().Name, QStringLiteral("Good one"));
    }
}

TEST(FormFiles, theClearBandEndsExactlyFiveEighthsAboveTheChecksBottom) {
    // A 10 pt line is 0.1597 in tall: its top may be at most 2.875 - 0.1597 in.
    const double line = LineHeightInches(10);
    CheckForm form = *BuiltInForm(kFormThreeOnAPage);
    form.Name = QStringLiteral("Mine");
    FormItem &memo = form.Areas[2].Items.last();
    memo.Y = 7.0 + 2.875 - line;
    EXPECT_FALSE(FindFormFault(form));
    memo.Y += 0.001;
    ASSERT_TRUE(FindFormFault(form));
    EXPECT_EQ(FindFormFault(form)->Field, QStringLiteral("areas[2].items[4].y"));
    // Beside the check, on the wallet stub, the band does not apply.
    CheckForm wallet = *BuiltInForm(kFormWalletSize);
    wallet.Name = QStringLiteral("Mine");
    EXPECT_GT(wallet.Areas[0].Items.last().Y + line, wallet.Areas[0].Check.bottom() - kMicrClearBand);
    EXPECT_FALSE(FindFormFault(wallet));
}

TEST(FormFiles, savedThenLoaded_isTheSameFormInAnOwnerOnlyFile) {
    ScopedUmask mask(022);
    TempFolder data;
    const QString forms = FormsFolder(data.path());
    CheckForm mine = *BuiltInForm(kFormVoucherTop);
    mine.Name = QStringLiteral("Voucher of the Ünited Shop, 2027");
    mine.BuiltIn = false;
    mine.Areas[0].Items[0].X = 6.123456789;
    mine.Areas[0].Items[3].Rule = WordsRule::Clip;
    mine.Areas[0].Outlined = false;
    ASSERT_TRUE(SaveForm(forms, mine));
    EXPECT_EQ(data.mode(QStringLiteral("Forms")), 0700);
    const QString file = QStringLiteral("Forms/") + FormFileName(mine.Name);
    EXPECT_EQ(data.mode(file), 0600);
    EXPECT_EQ(data.entries(QStringLiteral("Forms")), QStringList{FormFileName(mine.Name)}) << "no temporary left";

    const LoadedForms loaded = LoadForms(forms);
    EXPECT_TRUE(loaded.Faults.isEmpty());
    ASSERT_EQ(loaded.Forms.size(), BuiltInForms().size() + 1);
    EXPECT_EQ(loaded.Forms.last(), mine);

    // A link planted in the file's place is replaced; what it pointed at is left alone.
    ASSERT_TRUE(data.write(QStringLiteral("elsewhere.txt"), "account numbers"));
    ASSERT_EQ(::unlink(QFile::encodeName(data.file(file)).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(data.file(QStringLiteral("elsewhere.txt"))).constData(),
                        QFile::encodeName(data.file(file)).constData()),
              0);
    ASSERT_EQ(LoadForms(forms).Faults.size(), 1) << "a link is not read as a form";
    EXPECT_TRUE(LoadForms(forms).Faults[0].Fault.Reason.contains(QStringLiteral("is a link")));
    mine.Areas[0].Items[0].X = 6.0;
    ASSERT_TRUE(SaveForm(forms, mine));
    EXPECT_EQ(data.read(QStringLiteral("elsewhere.txt")), QByteArray("account numbers"));
    EXPECT_FALSE(QFileInfo(data.file(file)).isSymLink());
    EXPECT_EQ(LoadForms(forms).Forms.last(), mine);

    // What cannot be saved says why and leaves the file as it was.
    const QByteArray before = data.read(file);
    CheckForm banded = mine;
    banded.Areas[0].Items[5].Y = 3.2;
    const FileResult refused = SaveForm(forms, banded);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.error.contains(QStringLiteral("areas[0].items[5].y: The memo at 3.20 in")))
        << qPrintable(refused.error);
    CheckForm builtIn = mine;
    builtIn.Name = kFormWalletSize;
    EXPECT_TRUE(SaveForm(forms, builtIn).error.contains(QStringLiteral("built-in")));
    EXPECT_EQ(data.read(file), before);

    ASSERT_TRUE(RemoveForm(forms, mine.Name));
    EXPECT_EQ(LoadForms(forms).Forms.size(), BuiltInForms().size());
    EXPECT_FALSE(RemoveForm(forms, mine.Name).ok);
    EXPECT_FALSE(RemoveForm(forms, kFormThreeOnAPage).ok);
}

TEST(FormFiles, aFormsFolderThatIsALinkOrAFile_isNeverWrittenThrough_norAPipeReadFrom) {
    TempFolder data;
    CheckForm mine = *BuiltInForm(kFormThreeOnAPage);
    mine.Name = QStringLiteral("Mine");
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("target")));
    ASSERT_EQ(::symlink(QFile::encodeName(data.file(QStringLiteral("target"))).constData(),
                        QFile::encodeName(FormsFolder(data.path())).constData()),
              0);
    const FileResult linked = SaveForm(FormsFolder(data.path()), mine);
    EXPECT_TRUE(linked.error.contains(QStringLiteral("is a link"))) << qPrintable(linked.error);
    EXPECT_TRUE(data.entries(QStringLiteral("target")).isEmpty());

    TempFolder other;
    ASSERT_TRUE(other.write(QStringLiteral("Forms"), "not a folder"));
    EXPECT_TRUE(SaveForm(FormsFolder(other.path()), mine).error.contains(QStringLiteral("is a file")));

    // A folder made by hand is closed to others on the first save; a pipe in it is reported, not waited on.
    TempFolder byHand;
    ASSERT_TRUE(QDir(byHand.path()).mkdir(QStringLiteral("Forms")));
    ASSERT_TRUE(byHand.setMode(QStringLiteral("Forms"), 0755));
    ASSERT_EQ(::mkfifo(QFile::encodeName(byHand.file(QStringLiteral("Forms/Pipe.json"))).constData(), 0600), 0);
    ASSERT_TRUE(SaveForm(FormsFolder(byHand.path()), mine));
    EXPECT_EQ(byHand.mode(QStringLiteral("Forms")), 0700);
    const LoadedForms loaded = LoadForms(FormsFolder(byHand.path()));
    ASSERT_EQ(loaded.Faults.size(), 1);
    EXPECT_TRUE(loaded.Faults[0].Fault.Reason.contains(QStringLiteral("not an ordinary file")));
    EXPECT_EQ(loaded.Forms.last().Name, mine.Name);
}

TEST(FormFiles, aFullDisk_failsTheSaveNamingTheFile_andKeepsTheOldForm) {
    ScopedTmpfs disk(64 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << qPrintable(disk.reason());
    }
    const QString forms = FormsFolder(disk.path());
    CheckForm mine = *BuiltInForm(kFormWalletSize);
    mine.Name = QStringLiteral("Mine");
    mine.BuiltIn = false;
    ASSERT_TRUE(SaveForm(forms, mine));
    disk.fill(QStringLiteral("filler"));
    CheckForm changed = mine;
    changed.Areas[0].Items[0].X = 7.5;
    const FileResult full = SaveForm(forms, changed);
    ASSERT_FALSE(full);
    EXPECT_TRUE(full.error.contains(QDir(forms).filePath(QStringLiteral("Mine.json")))) << qPrintable(full.error);
    EXPECT_TRUE(full.error.contains(QStringLiteral("The file is as it was")));
    EXPECT_EQ(LoadForms(forms).Forms.last(), mine);
    EXPECT_EQ(QDir(forms).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Mine.json")});
}

TEST(FormFiles, theExampleOfTheFormatsDocumentIsAValidForm) {
    QFile document(QString::fromUtf8(QUILLANE_FORMS_DOC));
    ASSERT_TRUE(document.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(document.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("```json\n"));
    const qsizetype end = text.indexOf(QStringLiteral("```"), start + 7);
    ASSERT_TRUE(start >= 0 && end > start);
    CheckForm form;
    FormFault fault;
    ASSERT_TRUE(FormFromJson(text.mid(start + 8, end - start - 8).toUtf8(), form, fault))
        << qPrintable(fault.Field) << ": " << qPrintable(fault.Reason);
    EXPECT_EQ(form.Areas[0].Items.size(), 8);
}

TEST(FormFiles, killedWhileSaving_leavesTheOldFormOrTheNewOneWhole) {
    TempFolder data;
    const QString forms = FormsFolder(data.path());
    CheckForm form = *BuiltInForm(kFormVoucherTop);
    form.Name = QStringLiteral("Mine");
    form.BuiltIn = false;
    ASSERT_TRUE(SaveForm(forms, form));
    int turn = 0;
    KilledChild child(
        [&] {
            CheckForm next = form;
            next.Areas[0].Items[0].X = ++turn % 2 ? 6.0 : 7.0;
            if (!SaveForm(forms, next)) {
                ::_exit(3);
            }
        },
        20261207);
    child.calibrate(3);
    for (int round = 0; round < 30; ++round) {
        QString why;
        ASSERT_TRUE(child.round(&why)) << qPrintable(why);
        const LoadedForms loaded = LoadForms(forms);
        ASSERT_TRUE(loaded.Faults.isEmpty()) << qPrintable(loaded.Faults[0].Message());
        ASSERT_EQ(loaded.Forms.size(), BuiltInForms().size() + 1);
        const double x = loaded.Forms.last().Areas[0].Items[0].X;
        EXPECT_TRUE(x == 6.0 || x == 7.0 || x == 6.51) << x;
    }
    // The next save clears what a killed one left beside the file.
    ASSERT_TRUE(SaveForm(forms, form));
    EXPECT_EQ(data.entries(QStringLiteral("Forms")), QStringList{QStringLiteral("Mine.json")});
}

TEST(FormCatalog, readsTheFolderWhenAsked_andReportsEachBadFileOnceUntilItChanges) {
    TempFolder data;
    const QString forms = FormsFolder(data.path());
    FormCatalog catalog(forms);
    QList<FormFileFault> faults;
    EXPECT_EQ(catalog.Forms(&faults).size(), BuiltInForms().size());
    EXPECT_TRUE(faults.isEmpty());

    CheckForm mine = *BuiltInForm(kFormThreeOnAPage);
    mine.Name = QStringLiteral("Mine");
    ASSERT_TRUE(SaveForm(forms, mine));
    ASSERT_TRUE(data.write(QStringLiteral("Forms/Broken.json"), "{"));
    QJsonObject twin = goodForm();
    twin.insert(QStringLiteral("name"), QStringLiteral("MINE"));
    ASSERT_TRUE(data.write(QStringLiteral("Forms/Twin.json"), QJsonDocument(twin).toJson()));

    ASSERT_TRUE(catalog.Find(QStringLiteral("mine"), &faults));
    ASSERT_EQ(faults.size(), 2);
    EXPECT_TRUE(faults[0].Path.endsWith(QStringLiteral("Broken.json")));
    EXPECT_TRUE(faults[1].Fault.Reason.contains(QStringLiteral("already in"))) << qPrintable(faults[1].Fault.Reason);
    faults.clear();
    EXPECT_EQ(catalog.Forms(&faults).size(), BuiltInForms().size() + 1);
    EXPECT_TRUE(faults.isEmpty()) << "reported once";

    // Changed and still bad: reported again.
    QFile broken(data.file(QStringLiteral("Forms/Broken.json")));
    ASSERT_TRUE(broken.open(QIODevice::ReadWrite));
    broken.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    broken.close();
    catalog.Forms(&faults);
    ASSERT_EQ(faults.size(), 1);
    EXPECT_TRUE(faults[0].Path.endsWith(QStringLiteral("Broken.json")));
    EXPECT_FALSE(catalog.Find(QStringLiteral("Nobody's form")));
}

} // namespace
