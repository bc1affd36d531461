// Windows for the window-layer tests: records written with the template
// writer and read back with a handler table whose entries record their calls,
// and a fixture that installs the window layer around each test.
#pragma once

#include "forms/Template.h"
#include "runtime/Events.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "forms/UnitBlocks.h"
#include "forms/Units.h"
#include "forms/WindowUnit.h"
#include "runtime/Heap.h"
#include "runtime/Properties.h"
#include "runtime/RuntimeTestSupport.h"
#include "runtime/Text.h"

namespace forms_test {

inline constexpr rt::WindowId kWin = 0x52010001, kOtherWin = 0x52010002;
inline constexpr rt::ControlId kWindowUnit = 0x06010000;

struct HandlerCall {
    int slot;
    std::vector<uint32_t> args;
};

// What the handlers of the table have been called with, what they answer and
// what they do when called.
struct Handlers {
    static constexpr int kCount = 16;
    std::vector<HandlerCall> calls;
    std::array<rt::HandlerResult, kCount> answers{};
    std::array<std::function<void(const HandlerCall&)>, kCount> actions;

    void reset() {
        calls.clear();
        answers.fill({});
        for (auto& a : actions) a = nullptr;
    }
    std::vector<int> slotsCalled() const {
        std::vector<int> called;
        for (const HandlerCall& c : calls) called.push_back(c.slot);
        return called;
    }
};

inline Handlers& handlers() {
    static Handlers h;
    return h;
}

template <int N>
rt::HandlerResult recordingHandler(const uint32_t* words, int32_t count) {
    HandlerCall call{N, std::vector<uint32_t>(words, words + count)};
    handlers().calls.push_back(call);
    if (handlers().actions[N]) handlers().actions[N](call);
    return handlers().answers[N];
}

template <size_t... I>
constexpr std::array<rt::EventHandler, sizeof...(I)> makeEntries(std::index_sequence<I...>) {
    return {&recordingHandler<static_cast<int>(I)>...};
}
inline const std::array<rt::EventHandler, Handlers::kCount> kEntries =
    makeEntries(std::make_index_sequence<Handlers::kCount>());
inline const rt::HandlerTable kHandlerTable{kEntries.data(), Handlers::kCount};

inline std::string gbk(std::string_view utf8) { return platform::utf8ToGbk(utf8); }

// A window being put together; install() puts it into the window table.
class TestWindow {
public:
    explicit TestWindow(rt::WindowId id = kWin, rt::Rect outer = {50, 50, 400, 300}) {
        spec_.id = id;
        windowProperties = forms::defaultProperties(forms::unittype::Window);
        windowProperties.setInteger(forms::windowprop::Position, 0);
        forms::UnitDescription& self = spec_.units.emplace_back();
        self.id = kWindowUnit;
        self.type = forms::unittype::Window;
        self.left = outer.left, self.top = outer.top, self.width = outer.width, self.height = outer.height;
        self.flags = rt::unitflag::Visible;
    }

    forms::UnitDescription& unit(rt::ControlId id, uint32_t type, std::string_view utf8Name, rt::Rect r,
                          const forms::StoredProperties& props, uint32_t flags = rt::unitflag::Visible) {
        forms::UnitDescription& u = spec_.units.emplace_back();
        u.id = id, u.type = type, u.name = gbk(utf8Name);
        u.left = r.left, u.top = r.top, u.width = r.width, u.height = r.height;
        u.flags = flags;
        u.block = forms::encodeUnitBlock(type, props);
        return u;
    }
    forms::UnitDescription& unit(rt::ControlId id, uint32_t type, std::string_view utf8Name, rt::Rect r) {
        return unit(id, type, utf8Name, r, forms::defaultProperties(type));
    }

    forms::UnitDescription& menuItem(rt::ControlId id, int32_t level, std::string_view utf8Caption, uint32_t menuFlags = 0,
                              int32_t clickSlot = -1) {
        forms::UnitDescription& u = spec_.units.emplace_back();
        u.id = id, u.type = forms::unittype::Menu, u.level = level, u.caption = gbk(utf8Caption);
        u.menuFlags = menuFlags, u.clickHandler = clickSlot;
        return u;
    }

    // Binds the unit's (0: the window's) event to handler slot `slot`.
    void bind(rt::ControlId control, int32_t event, int slot) {
        for (forms::UnitDescription& u : spec_.units)
            if (u.id == control || (control == 0 && u.id == kWindowUnit)) u.events.emplace_back(event, slot);
    }

    forms::UnitDescription& self() { return spec_.units.front(); }

    rt::WindowRecord& install() {
        self().block = forms::encodeUnitBlock(forms::unittype::Window, windowProperties);
        std::string block = forms::writeTemplateBlock({spec_});
        std::vector<rt::WindowRecord> windows;
        bool parsed = forms::parseTemplateBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size(),
                                                &kHandlerTable, windows);
        EXPECT_TRUE(parsed);
        if (!parsed || windows.empty()) windows.emplace_back();
        rt::windowTable().push_back(std::move(windows.front()));
        return rt::windowTable().back();
    }

    forms::StoredProperties windowProperties;

private:
    forms::WindowDescription spec_;
};

// Property access through the runtime, as application code does it.
inline int32_t readInt(rt::ControlId control, rt::PropertyIndex index, rt::WindowId window = kWin) {
    return rt::ReadProperty(window, control, index, -1).asInt();
}
inline void writeInt(rt::ControlId control, rt::PropertyIndex index, int32_t value, rt::WindowId window = kWin) {
    rt::WriteProperty(window, control, index, -1, rt::Words::ofInt(value));
}
// The text read, and whether the runtime gave a null pointer for it.
inline std::string readText(rt::ControlId control, rt::PropertyIndex index, bool* isNull = nullptr) {
    char* text = rt::ReadProperty(kWin, control, index, -1).pointer<char>();
    if (isNull) *isNull = text == nullptr;
    std::string out(rt::textView(text));
    rt::FreeBlock(text);
    return out;
}
inline void writeText(rt::ControlId control, rt::PropertyIndex index, std::string_view gbkText) {
    std::string text(gbkText);
    rt::WriteProperty(kWin, control, index, -1, rt::Words::ofPointer(text.c_str()));
}
inline void writeBytes(rt::ControlId control, rt::PropertyIndex index, std::string_view bytes) {
    void* set = rt::makeByteSet(bytes);
    rt::WriteProperty(kWin, control, index, -1, rt::Words::ofPointer(set));
    rt::FreeBlock(set);
}

inline constexpr rt::PropertyIndex own(uint32_t index) { return rt::prop::FirstOwn + index; }

class FormsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        rt::setHost(&host);
        rt::resetProgramStateForTesting();
        rt::windowTable().clear();
        handlers().reset();
        forms::installWindowLayer();
    }
    void TearDown() override {
        forms::destroyAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rt::windowTable().clear();
        rt::resetProgramStateForTesting();
        forms::setPictureDecoder(nullptr);
        rt::setHost(nullptr);
    }

    static forms::WindowWidget* windowWidget(rt::WindowId id = kWin) {
        return qobject_cast<forms::WindowWidget*>(forms::widgetOf(id, 0));
    }
    template <typename T = QWidget>
    static T* unitWidget(rt::ControlId control, rt::WindowId id = kWin) {
        return qobject_cast<T*>(forms::widgetOf(id, control));
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    rt_test::RecordingHost host;
};

}  // namespace forms_test
