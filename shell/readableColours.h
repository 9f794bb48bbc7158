#pragma once

#include <QColor>
#include <QPalette>

// WCAG's contrast ratio of two colours, from 1 to 21.
qreal contrastRatio(const QColor& a, const QColor& b);

// The red nearest to pure red that reads on background: pure red itself on
// white, the reference background, and wherever it reads.
QColor readableRed(const QColor& background);
// The success tick's green, as near to a plain green as reads on background.
QColor readableGreen(const QColor& background);
// The placeholder text of a field, as near to the palette's as reads on the
// field's background, in the palette's current colour group.
QColor readablePlaceholder(const QPalette& palette);

// Selected text: the palette's colours, or where its text reads at less than
// 4.5:1 or its background hardly stands out from the base, the nearest that
// do; the text keeps its colour where the background alone can reach that.
struct selectionColours {
    QColor background;
    QColor text;
};
selectionColours readableSelection(const QPalette& palette);
