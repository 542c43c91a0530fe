// The profile job's option sheet: keep each profile page in its own file, fill
// only the records of an existing dictionary, work from stored pages.
#pragma once

#include "OptionDialog.h"
#include "misclib.h"

class CFundamentalDialog : public COptionDialog {
public:
    enum { kKeepFiles = 0, kExistingDictionaryOnly, kOffline };

    explicit CFundamentalDialog(WindowRef parent)
        : COptionDialog(parent, "FundamentalDialog", FourCharCode("fund")) {}
};
