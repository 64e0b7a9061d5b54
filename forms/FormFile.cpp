#include "forms/FormFile.h"

#include "forms/BuiltInForms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFormatVersion = 1;
// No form file comes near this; a larger one is not read at all.
constexpr qint64 kLargestFormFile = 1024 * 1024;
const QString kExtension = QStringLiteral(".json");

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QJsonObject rectToJson(const QRectF &rect) {
    return {{QStringLiteral("x"), rect.x()},
            {QStringLiteral("y"), rect.y()},
            {QStringLiteral("width"), rect.width()},
            {QStringLiteral("height"), rect.height()}};
}

QJsonObject itemToJson(const FormItem &item) {
    QJsonObject json{{QStringLiteral("field"), FieldKey(item.Field)},
                     {QStringLiteral("x"), item.X},
                     {QStringLiteral("y"), item.Y},
                     {QStringLiteral("anchor"), item.RightAnchored ? QStringLiteral("right") : QStringLiteral("left")},
                     {QStringLiteral("fontSize"), item.FontSize}};
    if (item.Stub) {
        json.insert(QStringLiteral("stub"), true);
    }
    if (item.ClipWidth != 0) {
        json.insert(QStringLiteral("clipWidth"), item.ClipWidth);
    }
    if (item.Field == FormField::Words || item.Width != 0) {
        json.insert(QStringLiteral("width"), item.Width);
        json.insert(QStringLiteral("wrap"),
                    item.Rule == WordsRule::Wrap ? QStringLiteral("lines") : QStringLiteral("clip"));
    }
    if (item.Field == FormField::Address || item.Lines != 1) {
        json.insert(QStringLiteral("lines"), item.Lines);
    }
    if (item.Masked) {
        json.insert(QStringLiteral("mask"), true);
    }
    return json;
}

// Reads one object of a form file, keeping the first fault with the path of the value concerned.
class Reader {
public:
    std::optional<FormFault> fault;

    bool failed() const { return fault.has_value(); }
    void fail(const QString &field, QString reason) {
        if (!fault) {
            fault = FormFault{field, std::move(reason)};
        }
    }

    // Every key of the object must be one of `known`.
    void onlyKnownKeys(const QJsonObject &object, const QString &path, std::initializer_list<const char *> known) {
        for (auto it = object.begin(); it != object.end(); ++it) {
            const bool isKnown = std::any_of(known.begin(), known.end(),
                                             [&](const char *key) { return it.key() == QLatin1String(key); });
            if (!isKnown) {
                QStringList names;
                for (const char *key : known) {
                    names << QString::fromLatin1(key);
                }
                fail(join(path, it.key()), QStringLiteral("\"%1\" is not known here. Use only %2.")
                                               .arg(it.key(), names.join(QStringLiteral(", "))));
            }
        }
    }

