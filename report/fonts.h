// The fonts of the window and the report. The form names "MS Sans Serif"
// for its fields, buttons and most captions and "宋体" for a few headings and
// the report; neither exists on a Linux desktop, so both are mapped by QFont
// substitutions onto an installed family that has Chinese glyphs.
#pragma once

#include <QFont>
#include <QString>

namespace chain::fonts {

inline constexpr const char *kSansFamily = "MS Sans Serif";
inline constexpr const char *kSongFamily = "宋体";

// Installs the substitutions for "MS Sans Serif" and "宋体" (and the other
// names of SimSun). Needs a QGuiApplication; safe to call more than once.
// Returns the family they map to ("宋体" goes to SimSun instead where that
// is installed), empty when no installed family covers Simplified Chinese
// (the names are then left to fontconfig's fallback).
QString installFontSubstitutions();

// The family chosen for a name: the first installed of a preference list
// (WenQuanYi Micro Hei first: it keeps a PDF's text layer extractable), else
// any family that supports Simplified Chinese, else empty.
QString chineseFamily();

// The form's fonts, by their original names.
QFont sansFont(qreal pointSize = 9);
QFont songFont(qreal pointSize = 10.5);

} // namespace chain::fonts
