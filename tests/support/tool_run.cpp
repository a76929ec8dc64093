#include "tests/support/tool_run.h"

#include <QProcess>
#include <QProcessEnvironment>

TToolRun RunTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":no-such-display"));
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    const bool ended = tool.waitForFinished(60000);
    if (!ended) {
        tool.kill();
        tool.waitForFinished(5000);
    }
    TToolRun run;
    if (ended && tool.exitStatus() == QProcess::NormalExit)
        run.ExitCode = tool.exitCode();
    run.Out = tool.readAllStandardOutput();
    run.Err = tool.readAllStandardError();
    return run;
}
