#include "ui_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

// Normal weight, no bold, italic, underline or strike-through.
QFont PlainFont(const QStringList& families, qreal pointSize) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace

void LoadBundledFonts() {
    static const bool loaded = [] {
        // The resource lives in a static library; pull it in explicitly.
        Q_INIT_RESOURCE(fonts);
        return QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/Vazirmatn-UI-Regular.ttf")) != -1;
    }();
    static_cast<void>(loaded);
}

QFont PersianUiFont(qreal pointSize) {
    return PlainFont({QStringLiteral("Tahoma"), QStringLiteral("Vazirmatn UI")}, pointSize);
}

QFont ArialFont(qreal pointSize) {
    return PlainFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pointSize);
}
