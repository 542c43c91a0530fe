// The listing job's option sheet: keep each profile page in its own file,
// handle only the codes new to the fetch list, work from stored pages.
#pragma once

#include "OptionDialog.h"
#include "misclib.h"

class CFetchListDialog : public COptionDialog {
public:
    enum { kKeepFiles = 0, kOnlyAdded, kOffline };

    explicit CFetchListDialog(WindowRef parent)
        : COptionDialog(parent, "FetchListDialog", FourCharCode("fcls")) {}
};