    double number(const QJsonObject &object, const QString &path, const char *key, std::optional<double> fallback) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && fallback) {
            return *fallback;
        }
        if (!value.isDouble()) {
            fail(join(path, key), value.isUndefined()
                                      ? QStringLiteral("It is missing. Give a number of inches or points.")
                                      : QStringLiteral("It is not a number. Give a number such as 1.25."));
            return 0;
        }
        return value.toDouble();
    }

    bool boolean(const QJsonObject &object, const QString &path, const char *key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            return false;
        }
        if (!value.isBool()) {
            fail(join(path, key), QStringLiteral("It is neither true nor false. Write true or false."));
        }
        return value.toBool();
    }

    // One of `choices`, the first when missing; the index of the choice.
    int choice(const QJsonObject &object, const QString &path, const char *key, const QStringList &choices) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            return 0;
        }
        const qsizetype index = choices.indexOf(value.toString());
        if (!value.isString() || index < 0) {
            fail(join(path, key),
                 QStringLiteral("It must be one of \"%1\".").arg(choices.join(QStringLiteral("\", \""))));
            return 0;
        }
        return static_cast<int>(index);
    }

    QJsonObject object(const QJsonValue &value, const QString &path) {
        if (!value.isObject()) {
            fail(path, QStringLiteral("It is missing or not an object. Write it as { ... }."));
        }
        return value.toObject();
    }

    QJsonArray array(const QJsonValue &value, const QString &path, bool required) {
        if (value.isUndefined() && !required) {
            return {};
        }
        if (!value.isArray()) {
            fail(path, QStringLiteral("It is missing or not a list. Write it as [ ... ]."));
        }
        return value.toArray();
    }

    QRectF rect(const QJsonValue &value, const QString &path) {
        const QJsonObject json = object(value, path);
        onlyKnownKeys(json, path, {"x", "y", "width", "height"});
        return QRectF(number(json, path, "x", {}), number(json, path, "y", {}), number(json, path, "width", {}),
                      number(json, path, "height", {}));
    }

    FormItem item(const QJsonValue &value, const QString &path) {
        FormItem item;
        const QJsonObject json = object(value, path);
        onlyKnownKeys(json, path,
                      {"field", "stub", "x", "y", "anchor", "fontSize", "clipWidth", "width", "wrap", "lines", "mask"});
        const QJsonValue field = json.value(QStringLiteral("field"));
        const std::optional<FormField> known = FieldFromKey(field.toString());
        if (!known) {
            fail(join(path, "field"),
                 QStringLiteral("\"%1\" is not an item a check form knows. Use date, payee, amount, "
                                "words, memo, address, checkNumber or account.")
                     .arg(field.isString() ? field.toString() : QStringLiteral("(none)")));
            return item;
        }
        item.Field = *known;
        item.Stub = boolean(json, path, "stub");
        item.X = number(json, path, "x", {});
        item.Y = number(json, path, "y", {});
        item.RightAnchored = choice(json, path, "anchor", {QStringLiteral("left"), QStringLiteral("right")}) == 1;
        item.FontSize = number(json, path, "fontSize", 10.0);
        item.ClipWidth = number(json, path, "clipWidth", 0.0);
        item.Width = number(json, path, "width", 0.0);
        item.Rule = choice(json, path, "wrap", {QStringLiteral("lines"), QStringLiteral("clip")}) == 1
                        ? WordsRule::Clip
                        : WordsRule::Wrap;
        const double lines = number(json, path, "lines", 1.0);
        if (lines != std::floor(lines) || lines < 1 || lines > kMostAddressLines) {
            fail(join(path, "lines"), QStringLiteral("It must be a whole number from 1 to %1.").arg(kMostAddressLines));
        }
        item.Lines = static_cast<int>(std::clamp(lines, 1.0, double(kMostAddressLines)));
        item.Masked = boolean(json, path, "mask");
        return item;
    }

    static QString join(const QString &path, const QString &key) { return path.isEmpty() ? key : path + u'.' + key; }
    static QString join(const QString &path, const char *key) { return join(path, QString::fromLatin1(key)); }
};

FormFileFault fileFault(const QString &path, const QString &field, const QString &reason) {
    return {path, {field, reason}};
}

// Reads and checks one form file. Opened without following a link and without waiting on a pipe, and
// read only when it is an ordinary file.
std::optional<FormFileFault> readFormFile(const QString &path, CheckForm &form) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP) {
            return fileFault(path, QString(),
                             QStringLiteral("It is a link, not a form file. Put the form file itself in the Forms "
                                            "folder."));
        }
        return fileFault(path, QString(),
                         QStringLiteral("It cannot be read: %1. Check its permissions.")
                             .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fileFault(path, QString(), QStringLiteral("It cannot be read: %1.").arg(file.errorString()));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return fileFault(path, QString(),
                         QStringLiteral("It is not an ordinary file. Replace it with the form saved by "
                                        "Check Forms."));
    }
    if (info.st_size > kLargestFormFile) {
        return fileFault(path, QString(),
                         QStringLiteral("It is larger than any form (%1 bytes). Replace it with the form saved by "
                                        "Check Forms.")
                             .arg(info.st_size));
    }
    FormFault fault;
    if (!FormFromJson(file.read(kLargestFormFile + 1), form, fault)) {
        return FormFileFault{path, fault};
    }
    return std::nullopt;
}

// Creates the Forms folder for its owner alone when missing; refuses a link or a file in its place.
FileResult ensureFolder(const QString &folder) {
    const QFileInfo info(folder);
    if (info.isSymLink()) {
        return FileResult::Fail(QStringLiteral("The forms folder %1 is a link. Replace it with a folder; nothing was "
                                               "saved.")
                                    .arg(native(folder)));
    }
    if (info.exists() && !info.isDir()) {
        return FileResult::Fail(QStringLiteral("The forms folder %1 is a file, not a folder. Move the file away; "
                                               "nothing was saved.")
                                    .arg(native(folder)));
    }
    if (!info.exists() && ::mkdir(QFile::encodeName(folder).constData(), 0700) != 0) {
        return FileResult::Fail(QStringLiteral("The forms folder %1 could not be made: %2.")
                                    .arg(native(folder), QString::fromLocal8Bit(std::strerror(errno))));
    }
    // A folder made by hand is closed to others as well.
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    return FileResult::Ok();
}

