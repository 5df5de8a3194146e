// The screenshot tour: opens the module in the desktop and walks through its
// screens and dialogs as a person would (company, lookups, the filter, the
// loaded lines, one entry, a question and an error), saving each to a PNG
// file. Runs on any platform plugin, offscreen included.
#pragma once

#include "host/desktop/host.h"
#include "host/desktop/steps.h"

#include <QString>

namespace desk {

// Adds the tour's steps to `runner`; the files go to `dir`. `year` is the
// year of the demo entries the filter asks for.
void AddScreenshotTour(StepRunner& runner, DesktopHost& host, const QString& dir, int year);

}  // namespace desk
