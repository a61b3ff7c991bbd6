#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The app's look in one place: its colours, its faces and the measures several screens share.
// A colour that several sections use alike has one plain name; where the account, profile,
// dashboard or position screens are drawn in a shade of their own, the entry is named after
// that section and keeps its shade.
namespace Theme {

// The teal of headers, main buttons, figures, chosen tabs and page dots, and gauge arcs.
inline constexpr QColor Accent{19, 146, 134};
// The deep teal where the account header starts, of the code button and the recovery code.
inline constexpr QColor AccentDark{11, 98, 104};
// A pale teal ground (the full-charge range button).
inline constexpr QColor AccentPale{225, 242, 239};

// Text.
inline constexpr QColor AccountInk{31, 42, 42};
inline constexpr QColor ProfileInk{38, 50, 56};
inline constexpr QColor DashboardInk{38, 44, 48};
inline constexpr QColor PositionInk{32, 40, 43};
// Secondary text: captions, units, hints and the tabs not chosen.
inline constexpr QColor Muted{128, 136, 140};
inline constexpr QColor AccountMuted{122, 136, 136};
inline constexpr QColor PositionMuted{93, 106, 110};
// The units under the position section's figures.
inline constexpr QColor PositionFaint{154, 164, 168};
// The position section's title over the map.
inline constexpr QColor PositionTitle{0, 154, 144};
// The line under the title on the account header.
inline constexpr QColor AccountSubtitle{255, 255, 255, 215};
// The level line under the rider's name on the profile header.
inline constexpr QColor ProfileSubtitle{220, 242, 239};

// Grounds: behind the window and the screens not built yet; the profile, dashboard and
// position pages; the account screens under their header.
inline constexpr QColor WindowGround{246, 248, 248};
inline constexpr QColor Page{243, 246, 245};
inline constexpr QColor AccountPage{244, 247, 247};

// Lines, shadows, marks.
inline constexpr QColor ProfileDivider{221, 230, 229};
inline constexpr QColor PositionDivider{225, 230, 229};
inline constexpr QColor AvatarShadow{0, 0, 0, 28};
inline constexpr QColor CardShadow{0, 0, 0, 14};
// The faint signal rings in the account header's corner.
inline constexpr QColor HeaderRings{255, 255, 255, 26};
// The medal before the link to the ranking, and the first three ranks of the list.
inline constexpr QColor Medal{244, 192, 78};
inline constexpr QColor RankGold{214, 160, 30};
inline constexpr QColor RankSilver{140, 150, 160};
inline constexpr QColor RankBronze{184, 110, 60};

// Controls.
inline constexpr QColor FieldBorder{213, 222, 222};
// The ground of the recovery code shown on the password screen.
inline constexpr QColor CodeGround{227, 241, 239};
// A switch or toggle button that is off, and a switch's thumb.
inline constexpr QColor ControlOff{188, 190, 192};
inline constexpr QColor SwitchThumb{241, 242, 242};
// The page dots not chosen.
inline constexpr QColor PageDot{47, 47, 47};
// The callout over a mark on the map, a 30 % grey at 80 % opacity. Its channels fall between
// 8-bit steps, so it is made from fractions when the program starts, not at compile time.
inline const QColor CalloutFill = QColor::fromRgbF(0.3f, 0.3f, 0.3f, 0.8f);

// Gauges: the track of the round rings and of the half dials, the children's speed zone of
// the maximum-speed dial, and the disc a short carbon bar hides under.
inline constexpr QColor GaugeRing{151, 151, 153};
inline constexpr QColor GaugeTrack{173, 174, 175};
inline constexpr QColor GaugeZone{146, 147, 147};
inline constexpr QColor GaugeDisc{188, 189, 190};
// A healthy battery and a switch that is on; a battery at a quarter or less.
inline constexpr QColor Good{23, 156, 129};
inline constexpr QColor Alarm{194, 33, 46};

// The corner radius in pixels of the account screens' fields and of the recovery code.
constexpr int FieldRadius = 10;
// The corner radius in pixels of the page dots' band.
constexpr int DotsRadius = 8;
// The corner radius of the profile pages' cards, in units of the 720-wide design.
constexpr double ProfileCardRadius = 24;

// `pixels` rounded to a whole font size, never below `smallest`.
int pixelSize(qreal pixels, int smallest = 1);
// Sets the widget's font to `pixels` pixels, keeping its weight (a style sheet may set it).
void setPixelSize(QWidget* widget, qreal pixels);
// Sets the widget's font to `pixels` pixels, bold or regular, never below `smallest`.
void setPixelFont(QWidget* widget, qreal pixels, bool bold = false, int smallest = 1);
// The bold sans-serif face the gauges write their figures in, `pixels` high.
QFont boldFont(int pixels);
// The monospaced face of the children-zone label; Chinese falls back to a CJK face.
QFont monoFont(int pixels);

} // namespace Theme