FileResult writeFailed(const QString &path, const QString &temporary, int fd) {
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0) {
        ::close(fd);
    }
    ::unlink(QFile::encodeName(temporary).constData());
    return FileResult::Fail(
        QStringLiteral("The check form %1 could not be written: %2. The file is as it was.").arg(native(path), reason));
}

// Writes the bytes whole into a new file beside `path` and renames it over `path`.
FileResult replaceWhole(const QString &path, const QByteArray &bytes) {
    const QString temporary = path + QStringLiteral(".new");
    const QByteArray temporaryName = QFile::encodeName(temporary);
    ::unlink(temporaryName.constData());
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return writeFailed(path, temporary, fd);
    }
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return writeFailed(path, temporary, fd);
        }
        done += written;
    }
    if (::fchmod(fd, 0600) != 0 || ::fsync(fd) != 0 || ::close(fd) != 0) {
        return writeFailed(path, temporary, -1);
    }
    if (::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0) {
        return writeFailed(path, temporary, -1);
    }
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(QFile::encodeName(QFileInfo(path).path()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return FileResult::Ok();
}

} // namespace

QString FormsFolder(const QString &dataFolder) {
    return QDir(dataFolder).filePath(QStringLiteral("Forms"));
}

QString FormFileName(const QString &name) {
    return name + kExtension;
}

QByteArray FormToJson(const CheckForm &form) {
    QJsonArray areas;
    for (const FormArea &area : form.Areas) {
        QJsonArray stubs;
        for (const QRectF &stub : area.Stubs) {
            stubs.append(rectToJson(stub));
        }
        QJsonArray items;
        for (const FormItem &item : area.Items) {
            items.append(itemToJson(item));
        }
        areas.append(QJsonObject{{QStringLiteral("check"), rectToJson(area.Check)},
                                 {QStringLiteral("stubs"), stubs},
                                 {QStringLiteral("outline"), area.Outlined},
                                 {QStringLiteral("items"), items}});
    }
    const QJsonObject json{{QStringLiteral("format"), kFormatVersion},
                           {QStringLiteral("name"), form.Name},
                           {QStringLiteral("page"), QStringLiteral("Letter")},
                           {QStringLiteral("areas"), areas}};
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

bool FormFromJson(const QByteArray &json, CheckForm &form, FormFault &fault) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        fault = {QString(), error.error != QJsonParseError::NoError
                                ? QStringLiteral("It is not a JSON form file (%1 at character %2). Replace it with "
                                                 "a form saved by Check Forms.")
                                      .arg(error.errorString())
                                      .arg(error.offset)
                                : QStringLiteral("It is not a JSON object. A form file is one object { ... }.")};
        return false;
    }
    Reader reader;
    const QJsonObject root = document.object();
    reader.onlyKnownKeys(root, QString(), {"format", "name", "page", "areas"});
    const QJsonValue format = root.value(QStringLiteral("format"));
    if (format != QJsonValue(kFormatVersion)) {
        reader.fail(QStringLiteral("format"),
                    format.isDouble()
                        ? QStringLiteral("Format %1 is not known; this program reads format %2.")
                              .arg(format.toDouble())
                              .arg(kFormatVersion)
                        : QStringLiteral("It is missing or not a number. Write \"format\": %1.").arg(kFormatVersion));
    }
    CheckForm read;
    const QJsonValue name = root.value(QStringLiteral("name"));
    if (!name.isString()) {
        reader.fail(QStringLiteral("name"), QStringLiteral("It is missing or not text. Give the form a name."));
    }
    read.Name = name.toString();
    if (root.value(QStringLiteral("page")) != QJsonValue(QStringLiteral("Letter"))) {
        reader.fail(QStringLiteral("page"), QStringLiteral("Only \"Letter\" (US Letter, 8.5 by 11 in) is known."));
    }
    const QJsonArray areas = reader.array(root.value(QStringLiteral("areas")), QStringLiteral("areas"), true);
    for (qsizetype a = 0; a < areas.size() && !reader.failed(); ++a) {
        const QString path = QStringLiteral("areas[%1]").arg(a);
        const QJsonObject object = reader.object(areas[a], path);
        reader.onlyKnownKeys(object, path, {"check", "stubs", "outline", "items"});
        FormArea area;
        area.Check = reader.rect(object.value(QStringLiteral("check")), path + QStringLiteral(".check"));
        const QJsonArray stubs =
            reader.array(object.value(QStringLiteral("stubs")), path + QStringLiteral(".stubs"), false);
        for (qsizetype s = 0; s < stubs.size(); ++s) {
            area.Stubs.append(reader.rect(stubs[s], path + QStringLiteral(".stubs[%1]").arg(s)));
        }
        area.Outlined = !object.contains(QStringLiteral("outline")) || reader.boolean(object, path, "outline");
        const QJsonArray items =
            reader.array(object.value(QStringLiteral("items")), path + QStringLiteral(".items"), true);
        for (qsizetype i = 0; i < items.size() && !reader.failed(); ++i) {
            area.Items.append(reader.item(items[i], path + QStringLiteral(".items[%1]").arg(i)));
        }
        read.Areas.append(area);
    }
    if (!reader.failed()) {
        reader.fault = FindFormFault(read);
    }
    if (reader.failed()) {
        fault = *reader.fault;
        return false;
    }
    form = read;
    return true;
}

