// KD files ("KD%04d.KDT") in tests: the records the simulated service's
// history of a stock must give, a file of given days written by the series
// job's record writer, and records compared and printed by GoogleTest.
#pragma once

#include "KDTPageData.h"

#include <QString>

#include <ostream>
#include <vector>

class CSimMarket;

void PrintTo(const KDT& row, std::ostream* out);

// The file the history job writes from the newest `rows` history rows of the
// stock: the days with trading, oldest first, prices in whole yen as a page
// reader takes them from the text.
std::vector<KDT> ExpectedKDRecords(const CSimMarket& market, int code, int rows);

// Writes days to path as the series job writes its records; false when the
// file could not be written whole.
bool WriteKDFile(const QString& path, const std::vector<KDT>& days);
