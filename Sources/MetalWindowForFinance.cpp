// The life-cycle operations of this job. The job's own steps (what it
// downloads, parses and saves) come with its data classes.
#include "MetalWindow.h"

void CMetalWindow::DoMakeFinance() {}

void CMetalWindow::StartProgressMakeFinance() {
    StartProgress(financeSheet);
}

void CMetalWindow::ProgressMakeFinance() {}

void CMetalWindow::EndProgressMakeFinance() {
    EndProgress(financeSheet);
}

void CMetalWindow::EndMakeFinance() {
    EndJob(financeSheet, &CMetalWindow::EndProgressMakeFinance);
}