QString FormFileFault::Message() const {
    const QString where = Fault.Field.isEmpty() ? QString() : Fault.Field + QStringLiteral(": ");
    return QStringLiteral("The check form file %1 cannot be used: %2%3 It is left out of the list of forms.")
        .arg(native(Path), where, Fault.Reason);
}

LoadedForms LoadForms(const QString &formsFolder) {
    LoadedForms loaded;
    loaded.Forms = BuiltInForms();
    QSet<QString> names;
    for (const CheckForm &form : std::as_const(loaded.Forms)) {
        names.insert(form.Name.toCaseFolded());
    }
    const QDir folder(formsFolder);
    const QStringList files =
        folder.entryList({QStringLiteral("*") + kExtension}, QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    QHash<QString, QString> fileOfName;
    for (const QString &file : files) {
        const QString path = folder.filePath(file);
        CheckForm form;
        if (std::optional<FormFileFault> fault = readFormFile(path, form)) {
            loaded.Faults.append(*fault);
            continue;
        }
        const QString key = form.Name.toCaseFolded();
        if (BuiltInForm(form.Name)) {
            loaded.Faults.append(
                fileFault(path, QStringLiteral("name"),
                          QStringLiteral("\"%1\" is the name of a built-in form. Rename the form.").arg(form.Name)));
            continue;
        }
        if (names.contains(key)) {
            loaded.Faults.append(fileFault(path, QStringLiteral("name"),
                                           QStringLiteral("The form \"%1\" is already in %2. Rename one of them.")
                                               .arg(form.Name, native(fileOfName.value(key)))));
            continue;
        }
        names.insert(key);
        fileOfName.insert(key, path);
        loaded.Forms.append(form);
    }
    return loaded;
}

FileResult SaveForm(const QString &formsFolder, const CheckForm &form) {
    const QString path = QDir(formsFolder).filePath(FormFileName(form.Name));
    if (BuiltInForm(form.Name)) {
        return FileResult::Fail(QStringLiteral("\"%1\" is the name of a built-in form, which cannot be changed. Copy "
                                               "it and give the copy a name of its own.")
                                    .arg(form.Name));
    }
    if (const std::optional<FormFault> fault = FindFormFault(form)) {
        return FileResult::Fail(
            QStringLiteral("The check form \"%1\" was not saved: %2: %3").arg(form.Name, fault->Field, fault->Reason));
    }
    if (FileResult made = ensureFolder(formsFolder); !made) {
        return made;
    }
    return replaceWhole(path, FormToJson(form));
}

FileResult RemoveForm(const QString &formsFolder, const QString &name) {
    const QString path = QDir(formsFolder).filePath(FormFileName(name));
    if (BuiltInForm(name)) {
        return FileResult::Fail(QStringLiteral("\"%1\" is a built-in form and cannot be deleted.").arg(name));
    }
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        return FileResult::Fail(QStringLiteral("The check form file %1 could not be deleted: %2.")
                                    .arg(native(path), QString::fromLocal8Bit(std::strerror(errno))));
    }
    return FileResult::Ok();
}

QList<CheckForm> FormCatalog::Forms(QList<FormFileFault> *newFaults) {
    LoadedForms loaded = LoadForms(folder_);
    QHash<QString, QDateTime> stillBad;
    for (const FormFileFault &fault : std::as_const(loaded.Faults)) {
        const QDateTime changed = QFileInfo(fault.Path).lastModified();
        stillBad.insert(fault.Path, changed);
        if (newFaults && !(reported_.contains(fault.Path) && reported_.value(fault.Path) == changed)) {
            newFaults->append(fault);
        }
    }
    // A file mended and spoilt again is reported again.
    reported_ = stillBad;
    return loaded.Forms;
}

std::optional<CheckForm> FormCatalog::Find(const QString &name, QList<FormFileFault> *newFaults) {
    for (const CheckForm &form : Forms(newFaults)) {
        if (form.Name.compare(name, Qt::CaseInsensitive) == 0) {
            return form;
        }
    }
    return std::nullopt;
}
