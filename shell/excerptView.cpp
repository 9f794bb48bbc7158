#include "excerptView.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr int margin = 4;
constexpr qsizetype tabColumns = 8;

QFont excerptFont()
{
    // Courier New, or the face the font configuration puts in its place;
    // any fixed-pitch face where neither is there.
    QFont face(QStringLiteral("Courier New"));
    face.setStyleHint(QFont::TypeWriter);
    const QFontMetrics metrics(face);
    if (metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W')))
        return face;
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// The note is prose: the window's own face, set apart in italics.
QFont noteFont(const QWidget* view)
{
    QFont face = QApplication::font(view);
    face.setItalic(true);
    return face;
}

} // namespace

excerptView::excerptView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFont(excerptFont());
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(false);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    lines.push_back({});
}

// Fractional, as the glyphs advance: rounding would shift the marked run
// against the text before it on a long line.
qreal excerptView::characterWidth() const
{
    return std::max<qreal>(1, QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')));
}

int excerptView::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

qreal excerptView::lineAscent() const { return fontMetrics().ascent(); }

void excerptView::setExcerpt(const QString& text, qsizetype start, qsizetype end)
{
    content = text;
    markStart = std::clamp<qsizetype>(start, 0, content.size());
    markEnd = std::clamp<qsizetype>(end, markStart, content.size());
    lines.clear();
    widestLine = 0;
    qsizetype lineStart = 0;
    const auto endLine = [&](qsizetype at, qsizetype breakLength) {
        lineSpan line { lineStart, at - lineStart };
        lines.push_back(line);
        widestLine = std::max(widestLine, columnOf(line, line.length));
        lineStart = at + breakLength;
    };
    for (qsizetype i = 0; i < content.size(); ++i) {
        const QChar c = content.at(i);
        if (c == QLatin1Char('\r') && i + 1 < content.size() && content.at(i + 1) == QLatin1Char('\n')) {
            endLine(i, 2);
            ++i;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            endLine(i, 1);
        }
    }
    endLine(content.size(), 0);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    emit scrolled();
}

void excerptView::setNote(const QString& text)
{
    noteText = text;
    updateScrollBars();
    viewport()->update();
    emit scrolled();
}

// The line the note follows: -1 puts it above the first line.
int excerptView::noteAfter() const
{
    if (content.isEmpty())
        return -1;
    int line = 0;
    while (line + 1 < lineCount() && lines[line + 1].start <= std::max(markStart, markEnd - 1))
        ++line;
    return line;
}

// The room the note takes, its gap included; 0 without a note.
int excerptView::noteHeight() const
{
    if (noteText.isEmpty())
        return 0;
    const QRect room(0, 0, std::max(1, viewport()->width() - 2 * margin), viewport()->height());
    return QFontMetrics(noteFont(this)).boundingRect(room, Qt::TextWordWrap, noteText).height() + 2 * margin;
}

// The top of a line in viewport coordinates, below the note when it follows it.
qreal excerptView::rowTop(int line) const
{
    const qreal top = margin + qreal(line - verticalScrollBar()->value()) * lineHeight();
    return line > noteAfter() ? top + noteHeight() : top;
}

void excerptView::clearMark()
{
    markStart = markEnd = 0;
    viewport()->update();
}

qsizetype excerptView::columnOf(const lineSpan& line, qsizetype offset) const
{
    const QStringView text = QStringView(content).mid(line.start, offset);
    if (!text.contains(QLatin1Char('\t')))
        return offset;
    qsizetype column = 0;
    for (const QChar c : text)
        column = c == QLatin1Char('\t') ? (column / tabColumns + 1) * tabColumns : column + 1;
    return column;
}

// The characters of a line that fall in the columns [fromColumn, toColumn),
// TABs widened to blanks.
QString excerptView::shownPart(const lineSpan& line, qsizetype fromColumn, qsizetype toColumn) const
{
    const QStringView text = QStringView(content).mid(line.start, line.length);
    if (!text.contains(QLatin1Char('\t')))
        return fromColumn >= text.size()
            ? QString()
            : text.mid(fromColumn, std::min(toColumn, text.size()) - fromColumn).toString();
    QString shown;
    qsizetype column = 0;
    for (const QChar c : text) {
        const qsizetype next = c == QLatin1Char('\t') ? (column / tabColumns + 1) * tabColumns : column + 1;
        for (qsizetype k = column; k < next; ++k) {
            if (k >= fromColumn && k < toColumn)
                shown += c == QLatin1Char('\t') ? QLatin1Char(' ') : c;
        }
        column = next;
        if (column >= toColumn)
            break;
    }
    return shown;
}

void excerptView::updateScrollBars()
{
    const int visibleLines = std::max(1, (viewport()->height() - margin - noteHeight()) / lineHeight());
    verticalScrollBar()->setRange(0, std::max(0, lineCount() - visibleLines));
    verticalScrollBar()->setPageStep(visibleLines);
    verticalScrollBar()->setSingleStep(1);
    const auto fullWidth = qint64(std::ceil(qreal(widestLine) * characterWidth())) + 2 * margin;
    horizontalScrollBar()->setRange(0, int(std::clamp<qint64>(fullWidth - viewport()->width(), 0, INT_MAX / 2)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(int(std::ceil(characterWidth())));
}

void excerptView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void excerptView::scrollContentsBy(int, int)
{
    viewport()->update();
    emit scrolled();
}

qreal excerptView::lineTop(int line) const
{
    const int first = verticalScrollBar()->value();
    if (line < first || line >= lineCount())
        return -1;
    const qreal top = rowTop(line);
    if (top >= viewport()->height())
        return -1;
    return viewport()->mapToParent(QPoint(0, 0)).y() + top;
}

void excerptView::scrollToMarkEnd()
{
    qsizetype line = 0;
    while (line + 1 < lineCount() && lines[line + 1].start <= markEnd)
        ++line;
    const int visibleLines = std::max(1, (viewport()->height() - margin - noteHeight()) / lineHeight());
    QScrollBar* vertical = verticalScrollBar();
    if (line < vertical->value())
        vertical->setValue(int(line));
    else if (line >= vertical->value() + visibleLines)
        vertical->setValue(int(line) - visibleLines + 1);

    const lineSpan& span = lines[line];
    const auto x = qint64(qreal(columnOf(span, std::min(markEnd - span.start, span.length))) * characterWidth());
    QScrollBar* horizontal = horizontalScrollBar();
    const int width = viewport()->width() - 2 * margin;
    if (x < horizontal->value())
        horizontal->setValue(int(std::max<qint64>(0, x - width / 2)));
    else if (x > horizontal->value() + width)
        horizontal->setValue(
            int(std::min<qint64>(x - width + qint64(std::ceil(characterWidth())), horizontal->maximum())));
}

void excerptView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const qreal width = characterWidth();
    const int height = lineHeight();
    const int shiftX = horizontalScrollBar()->value();
    const auto firstColumn = qsizetype(shiftX / width);
    const auto lastColumn = firstColumn + qsizetype(viewport()->width() / width) + 2;
    const QColor plain = palette().color(QPalette::Text);
    const QColor red(255, 0, 0);

    if (const int noteHeight = this->noteHeight(); noteHeight > 0) {
        const int first = verticalScrollBar()->value();
        const int after = noteAfter();
        if (after + 1 >= first) {
            const int top = margin + (after + 1 - first) * height;
            const QRect box(margin, top + margin, viewport()->width() - 2 * margin, noteHeight - 2 * margin);
            painter.save();
            painter.setFont(noteFont(this));
            painter.setPen(plain);
            painter.drawText(box, Qt::TextWordWrap, noteText);
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(box.left(), top + margin / 2, box.right(), top + margin / 2);
            painter.drawLine(box.left(), box.bottom() + margin / 2, box.right(), box.bottom() + margin / 2);
            painter.restore();
        }
    }
    for (int line = verticalScrollBar()->value(); line < lineCount(); ++line) {
        const qreal top = rowTop(line);
        if (top > viewport()->height())
            break;
        const lineSpan& span = lines[line];
        const qreal baseline = top + fontMetrics().ascent();
        // The line in up to three runs: before the mark, the mark, after it.
        const qsizetype markFrom = columnOf(span, std::clamp(markStart - span.start, qsizetype(0), span.length));
        const qsizetype markTo = columnOf(span, std::clamp(markEnd - span.start, qsizetype(0), span.length));
        const struct {
            qsizetype from, to;
            bool marked;
        } runs[] = { { firstColumn, markFrom, false }, { markFrom, markTo, true }, { markTo, lastColumn, false } };
        for (const auto& run : runs) {
            const qsizetype from = std::max(run.from, firstColumn);
            const qsizetype to = std::min(run.to, lastColumn);
            if (to <= from)
                continue;
            painter.setPen(run.marked ? red : plain);
            painter.drawText(QPointF(margin + qreal(from) * width - shiftX, baseline), shownPart(span, from, to));
        }
    }
}
