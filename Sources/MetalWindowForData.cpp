// The life-cycle operations of this job. The job's own steps (what it
// downloads, parses and saves) come with its data classes.
#include "MetalWindow.h"

void CMetalWindow::DoFetchData(CFetchData*) {}

void CMetalWindow::StartProgressFetchData() {
    StartProgress(fetchSheet);
}

void CMetalWindow::ProgressFetchData() {}

void CMetalWindow::EndProgressFetchData() {
    EndProgress(fetchSheet);
}

void CMetalWindow::EndFetchData() {
    EndJob(fetchSheet, &CMetalWindow::EndProgressFetchData);
}
