#include "readableColours.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// A palette's colour that reads at 4.5:1 is kept. One that is adjusted aims
// higher, so that its anti-aliased strokes still read at 4.5:1.
constexpr qreal readableContrast = 4.5;
constexpr qreal adjustedContrast = 4.7;
// A selection stands out from the base as other marks that are not text do.
constexpr qreal visibleContrast = 3.0;

qreal luminance(const QColor& colour)
{
    const auto channel = [](qreal c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

// A colour on the way from another, and how many steps away it is.
struct foundColour {
    QColor colour;
    int steps = 0;
};

// The first colour on the way from wanted towards black and towards white,
// a step at a time in turn, that accept takes: the nearer direction keeps
// most of the colour.
template <typename Accept> std::optional<foundColour> nearestColour(const QColor& wanted, Accept accept)
{
    if (accept(wanted))
        return foundColour { wanted, 0 };
    const int r = wanted.red(), g = wanted.green(), b = wanted.blue();
    for (int step = 1; step <= 255; ++step) {
        const int keep = 255 - step;
        const QColor darker(r * keep / 255, g * keep / 255, b * keep / 255);
        if (accept(darker))
            return foundColour { darker, step };
        const QColor lighter(r + (255 - r) * step / 255, g + (255 - g) * step / 255, b + (255 - b) * step / 255);
        if (accept(lighter))
            return foundColour { lighter, step };
    }
    return std::nullopt;
}

std::optional<foundColour> nearestAt(const QColor& wanted, const QColor& background, qreal ratio)
{
    return nearestColour(wanted, [&](const QColor& c) { return contrastRatio(c, background) >= ratio; });
}

// Black or white reads on every background at 4.58:1 or more; where 4.7:1 is
// out of reach, 4.5:1 is.
foundColour readableFrom(const QColor& wanted, const QColor& background)
{
    if (contrastRatio(wanted, background) >= readableContrast)
        return { wanted, 0 };
    if (const std::optional<foundColour> found = nearestAt(wanted, background, adjustedContrast))
        return *found;
    return nearestAt(wanted, background, readableContrast).value_or(foundColour { wanted, 0 });
}

QColor nearestReadable(const QColor& wanted, const QColor& background)
{
    return readableFrom(wanted, background).colour;
}

// A colour with transparency as it shows on background.
QColor over(const QColor& colour, const QColor& background)
{
    const float a = colour.alphaF();
    return QColor::fromRgbF(colour.redF() * a + background.redF() * (1 - a),
        colour.greenF() * a + background.greenF() * (1 - a), colour.blueF() * a + background.blueF() * (1 - a));
}

} // namespace

qreal contrastRatio(const QColor& a, const QColor& b)
{
    const qreal x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

QColor readableRed(const QColor& background)
{
    const QColor pureRed(255, 0, 0);
    return background == QColor(Qt::white) ? pureRed : nearestReadable(pureRed, background);
}

QColor readableGreen(const QColor& background) { return nearestReadable(QColor(0, 128, 0), background); }

QColor readablePlaceholder(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    return nearestReadable(over(palette.color(QPalette::PlaceholderText), base), base);
}

selectionColours readableSelection(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::HighlightedText);
    const QColor selection = palette.color(QPalette::Highlight);
    const auto shows = [&](const QColor& c) { return contrastRatio(c, base) >= visibleContrast; };
    if (shows(selection) && contrastRatio(text, selection) >= readableContrast)
        return { selection, text };
    // Either the selection alone moves until the text reads on it, or it
    // moves only until it shows and black or white could read on it, and the
    // text moves to read; whichever changes the colours less. Black and white
    // are on the way, and one of them shows on any base.
    const std::optional<foundColour> alone = nearestColour(
        selection, [&](const QColor& c) { return shows(c) && contrastRatio(text, c) >= adjustedContrast; });
    const foundColour shown = nearestColour(selection, [&](const QColor& c) {
        return shows(c) && std::max(contrastRatio(c, Qt::black), contrastRatio(c, Qt::white)) >= adjustedContrast;
    }).value_or(foundColour { selection, 0 });
    const foundColour read = readableFrom(text, shown.colour);
    if (alone && alone->steps <= shown.steps + read.steps)
        return { alone->colour, text };
    return { shown.colour, read.colour };
}
