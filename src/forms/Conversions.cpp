// Conversions between the runtime's values and Qt's: colours, fonts, GBK
// texts, key codes and modifier states.
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>

#include <algorithm>

#include "forms/Units.h"
#include "platform/Gbk.h"
#include "runtime/RuntimeTexts.h"

namespace forms {
namespace {

constexpr int kDefaultPixelHeight = 12;

// A family that can show Chinese, for the default face and for faces that
// are not installed; empty when the system has none (Qt's default family and
// its fallbacks are used then).
const QString& chineseFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* candidate : {"SimSun", "NSimSun", "Noto Sans CJK SC", "Noto Serif CJK SC", "Source Han Sans SC",
                                      "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "AR PL UMing CN", "Droid Sans Fallback"})
            if (installed.contains(QString::fromLatin1(candidate), Qt::CaseInsensitive)) return QString::fromLatin1(candidate);
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        return chinese.isEmpty() ? QString() : chinese.front();
    }();
    return family;
}

QString familyFor(const QString& face) {
    static const QString defaultFace = fromGbk(texts::DefaultFontFace);
    if (!face.isEmpty() && face != defaultFace && QFontDatabase::families().contains(face, Qt::CaseInsensitive))
        return face;
    return chineseFamily();
}

// Keys whose Qt code differs from the virtual-key code. Letters and digits
// share their codes; shifted symbols of a US keyboard give their key's code.
int32_t virtualKeyForQtKey(int key, bool keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
        case Qt::Key_Clear: return 12;
        case Qt::Key_Return: case Qt::Key_Enter: return 13;
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: case Qt::Key_AltGr: return 18;
        case Qt::Key_Pause: return 19;
        case Qt::Key_CapsLock: return 20;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Print: return 44;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        case Qt::Key_Meta: return 91;
        case Qt::Key_Menu: return 93;
        case Qt::Key_NumLock: return 144;
        case Qt::Key_ScrollLock: return 145;
        case Qt::Key_Exclam: return '1';
        case Qt::Key_At: return '2';
        case Qt::Key_NumberSign: return '3';
        case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5';
        case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Ampersand: return '7';
        case Qt::Key_ParenLeft: return '9';
        case Qt::Key_ParenRight: return '0';
        case Qt::Key_Semicolon: case Qt::Key_Colon: return 186;
        case Qt::Key_Equal: return 187;
        case Qt::Key_Comma: case Qt::Key_Less: return 188;
        case Qt::Key_Underscore: return 189;
        case Qt::Key_Greater: return 190;
        case Qt::Key_Question: return 191;
        case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 192;
        case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 219;
        case Qt::Key_Backslash: case Qt::Key_Bar: return 220;
        case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 221;
        case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 222;
        // These four sit on the numeric keypad as well.
        case Qt::Key_Asterisk: return keypad ? 106 : '8';
        case Qt::Key_Plus: return keypad ? 107 : 187;
        case Qt::Key_Minus: return keypad ? 109 : 189;
        case Qt::Key_Period: return keypad ? 110 : 190;
        case Qt::Key_Slash: return keypad ? 111 : 191;
        default: return 0;
    }
}

}  // namespace

QColor colourOf(uint32_t colorRef) {
    if (colorRef & 0xFF000000u) return QColor();
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

QFont fontOf(std::string_view record) { return fontOf(rt::fontFromRecord(record)); }

QFont fontOf(const rt::LogicalFont& logical) {
    QFont font = QApplication::font();
    QString family = familyFor(fromGbk(rt::fontFaceName(logical)));
    if (!family.isEmpty()) font.setFamilies({family});
    // A negative height is the character height; a positive one the cell
    // height, which is taken as the character height too; 0 asks for the default.
    int pixels = logical.height == 0 ? kDefaultPixelHeight : std::abs(logical.height);
    font.setPixelSize(std::max(pixels, 1));
    int weight = logical.weight == 0 ? 400 : std::clamp(logical.weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logical.italic != 0);
    font.setUnderline(logical.underline != 0);
    font.setStrikeOut(logical.strikeOut != 0);
    return font;
}

QString fromGbk(std::string_view gbk) { return QString::fromStdString(platform::gbkToUtf8(gbk)); }

std::string toGbk(const QString& text) { return platform::utf8ToGbk(text.toStdString()); }

int32_t virtualKeyOfQtKey(int key, bool keypad) { return virtualKeyForQtKey(key, keypad); }

int32_t virtualKeyOf(const QKeyEvent& event) {
    return virtualKeyForQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}

int32_t keyStateOf(Qt::KeyboardModifiers modifiers) {
    int32_t state = 0;
    if (modifiers & Qt::ControlModifier) state |= 1;
    if (modifiers & Qt::ShiftModifier) state |= 2;
    if (modifiers & Qt::AltModifier) state |= 4;
    return state;
}

}  // namespace forms
