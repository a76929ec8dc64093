#pragma once
// Small picture files made to hang, starve or overrun a reader, written by
// the tests that need them rather than kept in the repository.

#include <QByteArray>
#include <QString>

// A placeable Windows metafile of a few hundred bytes: one polygon of
// `points` points on a canvas of `side` x `side` pixels.
QByteArray PolygonWmf(int points, int side);
// The same as an enhanced metafile (one 16-bit polygon record).
QByteArray PolygonEmf(int points, int side);
// A progressive JPEG of `side` x `side` pixels whose last scan is repeated
// until the file holds `scans` scans; made from a real encoder's file.
QByteArray RepeatedScanJpeg(int side, int scans);
// An icon whose `entries` directory entries all point at one small PNG.
QByteArray ManyEntryIcon(int entries);

// Writes `bytes` to `path`; false when it cannot.
bool WriteBytes(const QString &path, const QByteArray &bytes);
