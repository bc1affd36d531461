// The window widget, its live control (outer frame geometry, client area
// below the menu bar) and the window unit type.
#include "runtime/Events.h"

#include "forms/WindowUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"
#include "runtime/Program.h"

namespace forms {
namespace {

namespace event {
inline constexpr int32_t Created = 0, MayClose = 1, Moved = 3, Resized = 4, CloseRequested = 12;
}

namespace border {
inline constexpr int32_t None = 0, FixedSingle = 1, Resizable = 2, FixedDialog = 3, ToolWindow = 4;
}

}  // namespace

// ---- The widget ----------------------------------------------------------------

WindowWidget::WindowWidget(rt::WindowId window)
    : QWidget(nullptr), window_(window), client_(new QWidget(this)), menuBar_(new QMenuBar(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    client_->setObjectName(QStringLiteral("client"));
    menuBar_->hide();
}

WindowWidget::~WindowWidget() { destroying_ = true; }

int WindowWidget::menuHeight() const {
    if (menuBar_->isHidden()) return 0;
    int height = menuBar_->heightForWidth(width());
    return height > 0 ? height : menuBar_->sizeHint().height();
}

QMargins WindowWidget::frameMargins() const {
    QWindow* handle = windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

QRect WindowWidget::outerGeometry() const { return geometry().marginsAdded(frameMargins()); }

// Top-level geometry is set as the client rectangle, which means the same
// whether or not the window has been shown.
void WindowWidget::moveOuter(int left, int top) {
    QMargins m = frameMargins();
    setGeometry(QRect(QPoint(left + m.left(), top + m.top()), size()));
}

void WindowWidget::resizeOuter(int width, int height) {
    QMargins m = frameMargins();
    QSize inner(std::max(width - m.left() - m.right(), 0), std::max(height - m.top() - m.bottom(), 0));
    if (!resizable_) setFixedSize(inner);
    resize(inner);
    layoutChildren();
}

QSize WindowWidget::clientSize() const { return QSize(width(), std::max(height() - menuHeight(), 0)); }

void WindowWidget::layoutChildren() {
    int menu = menuHeight();
    if (!menuBar_->isHidden()) menuBar_->setGeometry(0, 0, width(), menu);
    client_->setGeometry(0, menu, width(), std::max(height() - menu, 0));
}

void WindowWidget::setUserResizable(bool resizable) {
    resizable_ = resizable;
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

void WindowWidget::setMinimumClientSize(QSize client) {
    if (!resizable_) return;
    setMinimumSize(client.isEmpty() ? QSize(0, 0) : client + QSize(0, menuHeight()));
}

void WindowWidget::armEvents() {
    armed_ = true;
    reportedPosition_ = pos();
    reportedSize_ = size();
}

void WindowWidget::raiseMoved() {
    reportedPosition_ = pos();
    rt::raiseEvent(window_, 0, event::Moved);
}

void WindowWidget::raiseResized() {
    reportedSize_ = size();
    rt::raiseEvent(window_, 0, event::Resized);
}

// Qt delivers the size and position a hidden window was given when it is
// shown; a change already reported is not reported again.
void WindowWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutChildren();
    if (armed_ && !runtimeClosing && size() != reportedSize_) raiseResized();
}

void WindowWidget::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (armed_ && !runtimeClosing && pos() != reportedPosition_) raiseMoved();
}

// Event 12 and then event 1 may each refuse the close by answering false,
// unless the runtime itself closes the window or the program is ending.
void WindowWidget::closeEvent(QCloseEvent* e) {
    if (runtimeClosing || rt::programEnding()) {
        e->accept();
        return;
    }
    QPointer<WindowWidget> self(this);
    for (int32_t question : {event::CloseRequested, event::MayClose}) {
        if (rt::raiseEvent(window_, 0, question).vetoed() || !self) {
            e->ignore();
            return;
        }
    }
    e->accept();
}

// While a window is destroyed its children go after it has stopped being a
// WindowWidget, so the cast fails for them as well.
bool inLiveWindow(const QWidget* widget) {
    auto* window = widget ? qobject_cast<const WindowWidget*>(widget->window()) : nullptr;
    return window && !window->destroying();
}

WindowState* windowStateOf(const rt::WindowRecord& window) {
    return static_cast<WindowState*>(window.windowData.get());
}

WindowWidget* windowWidgetOf(const rt::WindowRecord& window) {
    WindowState* state = windowStateOf(window);
    return state ? state->widget.data() : nullptr;
}

// ---- The live control ---------------------------------------------------------------

namespace {

class WindowControl final : public WidgetControl {
public:
    using WidgetControl::WidgetControl;

    rt::Rect geometry() const override {
        WindowWidget* w = window();
        if (!w) return {};
        QRect g = w->outerGeometry();
        return {g.x(), g.y(), g.width(), g.height()};
    }
    void move(int left, int top) override {
        if (WindowWidget* w = window()) w->moveOuter(left, top);
    }
    void resize(int width, int height) override {
        if (WindowWidget* w = window()) w->resizeOuter(width, height);
    }
    rt::Rect clientRect() const override {
        WindowWidget* w = window();
        if (!w) return {};
        QSize client = w->clientSize();
        return {0, 0, client.width(), client.height()};
    }

private:
    WindowWidget* window() const { return qobject_cast<WindowWidget*>(widget()); }
};

// ---- The unit type --------------------------------------------------------------------

Qt::WindowFlags windowFlagsOf(const StoredProperties& s) {
    using namespace windowprop;
    int32_t style = s.integer(BorderStyle);
    if (style == border::None) return Qt::Window | Qt::FramelessWindowHint;
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style == border::ToolWindow) flags |= Qt::Tool;
    if (s.integer(ControlBox) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (s.integer(MinimiseBox) != 0) flags |= Qt::WindowMinimizeButtonHint;
        if (s.integer(MaximiseBox) != 0) flags |= Qt::WindowMaximizeButtonHint;
    }
    return flags;
}

class WindowUnitType final : public BasicUnitType {
public:
    WindowUnitType() : BasicUnitType(unittype::Window) {}

protected:
    QWidget* build(rt::WindowRecord& window, rt::UnitRecord& unit, UnitState& state, QWidget* parent) override {
        using namespace windowprop;
        const StoredProperties& s = state.stored;
        auto* w = new WindowWidget(window.id);
        if (parent) w->setParent(parent);
        w->setObjectName(unit.name.empty() ? QStringLiteral("窗口") : fromGbk(unit.name));
        w->setWindowFlags(windowFlagsOf(s));
        w->winId();  // the native window exists from here on, and with it the frame
        w->setUserResizable(s.integer(BorderStyle) == border::Resizable);
        for (uint32_t own : {Caption, BackColour, Icon}) configure(state, w, own);
        w->resizeOuter(unit.width, unit.height);
        QPoint at(unit.left, unit.top);
        if (s.integer(Position) == 1) {
            if (QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect area = screen->availableGeometry();
                at = QPoint(area.x() + (area.width() - unit.width) / 2, area.y() + (area.height() - unit.height) / 2);
            }
        }
        w->moveOuter(at.x(), at.y());
        return w;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own) override {
        configure(state, static_cast<WindowWidget*>(widget), own);
        return 0;
    }

    std::shared_ptr<WidgetControl> makeControl(QWidget* widget) const override {
        return std::make_shared<WindowControl>(widget);
    }

private:
    static void configure(UnitState& state, WindowWidget* w, uint32_t own) {
        using namespace windowprop;
        const StoredProperties& s = state.stored;
        switch (own) {
            case Caption: w->setWindowTitle(textValue(s, own)); break;
            case BackColour: {
                QColor colour = colourValue(s, own);
                setSurfaceColour(w->client(), QPalette::Window, colour);
                w->client()->setAutoFillBackground(colour.isValid());
                break;
            }
            case Icon: {
                // Without an icon of its own a window shows the program's.
                QImage image = decodePicture(s.bytes(own));
                w->setWindowIcon(image.isNull() ? QApplication::windowIcon() : QIcon(QPixmap::fromImage(image)));
                break;
            }
            case BorderStyle:
            case ControlBox:
            case MaximiseBox:
            case MinimiseBox: {
                // Changing the flags hides a shown window; it is shown again as it was.
                bool shown = w->isVisible();
                QRect outer = w->outerGeometry();
                w->setWindowFlags(windowFlagsOf(s));
                w->setUserResizable(s.integer(BorderStyle) == border::Resizable);
                w->resizeOuter(outer.width(), outer.height());
                w->moveOuter(outer.x(), outer.y());
                if (shown) w->show();
                break;
            }
            case StartState:
                if (w->isVisible()) {
                    switch (s.integer(own)) {
                        case 1: w->showMinimized(); break;
                        case 2: w->showMaximized(); break;
                        default: w->showNormal(); break;
                    }
                }
                break;
            default: break;
        }
    }
};

}  // namespace

WidgetUnitType& windowUnitType() {
    static WindowUnitType type;
    return type;
}

void setMinimumClientSize(rt::WindowId window, int width, int height) {
    if (auto* w = qobject_cast<WindowWidget*>(widgetOf(window, 0))) w->setMinimumClientSize(QSize(width, height));
}

}  // namespace forms
