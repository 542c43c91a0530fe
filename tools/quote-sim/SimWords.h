// Word lists and the small text generators of the synthetic market: company
// names, profile feature and business texts.
#pragma once

#include "SimRandom.h"

#include <QString>
#include <QStringList>

// The 33 industry names, number 1 first.
const QStringList& simIndustryNames();
// A company name of 2 to 20 characters that fits the industry (1..33).
QString makeCompanyName(CSimRandom& random, int category);
// The feature text of a profile; now and then longer than 254 Shift-JIS bytes.
QString makeFeatureText(CSimRandom& random, int category);
// The business text of a profile: segments with their shares in percent.
QString makeBusinessText(CSimRandom& random, int category);
