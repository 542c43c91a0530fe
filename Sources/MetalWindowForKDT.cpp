// The life-cycle operations of this job. The job's own steps (what it
// downloads, parses and saves) come with its data classes.
#include "MetalWindow.h"

void CMetalWindow::DoMakeKDT() {}

void CMetalWindow::StartProgressMakeKDT() {
    StartProgress(kdtSheet);
}

void CMetalWindow::ProgressMakeKDT() {}

void CMetalWindow::EndProgressMakeKDT() {
    EndProgress(kdtSheet);
}

void CMetalWindow::EndMakeKDT() {
    EndJob(kdtSheet, &CMetalWindow::EndProgressMakeKDT);
}
