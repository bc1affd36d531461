// Installs the window layer with the runtime: unit types, loader, message
// loop, window-destroyed and end-of-program hooks, the application-wide
// filter for the idle phase and the pre-translate walk, and accessibility.
#include <QApplication>

#include "forms/Accessibility.h"
#include "forms/MessageLoop.h"
#include "forms/PreTranslate.h"
#include "forms/UnitTypes.h"
#include "forms/WindowLoader.h"
#include "forms/pictures/InstallPictures.h"
#include "runtime/EntryTable.h"
#include "runtime/Notify.h"
#include "runtime/Program.h"

namespace forms {
namespace {

class ApplicationFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        noteDeliveredEvent(event);
        return preTranslateEvent(receiver, event);
    }
};

}  // namespace

void registerWidgetUnitType(WidgetUnitType* type) { rt::registerUnitType(type); }

void installWindowLayer() {
    static bool installed = [] {
        for (WidgetUnitType* type : {&windowUnitType(), &editBoxType(), &picBoxType(), &shapeBoxType(), &labelType(),
                                     &buttonType(), &radioBoxType(), &comboBoxType()})
            registerWidgetUnitType(type);
        installUnitAccessibility();
        QCoreApplication* app = QCoreApplication::instance();
        app->installEventFilter(new ApplicationFilter(app));
        // The message loop ends when no loaded window is left, not Qt's.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        return true;
    }();
    (void)installed;
    rt::setWindowLoader(&loadWindow);
    rt::setMessageLoop(&runMessageLoop);
    rt::setWindowDestroyedHook(&onWindowDestroyed);
    rt::setEndHook(&destroyAllWindows);
    pictures::installPictureDecoders();
}

void destroyAllWindows() {
    clearIdleCallbacks();
    for (rt::WindowRecord& window : rt::windowTable()) destroyWindow(window);
}

}  // namespace forms
