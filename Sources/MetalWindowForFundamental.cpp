// The life-cycle operations of this job. The job's own steps (what it
// downloads, parses and saves) come with its data classes.
#include "MetalWindow.h"

void CMetalWindow::DoMakeFundamental() {}

void CMetalWindow::StartProgressMakeFundamental() {
    StartProgress(fundamentalSheet);
}

void CMetalWindow::ProgressMakeFundamental() {}

void CMetalWindow::EndProgressMakeFundamental() {
    EndProgress(fundamentalSheet);
}

void CMetalWindow::EndMakeFundamental() {
    EndJob(fundamentalSheet, &CMetalWindow::EndProgressMakeFundamental);
}
