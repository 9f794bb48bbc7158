#include "aboutBox.h"

#include <QFontMetrics>

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {

// Dialog units: a quarter of the average character width across, an eighth
// of the character height down.
struct dialogUnits {
    qreal x, y;
    QRect rect(int left, int top, int width, int height) const
    {
        return QRect(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
    }
};

} // namespace

aboutBox::aboutBox(QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Info über Kavrin"));
    // A dialog's frame: a title and a close button, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    const QFontMetrics metrics(font());
    const dialogUnits units { metrics.averageCharWidth() / 4.0, metrics.height() / 8.0 };
    QSize size = units.rect(0, 0, 210, 82).size();

    // Each label is as wide as the arrangement gives it, or as its text
    // needs where the font's glyphs are wider than average; the box grows
    // to hold the widest.
    const auto addText = [&](const QString& text, QRect place) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        place.setWidth(std::max(place.width(), metrics.horizontalAdvance(text) + 2));
        place.setHeight(std::max(place.height(), metrics.height()));
        label->setGeometry(place);
        size = size.expandedTo(QSize(place.right() + 1 + place.left(), 0));
    };
    // The box's first line is a fixed text that users know; the program's
    // release is what --version prints.
    addText(QStringLiteral("Kavrin, Version 02.11"), units.rect(15, 10, 114, 8));
    addText(QStringLiteral("Prüfer für TZV-Tippscheindateien"), units.rect(15, 23, 114, 8));
    addText(QStringLiteral("Weitere Informationen entnehmen Sie bitte "), units.rect(15, 36, 178, 8));
    addText(QStringLiteral("der Schnittstellenbeschreibung auf www.example.com."), units.rect(15, 46, 178, 8));
    // The licence, beside the button, in room the box has anyway; the
    // address above is the format's text, not a link.
    addText(QStringLiteral("Lizenz: MIT"), units.rect(15, 64, 130, 8));
    setFixedSize(size);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    // OK keeps its place at the right edge of the box.
    const QRect okPlace = units.rect(153, 61, 50, 14);
    ok->setGeometry(okPlace.translated(size.width() - units.rect(0, 0, 210, 82).width(), 0));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
