// Files of a test's application folder.
#pragma once

#include <QByteArray>
#include <QString>

class QuoteSimProcess;

// Writes bytes into folder/name, replacing it; false when it cannot.
bool WriteAppFile(const QString& folder, const QString& name, const QByteArray& bytes);
// The bytes of folder/name; empty when it cannot be read.
QByteArray ReadAppFile(const QString& folder, const QString& name);
// A servers.conf that sends all three servers to sim.
bool WriteServersConf(const QString& folder, const QuoteSimProcess& sim);
