#include "excerptView.h"

#include "readableColours.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>
#include <iterator>

namespace {

constexpr int margin = 4;
constexpr int focusFrameWidth = 2;
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

constexpr QChar tick(u'\u2714');

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
    for (QScrollBar* bar : { horizontalScrollBar(), verticalScrollBar() })
        connect(bar, &QScrollBar::actionTriggered, this, [this] { followMark = false; });
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
    const QString readBefore = QAccessible::isActive() ? readPart(0, readLength()) : QString();
    content = text;
    markStart = std::clamp<qsizetype>(start, 0, content.size());
    markEnd = std::clamp<qsizetype>(end, markStart, content.size());
    // Keys and screen readers start where the fault is.
    selectionAnchor = selectionCursor = markStart;
    lines.clear();
    widestLine = 0;
    qsizetype lineStart = 0;
    qsizetype readStart = 0;
    bool tab = false;
    const auto endLine = [&](qsizetype at, qsizetype breakLength) {
        lineSpan line { lineStart, at - lineStart, readStart, tab };
        lines.push_back(line);
        widestLine = std::max(widestLine, columnOf(line, line.length));
        lineStart = at + breakLength;
        readStart += line.length + 1;
        tab = false;
    };
    const char16_t* units = reinterpret_cast<const char16_t*>(content.constData());
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char16_t c = units[i];
        if (c > u'\r')
            continue; // most units: neither a line break nor a TAB
        if (c == u'\t') {
            tab = true;
        } else if (c == u'\r' && i + 1 < content.size() && units[i + 1] == u'\n') {
            endLine(i, 2);
            ++i;
        } else if (c == u'\n' || c == u'\r') {
            endLine(i, 1);
        }
    }
    endLine(content.size(), 0);
    followMark = false;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    emit scrolled();
    if (!QAccessible::isActive())
        return;
    const QString readNow = readPart(0, readLength());
    if (readNow != readBefore) {
        QAccessibleTextUpdateEvent changed(this, 0, readBefore, readNow);
        changed.setCursorPosition(int(toRead(selectionCursor)));
        QAccessible::updateAccessibility(&changed);
    }
    QAccessibleTextCursorEvent moved(this, int(toRead(selectionCursor)));
    QAccessible::updateAccessibility(&moved);
    describedAnew();
}

// The description holds the marked text and the note.
void excerptView::describedAnew()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

qsizetype excerptView::readLength() const { return lines.back().readStart + lines.back().length; }

qsizetype excerptView::toRead(qsizetype offset) const
{
    const lineSpan& span = lines[lineOf(offset)];
    return span.readStart + std::clamp(offset - span.start, qsizetype(0), span.length);
}

qsizetype excerptView::fromRead(qsizetype offset) const
{
    const auto after = std::upper_bound(
        lines.begin() + 1, lines.end(), offset, [](qsizetype at, const lineSpan& line) { return at < line.readStart; });
    const lineSpan& span = *(after - 1);
    return span.start + std::clamp(offset - span.readStart, qsizetype(0), span.length);
}

