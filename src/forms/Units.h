// The window layer on Qt: unit types that create widgets, the live control
// over a widget, and the common events every unit widget raises.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string_view>

#include "runtime/Font.h"
#include "runtime/WindowTable.h"

class QEvent;
class QKeyEvent;

namespace forms {

// A unit type whose units are widgets.
class WidgetUnitType : public rt::UnitType {
public:
    // Creates the unit's control under `parent` (the window's client widget or
    // the containing unit's widget) from the unit record and its stored block,
    // sets unit.unitData to the type's state, and returns the widget (its
    // objectName is the unit's name). Null when the block cannot be read (a
    // malformed block or a version above the type's highest). A type may make
    // the unit's live control itself (unit.live / liveHolder, a WidgetControl);
    // otherwise the loader gives the unit a plain WidgetControl. The loader
    // places the widget at the unit's position and attaches the common events.
    virtual QWidget* create(rt::WindowRecord& window, rt::UnitRecord& unit, QWidget* parent) = 0;

    // A private notice of the loader to a live unit (see `loadnotice` below).
    virtual void notice(rt::WindowRecord& window, rt::UnitRecord& unit, uint32_t code) {
        (void)window; (void)unit; (void)code;
    }
    // Offered an input event (key, mouse button, mouse move, wheel) before it
    // reaches its target, when the target is the unit's widget or lies inside
    // it; units are asked from the target up to the window. True consumes the
    // event and ends the walk.
    virtual bool preTranslate(rt::UnitRecord& unit, QEvent* event) {
        (void)unit; (void)event;
        return false;
    }
};

// The loader's private notices: to every live unit, last to first, once all
// units exist (UnitsCreated) and when the load is complete (LoadFinished);
// to the window's own unit after UnitsCreated (WindowCreated).
namespace loadnotice {
inline constexpr uint32_t UnitsCreated = 0x806F, WindowCreated = 0x8004, LoadFinished = 0x8076;
}

// What a load may ask for: the options word of the loader (notification
// LoadWindow's p2) points at one; 0 is a plain non-modal load without owner. Re-use loads an already loaded window afresh
// (it is closed without asking) instead of activating it; a modal load returns
// once the window has been destroyed; an owner that is given (its WindowId) but
// not loaded makes the load fail.
struct LoadOptions {
    bool reuse = false;
    bool modal = false;
    rt::WindowId owner = 0;
};

// The live control behind a unit: a guarded pointer to its widget. Liveness
// is "the widget still exists". Geometry is in the parent's client coordinates.
class WidgetControl : public rt::LiveControl {
public:
    explicit WidgetControl(QWidget* widget);
    ~WidgetControl() override;
    WidgetControl(const WidgetControl&) = delete;
    WidgetControl& operator=(const WidgetControl&) = delete;
    QWidget* widget() const { return gone_ ? nullptr : widget_.data(); }

    // False from the moment the widget starts to go: its destroyed signal
    // comes before Qt clears the guarded pointer.
    bool isValid() const override { return !gone_ && !widget_.isNull(); }
    rt::Rect geometry() const override;
    void move(int left, int top) override;
    void resize(int width, int height) override;
    bool isVisible() const override;
    void setVisible(bool visible) override;
    bool isEnabled() const override;
    void setEnabled(bool enabled) override;
    void setCursorData(const std::string& data) override;
    void refreshCursor() override;
    void* nativeWindow() override { return widget(); }

protected:
    QPointer<QWidget> widget_;

private:
    bool gone_ = false;
    QMetaObject::Connection watch_;
};

// The widget of a live unit, or null.
QWidget* widgetOf(rt::WindowId window, rt::ControlId control);
// Tells the desktop the smallest client area a user may drag a resizable
// window to, so that a drag stops there; nothing for a window that is not loaded.
void setMinimumClientSize(rt::WindowId window, int width, int height);

// Colours are 0x00BBGGRR; 0xFF000000 (or any value with the top byte set)
// stands for the default and gives an invalid QColor.
QColor colourOf(uint32_t colorRef);
// A font from a 60-byte logical-font record (an empty or malformed record
// gives the default GUI font). The character height is in pixels.
QFont fontOf(std::string_view record);
QFont fontOf(const rt::LogicalFont& font);

// Texts between the runtime (GBK) and Qt.
QString fromGbk(std::string_view gbk);
std::string toGbk(const QString& text);

// Windows virtual-key code of a key event (Delete 46, 'V' 86, ...), and the
// function-key state of the event's modifiers: bit 0 Ctrl, bit 1 Shift, bit 2 Alt.
int32_t virtualKeyOf(const QKeyEvent& event);
// The same for a Qt key code (a digit of the keypad when `keypad`).
int32_t virtualKeyOfQtKey(int key, bool keypad = false);
int32_t keyStateOf(Qt::KeyboardModifiers modifiers);

// Installs on the widget the events common to all units, raised for its unit:
// -1 left button pressed (x, y, key state), -7 / -8 focus got / lost, -10 key
// released (key code, key state; auto-repeated releases are not reported).
// A scroll area's viewport reports for it. Installing twice changes nothing;
// the loader installs them on every unit it creates.
void attachCommonEvents(QWidget* widget, rt::WindowId window, rt::ControlId control);

// Registers the unit types, and installs the loader, the message loop, the
// window-destroyed and end-of-program hooks with the runtime. Needs a
// QApplication. Idempotent.
void installWindowLayer();
// Registers a further widget unit type (the grid registers itself this way).
void registerWidgetUnitType(WidgetUnitType* type);

// Destroys every loaded window (the end-of-program hook); for tests too.
// No window is asked whether it may close. The idle callbacks are dropped.
void destroyAllWindows();

// Routines that run while the message loop is idle, newest first, as long as
// their window exists; a callback whose window is gone is dropped.
using IdleRoutine = void (*)(void* argument);
void addIdleCallback(QWidget* window, IdleRoutine routine, void* argument);
void removeIdleCallback(QWidget* window, IdleRoutine routine, void* argument);

// Decodes the bytes of a picture property into the bitmap a unit draws (a
// null image when the bytes are no picture it knows). Units decode a picture
// once, when it is set. Until a decoder is set pictures draw as nothing.
using PictureDecoder = QImage (*)(std::string_view bytes);
void setPictureDecoder(PictureDecoder decoder);
QImage decodePicture(std::string_view bytes);
// Decodes picture bytes now, on the calling thread (any thread), and keeps
// the result for the next decodePicture of the same bytes, which then only
// compares them. Bytes that arrive from outside are prepared on the thread
// that received them before they are written to a unit, so that the window's
// thread never spends time on them, however hostile they are.
void preparePicture(std::string_view bytes);

}  // namespace forms
