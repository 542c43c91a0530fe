// Runs the program as a process, as a user's shell would.
#pragma once

#include <QString>
#include <QStringList>

struct ProcessResult {
    int status = -1; // the exit status; -1 when it crashed or did not end
    QString out;
    QString err;
};

// Runs VEZIZO_EXE with arguments; configFolder, when given, is its
// XDG_CONFIG_HOME (where the preferences file lies).
ProcessResult RunVezizo(const QStringList& arguments, const QString& configFolder = QString());
