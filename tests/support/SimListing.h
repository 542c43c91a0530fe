// What the program makes of the simulated service's listing: the names it
// keeps and the fetch list a listing job writes from it.
#pragma once

#include <QByteArray>
#include <QString>

// A listing name as the listing reader keeps it, in Shift-JIS: without "(株)"
// in front or at the end, cut after the character that reaches 30 bytes.
QByteArray ListedName(const QString& listingName);
// The fetch list a listing job writes for the whole listing: every row in code
// order, the three indices (as 1001, 1002 and 1010, with the unknown market
// "X", as they have no profile page) first, each stock with its market.
QByteArray ListedFetchList();