QString excerptView::readPart(qsizetype from, qsizetype to) const
{
    // Screen readers may ask for any range: it is cut to the text.
    const qsizetype first = std::clamp(from, qsizetype(0), readLength());
    const qsizetype start = fromRead(first), end = fromRead(std::clamp(to, first, readLength()));
    QString part = content.mid(start, end - start);
    return part.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void excerptView::setNote(const QString& text, noteKind kind)
{
    noteText = text;
    statusText.clear();
    kindOfNoteText = kind;
    updateScrollBars();
    viewport()->update();
    emit scrolled();
    describedAnew();
}

void excerptView::appendNote(const QString& line)
{
    statusText = statusText.isEmpty() ? line : statusText + QLatin1Char('\n') + line;
    updateScrollBars();
    viewport()->update();
    emit scrolled();
    describedAnew();
}

// The line the note follows: -1 puts it above the first line.
int excerptView::noteAfter() const
{
    if (content.isEmpty())
        return -1;
    return lineOf(std::max(markStart, markEnd - 1));
}

// The width the sign before the note takes: a tick before a success note,
// the error icon, a line high, before a reason.
int excerptView::signRoom() const
{
    const QFontMetrics metrics(noteFont(this));
    if (kindOfNoteText == noteKind::success)
        return metrics.horizontalAdvance(QString(tick) + QLatin1Char(' '));
    return metrics.height() + metrics.horizontalAdvance(QLatin1Char(' '));
}

// The height of the reason's part of the note, and of the lines after it.
int excerptView::reasonHeight() const
{
    if (noteText.isEmpty())
        return 0;
    const QRect room(0, 0, std::max(1, viewport()->width() - 2 * margin - signRoom()), viewport()->height());
    return QFontMetrics(noteFont(this)).boundingRect(room, Qt::TextWordWrap, noteText).height();
}

int excerptView::statusHeight() const
{
    if (statusText.isEmpty())
        return 0;
    const QRect room(0, 0, std::max(1, viewport()->width() - 2 * margin - signRoom()), viewport()->height());
    return QFontMetrics(QApplication::font(this)).boundingRect(room, Qt::TextWordWrap, statusText).height();
}

// The room the note takes, its gap included; 0 without a note.
int excerptView::noteHeight() const
{
    if (noteText.isEmpty() && statusText.isEmpty())
        return 0;
    return reasonHeight() + statusHeight() + 2 * margin;
}

QRect excerptView::noteRect() const
{
    const int top = margin + (noteAfter() + 1) * lineHeight() - verticalScrollBar()->value();
    return QRect(margin, top + margin, viewport()->width() - 2 * margin, noteHeight() - 2 * margin);
}

// The top of a line in the text as a whole, below the note when it follows
// it. The view scrolls by pixels through this, so that a note higher than
// the view can be read to its end.
int excerptView::contentTop(int line) const
{
    const int top = line * lineHeight();
    return line > noteAfter() ? top + noteHeight() : top;
}

// The line whose row holds the height y of the text as a whole, the line
// after the note where y falls in it; found at once, as a lone CR in every
// byte can make millions of lines.
int excerptView::lineFrom(int y) const
{
    const int noteTop = (noteAfter() + 1) * lineHeight();
    const int line = y < noteTop ? y / lineHeight() : std::max(noteAfter() + 1, (y - noteHeight()) / lineHeight());
    return std::clamp(line, 0, lineCount() - 1);
}

// The top of a line in viewport coordinates.
qreal excerptView::rowTop(int line) const { return margin + contentTop(line) - verticalScrollBar()->value(); }

void excerptView::clearMark()
{
    markStart = markEnd = 0;
    viewport()->update();
}

qsizetype excerptView::columnOf(const lineSpan& line, qsizetype offset) const
{
    if (!line.hasTab)
        return offset;
    const QStringView text = QStringView(content).mid(line.start, offset);
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
    if (!line.hasTab)
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
    const int fullHeight = contentTop(lineCount() - 1) + lineHeight() + 2 * margin;
    verticalScrollBar()->setRange(0, std::max(0, fullHeight - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(lineHeight());
    const auto fullWidth = qint64(std::ceil(qreal(widestLine) * characterWidth())) + 2 * margin;
    horizontalScrollBar()->setRange(0, int(std::clamp<qint64>(fullWidth - viewport()->width(), 0, INT_MAX / 2)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(int(std::ceil(characterWidth())));
}

void excerptView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    // Until the user scrolls, the mark and its reason keep their place at
    // the new size: start-up, where the size settles late, shows what a
    // later check shows, and a window made small still shows the mark.
    if (followMark)
        scrollToMarkEnd();
}

void excerptView::scrollContentsBy(int, int)
{
    viewport()->update();
    emit scrolled();
}

std::optional<qreal> excerptView::lineTop(int line) const
{
    if (line < 0 || line >= lineCount())
        return std::nullopt;
    const qreal top = rowTop(line);
    if (top + lineHeight() <= 0 || top >= viewport()->height())
        return std::nullopt;
    return viewport()->mapToParent(QPoint(0, 0)).y() + top;
}

void excerptView::scrollToMarkEnd()
{
    if (lines.empty())
        return;
    // The line and the note under it in view, the first line shown whole.
    const int line = lineOf(markEnd);
    const int bottom = contentTop(line) + lineHeight() + (line == noteAfter() ? noteHeight() : 0);
    QScrollBar* vertical = verticalScrollBar();
    if (contentTop(line) < vertical->value()) {
        vertical->setValue(contentTop(line));
    } else if (bottom + 2 * margin > vertical->value() + viewport()->height()) {
        const int wanted = bottom + 2 * margin - viewport()->height();
        int first = lineFrom(wanted);
        if (contentTop(first) < wanted)
            ++first;
        vertical->setValue(contentTop(std::min(first, line)));
    }

    // A mark beyond the first screen is put in the middle, with text after
    // it in view, whatever was scrolled before.
    const lineSpan& span = lines[line];
    const auto columnX = [&](qsizetype offset) {
        return qint64(
            qreal(columnOf(span, std::clamp(offset - span.start, qsizetype(0), span.length))) * characterWidth());
    };
    const qint64 from = columnX(std::max(markStart, span.start)), to = columnX(markEnd);
    const int width = viewport()->width() - 2 * margin;
    qint64 value = 0;
    if (to + qint64(std::ceil(characterWidth())) > width)
        value = to - from >= width / 2 ? from - width / 4 : (from + to) / 2 - width / 2;
    horizontalScrollBar()->setValue(int(std::clamp<qint64>(value, 0, horizontalScrollBar()->maximum())));
    followMark = true;
}

QColor excerptView::markColour() const { return readableRed(viewport()->palette().color(QPalette::Base)); }

QColor excerptView::selectedMarkColour() const
{
    return readableRed(readableSelection(viewport()->palette()).background);
}

// The line that holds offset: the last one starting at or before it.
int excerptView::lineOf(qsizetype offset) const
{
    if (lines.size() < 2)
        return 0;
    const auto after = std::upper_bound(
        lines.begin() + 1, lines.end(), offset, [](qsizetype at, const lineSpan& line) { return at < line.start; });
    return int(after - lines.begin()) - 1;
}

QRect excerptView::characterRect(qsizetype offset) const
{
    const int line = lineOf(offset);
    const lineSpan& span = lines[line];
    const qreal width = characterWidth();
    const qsizetype column = columnOf(span, std::clamp(offset - span.start, qsizetype(0), span.length));
    const qreal x = margin + qreal(column) * width - horizontalScrollBar()->value();
    return QRect(int(x), int(rowTop(line)), int(std::ceil(width)), lineHeight());
}

qsizetype excerptView::offsetAt(const QPoint& point) const
{
    int line = lineFrom(point.y() - margin + verticalScrollBar()->value());
    if (line > 0 && rowTop(line) > point.y())
        --line; // in the note: the line above it
    const lineSpan& span = lines[line];
    const qreal x = point.x() - margin + horizontalScrollBar()->value();
    const auto wanted = qsizetype(std::max<qreal>(0, std::round(x / characterWidth())));
    qsizetype offset = 0;
    while (offset < span.length && columnOf(span, offset + 1) <= wanted)
        ++offset;
    return span.start + offset;
}

void excerptView::select(qsizetype anchor, qsizetype cursor)
{
    const qsizetype cursorBefore = selectionCursor;
    selectionAnchor = std::clamp<qsizetype>(anchor, 0, content.size());
    selectionCursor = std::clamp<qsizetype>(cursor, 0, content.size());
    viewport()->update();
    emit selectionChanged();
    // As in any X11 text view, selected text is ready for a middle click.
    QClipboard* clipboard = QApplication::clipboard();
    if (selectionStart() != selectionEnd() && clipboard->supportsSelection())
        clipboard->setText(copiedText(), QClipboard::Selection);
    if (!QAccessible::isActive())
        return;
    QAccessibleTextSelectionEvent changed(this, int(toRead(selectionStart())), int(toRead(selectionEnd())));
    changed.setCursorPosition(int(toRead(selectionCursor)));
    QAccessible::updateAccessibility(&changed);
    if (selectionCursor != cursorBefore) {
        QAccessibleTextCursorEvent moved(this, int(toRead(selectionCursor)));
        QAccessible::updateAccessibility(&moved);
    }
}

QString excerptView::copiedText() const
{
    QString text = selectedText();
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void excerptView::copy() const
{
    if (selectionStart() != selectionEnd())
        QApplication::clipboard()->setText(copiedText());
}

void excerptView::moveCursor(qsizetype to, bool extend)
{
    select(extend ? selectionAnchor : to, to);
    followMark = false;
    const QRect box = characterRect(selectionCursor);
    if (box.top() < 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + box.top() - margin);
    else if (box.bottom() >= viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + box.bottom() + 1 - viewport()->height() + margin);
    if (box.right() > viewport()->width() || box.left() < 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + box.left() - viewport()->width() / 2);
}

// One character on; a CR LF pair is one step, as it is one line break.
qsizetype excerptView::stepFrom(qsizetype offset, int step) const
{
    qsizetype to = std::clamp<qsizetype>(offset + step, 0, content.size());
    if (to > 0 && to < content.size() && content[to - 1] == QLatin1Char('\r') && content[to] == QLatin1Char('\n'))
        to += step;
    return to;
}

void excerptView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void excerptView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void excerptView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const qsizetype at = offsetAt(event->position().toPoint());
    select(event->modifiers() & Qt::ShiftModifier ? selectionAnchor : at, at);
}

void excerptView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        select(selectionAnchor, offsetAt(event->position().toPoint()));
}

void excerptView::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy)
        return copy();
    if (event == QKeySequence::SelectAll)
        return selectAll();
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const int line = lineOf(selectionCursor);
    const lineSpan& span = lines[line];
    const qsizetype column = selectionCursor - span.start;
    switch (event->key()) {
    case Qt::Key_Left:
        return moveCursor(stepFrom(selectionCursor, -1), extend);
    case Qt::Key_Right:
        return moveCursor(stepFrom(selectionCursor, 1), extend);
    case Qt::Key_Home:
        return moveCursor(span.start, extend);
    case Qt::Key_End:
        return moveCursor(span.start + span.length, extend);
    case Qt::Key_Up:
        if (line > 0)
            moveCursor(lines[line - 1].start + std::min(column, lines[line - 1].length), extend);
        return;
    case Qt::Key_Down:
        if (line + 1 < lineCount())
            moveCursor(lines[line + 1].start + std::min(column, lines[line + 1].length), extend);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

// As the text views' menus: it opens and returns, and goes when closed.
void excerptView::contextMenuEvent(QContextMenuEvent* event)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* copyAction = menu->addAction(QStringLiteral("&Kopieren"), this, &excerptView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(selectionStart() != selectionEnd());
    QAction* all = menu->addAction(QStringLiteral("Alles &auswählen"), this, &excerptView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!content.isEmpty());
    menu->popup(event->globalPos());
}

QVariant excerptView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query != Qt::ImCursorRectangle)
        return QAbstractScrollArea::inputMethodQuery(query);
    const QRect box = characterRect(selectionCursor);
    return QRect(viewport()->mapToParent(box.topLeft()), QSize(1, box.height()));
}

// The note in its box between two rules, after the line it follows.
void excerptView::paintNote(QPainter& painter) const
{
    const QRect box = noteRect();
    const int top = box.top() - margin;
    if (box.height() <= 0 || box.bottom() + margin < 0 || top >= viewport()->height())
        return;
    painter.save();
    painter.setFont(noteFont(this));
    if (kindOfNoteText == noteKind::success) {
        painter.setPen(readableGreen(palette().color(QPalette::Base)));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, QString(tick));
    } else {
        const int side = painter.fontMetrics().height();
        style()
            ->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this)
            .paint(&painter, box.left(), box.top(), side, side);
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(box.adjusted(signRoom(), 0, 0, 0), Qt::TextWordWrap, noteText);
    painter.setFont(QApplication::font(this));
    painter.drawText(box.adjusted(signRoom(), reasonHeight(), 0, 0), Qt::TextWordWrap, statusText);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(box.left(), top + margin / 2, box.right(), top + margin / 2);
    painter.drawLine(box.left(), box.bottom() + margin / 2, box.right(), box.bottom() + margin / 2);
    painter.restore();
}

