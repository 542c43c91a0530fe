// KD records in tests: those the simulated service's history of a stock must
// give, compared and printed by GoogleTest.
#pragma once

#include "KDTPageData.h"

#include <ostream>
#include <vector>

class CSimMarket;

void PrintTo(const KDT& row, std::ostream* out);

// The file the history job writes from the newest `rows` history rows of the
// stock: the days with trading, oldest first, prices in whole yen as a page
// reader takes them from the text.
std::vector<KDT> ExpectedKDRecords(const CSimMarket& market, int code, int rows);
