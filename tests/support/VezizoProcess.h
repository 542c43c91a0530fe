// Runs the built program as a process and collects what it said.
#pragma once

#include <QString>
#include <QStringList>

struct ProcessResult {
    int status = -1; // -1 when it crashed or did not end in time
    QString out;
    QString err;
};

// Runs vezizo with arguments; configFolder, when given, becomes its
// XDG_CONFIG_HOME (the preferences folder).
ProcessResult RunVezizo(const QStringList& arguments, const QString& configFolder = QString(),
                        int timeoutMs = 60000);
