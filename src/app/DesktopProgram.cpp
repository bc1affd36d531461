// The desktop program: Qt's Chinese texts, the runtime's window layer and the
// grid are installed on Qt's application object before the application's entry runs.
#include "app/DesktopProgram.h"

#include <QApplication>
#include <QDirIterator>
#include <QIcon>

#include "app/Program.h"
#include "forms/Template.h"
#include "forms/Units.h"
#include "grid/GridUnit.h"
#include "platform/QtHost.h"
#include "platform/Translations.h"
#include "runtime/Host.h"
#include "runtime/Program.h"

namespace app {

namespace {

// The program's icon on its windows and in the task bar: every size of the
// desktop icon, compiled in from packaging/ as the resources under :/icon.
QIcon programIcon() {
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icon"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (sizes.hasNext()) icon.addFile(sizes.next());
    return icon;
}

}  // namespace

void runDesktopProgram(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(programIcon());
    // On Wayland the window is matched to its desktop entry (and so to the
    // icon of the entry) by this name; on X11 by StartupWMClass in the entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(IMPOSTRA_APP_ID));
    // Without the translations installed the program runs all the same, with
    // the platform's buttons and menus in English.
    platform::installChineseTranslations();
    platform::QtHost host;
    rt::setHost(&host);
    forms::installWindowLayer();
    grid::installGridUnit();
    forms::installTemplateReader();

    int exitCode = programMain();
    // The loop ended because no window is left. The update check may still be
    // waiting on the network or for an answer: the program leaves around it,
    // and the objects above are never destroyed under it.
    rt::LeaveProgram(exitCode);
}

}  // namespace app
