// The window unit: a top-level widget with a menu bar and a client area
// that holds the units, which raises the window's move, size and close events.
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include <vector>

#include "runtime/WindowTable.h"

namespace forms {

class WindowWidget final : public QWidget {
    Q_OBJECT
public:
    explicit WindowWidget(rt::WindowId window);
    ~WindowWidget() override;

    rt::WindowId windowId() const { return window_; }
    // The area below the menu bar; the units' parent.
    QWidget* client() const { return client_; }
    QMenuBar* menuBar() const { return menuBar_; }
    // Height the menu bar takes (0 when it is hidden).
    int menuHeight() const;

    // The outer frame: the window with its title bar and border.
    QMargins frameMargins() const;
    QRect outerGeometry() const;
    void moveOuter(int left, int top);
    void resizeOuter(int width, int height);
    // The client area's size, known before the window is first shown.
    QSize clientSize() const;
    void layoutChildren();

    // Whether users may resize the window; a fixed window is still resized by the program.
    void setUserResizable(bool resizable);
    // The smallest client area a user may drag the window to, told to the
    // window manager; the program may still make it smaller. Empty for none.
    void setMinimumClientSize(QSize client);

    // Set while the runtime itself closes the window: no close question is asked.
    bool runtimeClosing = false;
    // Move and size changes raise events 3 and 4 once the load has reached them.
    void armEvents();
    // Raises event 3 / 4 now, for the position and size as they are.
    void raiseMoved();
    void raiseResized();

    // True once the window has begun to go: its units raise no more events.
    bool destroying() const { return destroying_; }

    // Menu objects of the current menu bar, dropped when it is rebuilt.
    std::vector<QPointer<QObject>> menuObjects;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    rt::WindowId window_;
    QWidget* client_;
    QMenuBar* menuBar_;
    bool resizable_ = true;
    bool armed_ = false;
    bool destroying_ = false;
    QPoint reportedPosition_;
    QSize reportedSize_;
};

// The window layer's state of a loaded window, in WindowRecord::windowData.
struct WindowState {
    QPointer<WindowWidget> widget;
    bool notifyDestroyed = true;  // off for a load that failed half-way
    bool completelyLoaded = false;
};

WindowState* windowStateOf(const rt::WindowRecord& window);
// The live window widget of the record, or null.
WindowWidget* windowWidgetOf(const rt::WindowRecord& window);
// Whether the widget lies in a window that exists and is not going away.
bool inLiveWindow(const QWidget* widget);

}  // namespace forms
