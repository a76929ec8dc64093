#pragma once
// A .zip file of a template, unpacked through libzip into a folder: only
// plain files and folders inside that folder, within sizes a template never
// needs to pass. No widgets.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>

// Why an archive cannot be unpacked; the text is shown to the user.
class EArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a template's archive may hold; larger ones are refused before
// anything is unpacked.
inline constexpr std::int64_t MaxArchiveBytes = 256LL << 20;
inline constexpr std::int64_t MaxUnpackedBytes = 512LL << 20;
inline constexpr std::int64_t MaxArchiveEntries = 1000;

// Unpacks `archive` (a zip file's bytes) into `dest`, which must exist.
// Refuses, with EArchiveError and the reason, entries that would land outside
// `dest` (absolute names, "..", backslashes), links, encrypted entries, more
// than MaxArchiveEntries entries or more than MaxUnpackedBytes unpacked.
// What was unpacked before a refusal stays in `dest` for the caller to remove.
void UnpackArchive(const QByteArray &archive, const QString &dest);

// The same for the zip file `path`, refused above MaxArchiveBytes.
void UnpackArchiveFile(const QString &path, const QString &dest);
