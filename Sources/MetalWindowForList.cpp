// The life-cycle operations of this job. The job's own steps (what it
// downloads, parses and saves) come with its data classes.
#include "MetalWindow.h"

void CMetalWindow::DoMakeList() {}

void CMetalWindow::StartProgressMakeList() {
    StartProgress(listSheet);
}

void CMetalWindow::ProgressMakeList() {}

void CMetalWindow::EndProgressMakeList() {
    EndProgress(listSheet);
}

void CMetalWindow::EndMakeList() {
    EndJob(listSheet, &CMetalWindow::EndProgressMakeList);
}
