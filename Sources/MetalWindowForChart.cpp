// The chart of a stock's KD file, asked for by its code from the menu, from
// the quote list or from the series sheet once the job has written the file.
#include "ChartWindow.h"
#include "EnterCodeDialog.h"
#include "Fetch/MakeKDT.h"
#include "MetalWindow.h"

void CMetalWindow::DoChart() {
    CEnterCodeDialog dialog(mainWindow, CEnterCodeDialog::kCodeOnly);
    dialog.DoModal();
    // A cancelled sheet leaves the code empty.
    int32_t code = 0;
    if (CMakeKDT::CheckCode(dialog.getCodeText(), &code))
        return;
    ShowChart(code);
}

void CMetalWindow::ShowChart(int32_t code) {
    if (!chartWindow)
        chartWindow = new CChartWindow;
    chartWindow->ShowStock(code);
}
