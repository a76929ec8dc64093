#pragma once
// A command-line program run as a user runs it, its status and both its
// outputs captured.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TToolRun {
    int ExitCode = -1;  // -1 when it did not start, crashed or ran past a minute
    QByteArray Out;
    QByteArray Err;
};

// Runs `program` (a path, or a name found on PATH) with `arguments` and
// waits for it. It gets no display whatever the caller's environment says:
// the program's tools must need none.
TToolRun RunTool(const QString &program, const QStringList &arguments);