// One line: the selection's background first, then the text in runs split
// at the mark and the selection, so that the mark stays red and underlined.
void excerptView::paintLine(QPainter& painter, int line, const shownColumns& shown) const
{
    const qreal width = characterWidth();
    const int shiftX = horizontalScrollBar()->value();
    const qreal top = rowTop(line);
    const lineSpan& span = lines[line];
    const qreal baseline = top + fontMetrics().ascent();
    const auto columnAt
        = [&](qsizetype offset) { return columnOf(span, std::clamp(offset - span.start, qsizetype(0), span.length)); };
    const qsizetype selectFrom = columnAt(selectionStart());
    const qsizetype selectTo = selectionEnd() > span.start + span.length && selectionStart() <= span.start + span.length
        ? columnAt(span.start + span.length) + 1
        : columnAt(selectionEnd());
    if (selectTo > selectFrom)
        painter.fillRect(QRectF(margin + qreal(selectFrom) * width - shiftX, top, qreal(selectTo - selectFrom) * width,
                             lineHeight()),
            shown.selection);
    const qsizetype markFrom = columnAt(markStart);
    const qsizetype markTo = columnAt(markEnd);
    qsizetype cuts[] = { shown.first, markFrom, markTo, selectFrom, selectTo, shown.last };
    std::sort(std::begin(cuts), std::end(cuts));
    for (std::size_t k = 0; k + 1 < std::size(cuts); ++k) {
        const qsizetype from = std::max(cuts[k], shown.first);
        const qsizetype to = std::min(cuts[k + 1], shown.last);
        if (to <= from)
            continue;
        const bool marked = from >= markFrom && to <= markTo && markTo > markFrom;
        const bool selected = from >= selectFrom && to <= selectTo;
        painter.setPen(marked && selected ? shown.selectedMark
                : marked                  ? shown.mark
                : selected                ? shown.selectedText
                                          : palette().color(QPalette::Text));
        const qreal x = margin + qreal(from) * width - shiftX;
        painter.drawText(QPointF(x, baseline), shownPart(span, from, to));
        // The mark is underlined just below the baseline, inside its line,
        // so that it shows without colour too.
        if (marked)
            painter.drawLine(QPointF(x, baseline + 1.5), QPointF(x + qreal(to - from) * width, baseline + 1.5));
    }
}

void excerptView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const qreal width = characterWidth();
    const auto firstColumn = qsizetype(horizontalScrollBar()->value() / width);
    const selectionColours selected = readableSelection(viewport()->palette());
    const shownColumns shown { firstColumn, firstColumn + qsizetype(viewport()->width() / width) + 2, markColour(),
        readableRed(selected.background), selected.background, selected.text };
    paintNote(painter);
    for (int line = lineFrom(verticalScrollBar()->value() - margin);
         line < lineCount() && rowTop(line) < viewport()->height(); ++line)
        paintLine(painter, line, shown);
    // With the focus, a frame says where the keys act and a caret where they
    // start; the frame in the selection's colour, which stands out.
    if (!hasFocus())
        return;
    const QRect caret = characterRect(selectionCursor);
    painter.fillRect(
        QRect(caret.topLeft(), QSize(std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth)), caret.height())),
        palette().color(QPalette::Text));
    painter.setPen(QPen(selected.background, focusFrameWidth));
    painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
}
