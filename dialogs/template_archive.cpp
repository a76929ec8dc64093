#include "dialogs/template_archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>
#include <sys/stat.h>

namespace {

struct TZipCloser {
    void operator()(zip_t *zip) const { zip_discard(zip); }
};
struct TZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

[[noreturn]] void Refuse(const QString &why)
{
    throw EArchiveError(why.toStdString());
}

// The entry's name as a path inside the destination, or a refusal.
QString SafeName(const char *raw)
{
    const QString name = QString::fromUtf8(raw);
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QChar(0)))
        Refuse(QStringLiteral("The archive holds an entry with a name no template has: \"%1\".").arg(name));
    for (const QString &part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (part == QStringLiteral(".."))
            Refuse(QStringLiteral("The archive holds an entry that points outside its folder: \"%1\".").arg(name));
    return name;
}

bool IsLink(zip_t *zip, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(zip, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16);
}

void UnpackEntry(zip_t *zip, zip_uint64_t index, const zip_stat_t &stat, const QString &target)
{
    const std::unique_ptr<zip_file_t, TZipFileCloser> entry(zip_fopen_index(zip, index, 0));
    if (!entry)
        Refuse(QStringLiteral("The archive's entry \"%1\" cannot be read: %2.")
                   .arg(QString::fromUtf8(stat.name), QString::fromUtf8(zip_strerror(zip))));
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        Refuse(QStringLiteral("\"%1\" cannot be written: %2.").arg(target, out.errorString()));
    char buffer[64 * 1024];
    zip_uint64_t left = stat.size;
    for (;;) {
        const zip_int64_t got = zip_fread(entry.get(), buffer, sizeof buffer);
        if (got < 0)
            Refuse(QStringLiteral("The archive's entry \"%1\" is damaged: %2.")
                       .arg(QString::fromUtf8(stat.name), QString::fromUtf8(zip_file_strerror(entry.get()))));
        if (got == 0)
            break;
        // Never more than the entry said it holds, whatever its data claims.
        if (static_cast<zip_uint64_t>(got) > left)
            Refuse(QStringLiteral("The archive's entry \"%1\" is longer than it says.").arg(QString::fromUtf8(stat.name)));
        left -= static_cast<zip_uint64_t>(got);
        if (out.write(buffer, got) != got)
            Refuse(QStringLiteral("\"%1\" cannot be written: %2.").arg(target, out.errorString()));
    }
    if (!out.flush())
        Refuse(QStringLiteral("\"%1\" cannot be written: %2.").arg(target, out.errorString()));
}

} // namespace

void UnpackArchive(const QByteArray &archive, const QString &dest)
{
    if (archive.size() > MaxArchiveBytes)
        Refuse(QStringLiteral("The archive is larger than a template can be."));
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(archive.constData(), static_cast<zip_uint64_t>(archive.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        Refuse(QStringLiteral("The archive cannot be read."));
    }
    std::unique_ptr<zip_t, TZipCloser> zip(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!zip) {
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        Refuse(QStringLiteral("This is not a zip archive that can be read: %1.").arg(why));
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    if (count < 0 || count > MaxArchiveEntries)
        Refuse(QStringLiteral("The archive holds more files than a template can."));
    // Sizes first, from the archive's directory: nothing is unpacked from an
    // archive that would grow past the limit.
    std::int64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(zip.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)
            || !(stat.valid & ZIP_STAT_SIZE))
            Refuse(QStringLiteral("The archive's directory is damaged."));
        SafeName(stat.name);
        if (stat.size > static_cast<zip_uint64_t>(MaxUnpackedBytes - total))
            Refuse(QStringLiteral("The archive unpacks to more than a template can hold."));
        total += static_cast<std::int64_t>(stat.size);
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            Refuse(QStringLiteral("The archive is locked with a password: \"%1\".").arg(QString::fromUtf8(stat.name)));
        if (IsLink(zip.get(), static_cast<zip_uint64_t>(i)))
            Refuse(QStringLiteral("The archive holds a link, which no template has: \"%1\".").arg(QString::fromUtf8(stat.name)));
    }

    const QString root = QDir(dest).absolutePath() + QLatin1Char('/');
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(zip.get(), static_cast<zip_uint64_t>(i), 0, &stat);
        const QString name = SafeName(stat.name);
        const QString target = QDir::cleanPath(root + name);
        if (!(target + QLatin1Char('/')).startsWith(root))
            Refuse(QStringLiteral("The archive holds an entry that points outside its folder: \"%1\".").arg(name));
        if (name.endsWith(QLatin1Char('/'))) {
            if (!QDir().mkpath(target))
                Refuse(QStringLiteral("The folder \"%1\" cannot be made.").arg(target));
            continue;
        }
        const QString folder = QFileInfo(target).absolutePath();
        if (!QDir().mkpath(folder))
            Refuse(QStringLiteral("The folder \"%1\" cannot be made.").arg(folder));
        if (QFileInfo::exists(target))
            Refuse(QStringLiteral("The archive holds \"%1\" twice.").arg(name));
        UnpackEntry(zip.get(), static_cast<zip_uint64_t>(i), stat, target);
    }
}

void UnpackArchiveFile(const QString &path, const QString &dest)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Refuse(QStringLiteral("\"%1\" cannot be read: %2.").arg(path, file.errorString()));
    if (file.size() > MaxArchiveBytes)
        Refuse(QStringLiteral("\"%1\" is larger than a template can be.").arg(path));
    UnpackArchive(file.readAll(), dest);
}
