// An application folder for a run against quote-sim: the shipped market
// table, a fetch list and a servers.conf that points every server at the
// service; and the market the service plays in the tests.
#pragma once

#include "QuoteSimProcess.h"
#include "SimMarket.h"

#include <QByteArray>
#include <QString>

// The market quote-sim serves when started by QuoteSimProcess (its seed and
// date), to compute what the pages say.
const CSimMarket& TestMarket();

// Writes bytes into the file at path, replacing it; false on failure.
bool WriteTestFile(const QString& path, const QByteArray& bytes);
// "quote=", "history=" and "profile=" lines naming sim's address.
bool WriteServersConf(const QString& folder, const QuoteSimProcess& sim);
// market.csv, fetchlist.csv with fetchList and servers.conf in folder.
bool LayOutAppFolder(const QString& folder, const QuoteSimProcess& sim,
                     const QByteArray& fetchList);
