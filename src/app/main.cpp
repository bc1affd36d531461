// impostra: the desktop program. Qt's application object stands in for the
// desktop framework; the runtime's window layer and the grid are installed
// on it before the application's entry runs.
#include <QApplication>

#include "app/Program.h"
#include "forms/Template.h"
#include "forms/Units.h"
#include "grid/GridUnit.h"
#include "platform/QtHost.h"
#include "runtime/Host.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::QtHost host;
    rt::setHost(&host);
    forms::installWindowLayer();
    grid::installGridUnit();
    forms::installTemplateReader();

    int exitCode = app::programMain();
    // The loop ended because no window is left: what is still queued is
    // processed before the program leaves.
    QCoreApplication::processEvents();
    return exitCode;
}
